#include "cryptkeyhandler.h"
#include "sv_paths.h"

#include "notifier.h"
#include "sv_key_common.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace {

const char* const kDefaultMasterKeyPath = sv_paths::masterKeyFile;
// A file larger than this is not read for its fingerprint: it cannot be a
// key, and reading it would hold up the window.
const qint64 kFingerprintReadLimit = 1024 * 1024;

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// One byte from one or two hexadecimal digits; anything else gives 0.
char byteOf(const QString& digits)
{
    if (digits.isEmpty())
        return 0;
    int value = 0;
    for (QChar c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return 0;
        value = value * 16 + d;
    }
    return static_cast<char>(value);
}

// Whether both paths name the same file (or the same path when neither exists).
bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

CryptKeyHandler::CryptKeyHandler(QObject* parent)
    : QObject(parent)
    , m_masterKeyPath(QString::fromLatin1(kDefaultMasterKeyPath))
{
    refreshMasterKeyCheck();
}

void CryptKeyHandler::setMasterKeyPath(QString path)
{
    if (path == m_masterKeyPath)
        return;
    m_masterKeyPath = path;
    emit masterKeyPathChanged();
    refreshMasterKeyCheck();
}

bool CryptKeyHandler::existsKeyFile()
{
    return existsFile(m_masterKeyPath);
}

bool CryptKeyHandler::existsFile(QString path)
{
    return QFile::exists(path);
}

QString CryptKeyHandler::clientKeyPath()
{
    return QString::fromLatin1(kDefaultMasterKeyPath);
}

bool CryptKeyHandler::handleKeyFile(QString path)
{
    if (!existsFile(path) && !QFileInfo(path).isSymLink())
        return false;
    // Never blocks on a FIFO nor reads a device: only a regular file is a key.
    std::string content;
    const std::string error
        = sv_key_common::read_regular_file(QFile::encodeName(path).toStdString(), kFingerprintReadLimit, &content);
    if (!error.empty()) {
        Notifier::getInstance()->showError(
            tr("This is not a master key file: ") + path, QString::fromLocal8Bit(error.c_str()));
        return false;
    }
    if (!installForClient(path, QByteArray(content.data(), static_cast<int>(content.size()))))
        return false;
    // The same path may now hold another file.
    refreshMasterKeyCheck();
    return true;
}

QString CryptKeyHandler::replacedKeyQuestion(QString path, QList<QVariant> list)
{
    const QString client = clientKeyPath();
    QByteArray wanted;
    if (list.isEmpty()) {
        if (sameFile(path, client))
            return QString();
        std::string content;
        if (!sv_key_common::read_regular_file(QFile::encodeName(path).toStdString(), kFingerprintReadLimit, &content)
                 .empty())
            return QString(); // refused later, with its reason
        wanted = QByteArray(content.data(), static_cast<int>(content.size()));
    } else {
        if (sameFile(path, client))
            return QString();
        wanted = keyBytes(list);
    }
    std::string installed;
    if (!QFileInfo(client).exists() && !QFileInfo(client).isSymLink())
        return QString();
    if (sv_key_common::read_regular_file(QFile::encodeName(client).toStdString(), kFingerprintReadLimit, &installed)
            .empty()
        && QByteArray(installed.data(), static_cast<int>(installed.size())) == wanted)
        return QString();
    return tr("A different master key is already at %1, where the backup client reads it. Replace it with the key "
              "from %2?")
        .arg(client, path);
}

bool CryptKeyHandler::installForClient(const QString& source, const QByteArray& bytes)
{
    const QString client = clientKeyPath();
    if (!sameFile(source, client)) {
        if (!writeKeyFile(client, bytes))
            return false;
        qInfo().noquote() << "Master key" << source << "installed as" << client;
    }
    setMasterKeyPath(client);
    return true;
}

QByteArray CryptKeyHandler::keyBytes(const QList<QVariant>& list)
{
    QByteArray bytes;
    bytes.reserve(list.size() * 2);
    for (const QVariant& entry : list) {
        const QString group = entry.toString();
        const char high = byteOf(group.left(2));
        const char low = byteOf(group.right(2));
        bytes.append(low);
        bytes.append(high);
    }
    return bytes;
}

bool CryptKeyHandler::handleInputedKeys(QString path, QList<QVariant> list)
{
    Q_ASSERT_X(list.size() == kKeyGroups, "CryptKeyHandler::handleInputedKeys", "Wrong list of values for crypt key");
    Q_ASSERT_X(!path.isEmpty(), "CryptKeyHandler::handleInputedKeys", "Path is empty");
    if (list.size() != kKeyGroups) {
        qCritical() << "Wrong list of values for crypt key";
        return false;
    }
    if (path.isEmpty()) {
        qCritical() << "Path is empty";
        return false;
    }

    const QByteArray bytes = keyBytes(list);
    if (!writeKeyFile(path, bytes))
        return false;
    if (!installForClient(path, bytes))
        return false;
    // The path may be the same one with a new key in it.
    refreshMasterKeyCheck();
    return true;
}

bool CryptKeyHandler::writeKeyFile(const QString& path, const QByteArray& bytes)
{
    // Written beside the target and renamed over it only when complete, so
    // a key already there is never left truncated or half-written.
    QSaveFile file(path);
    QString reason;
    // Unbuffered: a buffered write's failure at the final flush would go
    // unnoticed by commit() and the cut file would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        reason = file.errorString();
    } else if (file.write(bytes) != bytes.size()) {
        // A short write sets no error of the file: the system's reason of
        // the failed remainder is in errno.
        reason = file.error() == QFileDevice::NoError ? qt_error_string(errno) : file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        reason = file.errorString();
    }
    if (!reason.isNull()) {
        Notifier::getInstance()->showError(tr("Can't write the master key to ") + path + QStringLiteral(": ") + reason);
        return false;
    }
    return true;
}

QString CryptKeyHandler::localFilePath(const QUrl& url) const
{
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

QString CryptKeyHandler::masterKeyWarning() const
{
    if (m_keySize < 0 || m_keySize == kMasterKeyBytes)
        return QString();
    return tr("The key file holds ") + QString::number(m_keySize) + tr(" bytes; a master key has 32");
}

QString CryptKeyHandler::masterKeyCheck() const
{
    if (m_keySize < 0)
        return tr("There is no key file at this path");
    QStringList parts;
    if (m_keySize != kMasterKeyBytes)
        parts << masterKeyWarning();
    if (!m_keyFingerprint.isEmpty())
        parts << tr("Fingerprint (SHA-256): ") + m_keyFingerprint;
    return parts.join(QStringLiteral(". "));
}

void CryptKeyHandler::refreshMasterKeyCheck()
{
    const QFileInfo info(m_masterKeyPath);
    qint64 size = -1;
    QString fingerprint;
    if (info.isFile()) {
        size = info.size();
        QFile file(m_masterKeyPath);
        if (size <= kFingerprintReadLimit && file.open(QIODevice::ReadOnly)) {
            const QByteArray content = file.read(kFingerprintReadLimit + 1);
            fingerprint
                = QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex().left(16));
        }
    }
    if (size == m_keySize && fingerprint == m_keyFingerprint)
        return;
    m_keySize = size;
    m_keyFingerprint = fingerprint;
    emit masterKeyCheckChanged();
}
