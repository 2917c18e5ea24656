#ifndef CRYPTKEYHANDLER_H
#define CRYPTKEYHANDLER_H

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>

// Keeps the path of the master key file: the 32 raw bytes that the backup
// client needs to restore an encrypted archive. The crypt-key dialog gives
// it either an existing key file or a key typed as sixteen groups of four
// hexadecimal digits, which it writes to a file of the operator's choice.
//
// Beside the path it offers a check of the file that the path names (its
// size and a short fingerprint), so the operator can compare the key with
// the one noted when it was made. The check only informs: a file of another
// size is still accepted as the master key.
class CryptKeyHandler : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString masterKeyPath READ masterKeyPath NOTIFY masterKeyPathChanged)
    // Size in bytes of the file at masterKeyPath; -1 when there is no
    // regular file there.
    Q_PROPERTY(qint64 masterKeySize READ masterKeySize NOTIFY masterKeyCheckChanged)
    // The first 16 hexadecimal digits of the file's SHA-256; empty when it
    // cannot be read.
    Q_PROPERTY(QString masterKeyFingerprint READ masterKeyFingerprint NOTIFY masterKeyCheckChanged)
    // "The key file holds N bytes; a master key has 32" for a file of
    // another size; empty otherwise (also when there is no file).
    Q_PROPERTY(QString masterKeyWarning READ masterKeyWarning NOTIFY masterKeyCheckChanged)
    // One line for the operator: the warning if any and the fingerprint, or
    // that there is no key file at the path.
    Q_PROPERTY(QString masterKeyCheck READ masterKeyCheck NOTIFY masterKeyCheckChanged)

public:
    static constexpr int kMasterKeyBytes = 32;
    static constexpr int kKeyGroups = 16;

    explicit CryptKeyHandler(QObject* parent = nullptr);

    QString masterKeyPath() const { return m_masterKeyPath; }
    // Stores the path and emits masterKeyPathChanged when it differs.
    void setMasterKeyPath(QString path);
    // Whether a file exists at the current master key path.
    bool existsKeyFile();

    qint64 masterKeySize() const { return m_keySize; }
    QString masterKeyFingerprint() const { return m_keyFingerprint; }
    QString masterKeyWarning() const;
    QString masterKeyCheck() const;

signals:
    // Declared for QML; never emitted by this program.
    void needConfirmCreatingNewKey(QString path, QList<QVariant> list);
    void masterKeyPathChanged();
    void masterKeyCheckChanged();

public:
    Q_INVOKABLE bool existsFile(QString path);
    // Makes an existing file the master key. The backup client reads its
    // key only from clientKeyPath(): a key elsewhere is installed there as a
    // copy (replaced as a whole, owner-only), which then is the master key
    // path. A directory, a special file or an unreadable file is refused
    // with a message and the result is false; nothing happens when no file
    // exists at `path`.
    Q_INVOKABLE bool handleKeyFile(QString path);
    // The question to ask before the key from the file `path` (or, when
    // `list` is not empty, the typed key) replaces a different key already
    // at clientKeyPath(); empty when nothing would be replaced.
    Q_INVOKABLE QString replacedKeyQuestion(QString path, QList<QVariant> list);
    // Where the backup client reads its master key.
    static QString clientKeyPath();
    // Writes the typed key (16 groups of four hexadecimal digits, each a
    // 16-bit word stored low byte first) to `path` and makes `path` the
    // master key. The file is replaced as a whole or not at all, readable by
    // its owner only. A failure is shown with the path and the system's
    // reason, the master key path then stays as it was and the result is
    // false. A key saved elsewhere is also installed at clientKeyPath().
    Q_INVOKABLE bool handleInputedKeys(QString path, QList<QVariant> list);
    // The local path of a file URL as the file chooser reports it; a text
    // that is not a file URL is returned unchanged.
    Q_INVOKABLE QString localFilePath(const QUrl& url) const;
    // Reads the key file again (it may have changed outside the tool).
    Q_INVOKABLE void refreshMasterKeyCheck();

    // The 32 key bytes of 16 typed groups: for the group "1A2B", 2B then 1A.
    // A pair of digits that does not parse gives 0.
    static QByteArray keyBytes(const QList<QVariant>& list);

private:
    // Writes `bytes` to `path` as a whole or not at all, mode 0600; shows a
    // failure and returns false.
    bool writeKeyFile(const QString& path, const QByteArray& bytes);
    // Installs `bytes` (the key taken from `source`) at clientKeyPath()
    // unless `source` is that file, and makes it the master key path.
    bool installForClient(const QString& source, const QByteArray& bytes);
    QString m_masterKeyPath;
    qint64 m_keySize = -1;
    QString m_keyFingerprint;
};

#endif // CRYPTKEYHANDLER_H
