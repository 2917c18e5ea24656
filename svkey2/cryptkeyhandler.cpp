#include "cryptkeyhandler.h"
#include "sv_paths.h"

#include "notifier.h"

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

void CryptKeyHandler::handleKeyFile(QString path)
{
    if (!existsFile(path))
        return;
    setMasterKeyPath(path);
    // The same path may now hold another file.
    refreshMasterKeyCheck();
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

    // Written beside the target and renamed over it only when complete, so
    // a key already there is never left truncated or half-written.
    const QByteArray bytes = keyBytes(list);
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
        Notifier::getInstance()->showError(tr("Can't write the master key to ") + path + QStringLiteral(": ")
                                           + reason);
        return false;
    }

    setMasterKeyPath(path);
    // The path may be the same one with a new key in it.
    refreshMasterKeyCheck();
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
            fingerprint = QString::fromLatin1(
                QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex().left(16));
        }
    }
    if (size == m_keySize && fingerprint == m_keyFingerprint)
        return;
    m_keySize = size;
    m_keyFingerprint = fingerprint;
    emit masterKeyCheckChanged();
}
