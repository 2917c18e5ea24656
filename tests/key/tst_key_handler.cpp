// The master key handler: typed keys written to files, key files taken,
// failed writes, the key check and the controller's instance.

#include "cryptkeyhandler.h"
#include "keymaster.h"
#include "notifier.h"

#include "../common/test_files.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QVariantList groups(const QStringList& typed)
{
    QVariantList list;
    for (const QString& g : typed)
        list << g;
    while (list.size() < CryptKeyHandler::kKeyGroups)
        list << QStringLiteral("0000");
    return list;
}

mode_t fileMode(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

QString fingerprintOf(const QByteArray& content)
{
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex().left(16));
}

} // namespace

class TestKeyHandler : public QObject
{
    Q_OBJECT

private slots:
    void typedKeyIsWrittenLowByteFirst_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("two words") << QStringList{"0001", "0203"} << QByteArray::fromHex("01000302");
        QTest::newRow("letter case") << QStringList{"1A2B", "c3d4", "eEfF"} << QByteArray::fromHex("2b1ad4c3ffee");
        QTest::newRow("short groups") << QStringList{"A", "ABC", "12"} << QByteArray::fromHex("0a0abcab1212");
        QTest::newRow("not hexadecimal") << QStringList{"zz12", "12zz", "", "0x1f"}
                                         << QByteArray::fromHex("1200001200001f00");
    }

    // A typed key goes through the controller's own handler into a new
    // file, which becomes the master key.
    void typedKeyIsWrittenLowByteFirst()
    {
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, start);
        KeyMaster keyMaster;
        CryptKeyHandler* handler = keyMaster.cryptKeyHandler();
        QVERIFY(handler);
        QCOMPARE(handler->parent(), &keyMaster);
        QCOMPARE(keyMaster.property("cryptKeyHandler").value<CryptKeyHandler*>(), handler);
        QCOMPARE(handler->masterKeyPath(), QString("/opt/sarvelin/keys/master-key"));

        QTemporaryDir dir;
        const QString path = dir.filePath("typed key ключ");
        QSignalSpy pathChanged(handler, &CryptKeyHandler::masterKeyPathChanged);
        QSignalSpy errors(Notifier::getInstance(), &Notifier::hasError);
        QVERIFY(handler->handleInputedKeys(path, groups(typed)));

        const QByteArray expected = start + QByteArray(CryptKeyHandler::kMasterKeyBytes - start.size(), '\0');
        QCOMPARE(readFile(path).toHex(), expected.toHex());
        QCOMPARE(fileMode(path), mode_t(0600));
        QCOMPARE(handler->masterKeyPath(), path);
        QCOMPARE(pathChanged.count(), 1);
        QVERIFY(handler->existsKeyFile());
        QCOMPARE(handler->masterKeySize(), qint64(32));
        QCOMPARE(handler->masterKeyFingerprint(), fingerprintOf(expected));
        QCOMPARE(handler->masterKeyWarning(), QString());
        QCOMPARE(handler->masterKeyCheck(), "Fingerprint (SHA-256): " + fingerprintOf(expected));
        QCOMPARE(errors.count(), 0);
    }

    // Taking key files, replacing a key, and writes that fail.
    void keyFilesAndFailedWrites()
    {
        QTemporaryDir dir;
        CryptKeyHandler handler;
        handler.setMasterKeyPath(dir.filePath("missing"));
        QCOMPARE(handler.masterKeyCheck(), QString("There is no key file at this path"));
        QSignalSpy pathChanged(&handler, &CryptKeyHandler::masterKeyPathChanged);
        QSignalSpy checkChanged(&handler, &CryptKeyHandler::masterKeyCheckChanged);
        QSignalSpy errors(Notifier::getInstance(), &Notifier::hasError);

        // A file of another size is taken, with the warning.
        const QString path = dir.filePath("key");
        QVERIFY(writeFile(path, "short"));
        handler.handleKeyFile(dir.filePath("missing"));
        QCOMPARE(pathChanged.count(), 0);
        handler.handleKeyFile(path);
        QCOMPARE(handler.masterKeyPath(), path);
        QCOMPARE(handler.masterKeySize(), qint64(5));
        QCOMPARE(handler.masterKeyFingerprint(), fingerprintOf("short"));
        QCOMPARE(handler.masterKeyCheck(), "The key file holds 5 bytes; a master key has 32. Fingerprint (SHA-256): "
                                               + fingerprintOf("short"));
        handler.handleKeyFile(path);
        QCOMPARE(pathChanged.count(), 1);

        // A typed key over it replaces the whole file; the path stays.
        checkChanged.clear();
        QVERIFY(handler.handleInputedKeys(path, groups({"0102"})));
        const QByteArray key = QByteArray::fromHex("0201") + QByteArray(30, '\0');
        QCOMPARE(readFile(path), key);
        QCOMPARE(fileMode(path), mode_t(0600));
        QCOMPARE(pathChanged.count(), 1);
        QCOMPARE(checkChanged.count(), 1);
        QCOMPARE(handler.masterKeyWarning(), QString());

        // A folder that does not exist.
        const QString nowhere = dir.filePath("no folder/key");
        QVERIFY(!handler.handleInputedKeys(nowhere, groups({"ffff"})));
        QCOMPARE(errors.count(), 1);
        QVERIFY2(errors.last().at(0).toString().startsWith("Can't write the master key to " + nowhere + ": "),
                 qPrintable(errors.last().at(0).toString()));
        QCOMPARE(handler.masterKeyPath(), path);

        // A write cut short (the file size limit): the old key stays whole
        // and nothing is left beside it.
        const QString other = dir.filePath("other");
        QVERIFY(writeFile(other, "old content"));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &limited);
        const bool written = handler.handleInputedKeys(other, groups({"ffff"}));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(errors.count(), 2);
        QVERIFY2(errors.last().at(0).toString().endsWith(other + ": " + qt_error_string(EFBIG)),
                 qPrintable(errors.last().at(0).toString()));
        QCOMPARE(readFile(other), QByteArray("old content"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"key", "other"}));
        QCOMPARE(handler.masterKeyPath(), path);
        QCOMPARE(pathChanged.count(), 1);

        // A caller's wrong list or empty path writes nothing.
        QVERIFY(!handler.handleInputedKeys(other, QVariantList{"ffff"}));
        QVERIFY(!handler.handleInputedKeys(QString(), groups({})));
        QCOMPARE(readFile(other), QByteArray("old content"));
    }

    void chosenFileUrls_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << QUrl("file:///opt/sarvelin/keys/master-key") << "/opt/sarvelin/keys/master-key";
        QTest::newRow("space and letters") << QUrl::fromLocalFile("/tmp/мой ключ") << "/tmp/мой ключ";
        QTest::newRow("percent and hash") << QUrl::fromLocalFile("/tmp/100% #1") << "/tmp/100% #1";
        QTest::newRow("no scheme") << QUrl("/tmp/key") << "/tmp/key";
    }

    void chosenFileUrls()
    {
        QFETCH(QUrl, url);
        QFETCH(QString, path);
        QCOMPARE(CryptKeyHandler().localFilePath(url), path);
    }
};

QTEST_GUILESS_MAIN(TestKeyHandler)
#include "tst_key_handler.moc"
