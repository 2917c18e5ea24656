// The master key handler: typed keys, key files, failed writes, the key check.

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

namespace {

QVariantList groups(const QStringList& typed)
{
    QVariantList list(typed.cbegin(), typed.cend());
    while (list.size() < CryptKeyHandler::kKeyGroups)
        list << QStringLiteral("0000");
    return list;
}

QString fingerprintOf(const QByteArray& content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex().left(16);
}

// Read and write for the owner only.
bool ownerOnly(const QString& path) { return (QFileInfo(path).permissions() & 0x0777) == 0x0600; }

} // namespace

class TestKeyHandler : public QObject
{
    Q_OBJECT

private slots:
    void typedKey_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("words") << QStringList{"0001", "0203"} << QByteArray::fromHex("01000302");
        QTest::newRow("letter case") << QStringList{"1A2B", "c3d4", "eEfF"} << QByteArray::fromHex("2b1ad4c3ffee");
        QTest::newRow("short groups") << QStringList{"A", "ABC", "12"} << QByteArray::fromHex("0a0abcab1212");
        QTest::newRow("not hexadecimal") << QStringList{"zz12", "", "0x1f"} << QByteArray::fromHex("120000001f00");
    }

    // Through the controller's own handler into a new file, which becomes the master key.
    void typedKey()
    {
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, start);
        KeyMaster keyMaster;
        CryptKeyHandler* handler = keyMaster.property("cryptKeyHandler").value<CryptKeyHandler*>();
        QVERIFY(handler && handler->parent() == &keyMaster);
        QTemporaryDir dir;
        const QString path = dir.filePath("typed key ключ");
        QSignalSpy pathChanged(handler, &CryptKeyHandler::masterKeyPathChanged);
        QVERIFY(handler->handleInputedKeys(path, groups(typed)));
        const QByteArray expected = start + QByteArray(32 - start.size(), '\0');
        QCOMPARE(readFile(path).toHex(), expected.toHex());
        QVERIFY(ownerOnly(path));
        QCOMPARE(handler->masterKeyPath(), path);
        QCOMPARE(pathChanged.count(), 1);
        QCOMPARE(handler->masterKeyCheck(), "Fingerprint (SHA-256): " + fingerprintOf(expected));
    }

    void keyFilesAndFailedWrites()
    {
        QTemporaryDir dir;
        CryptKeyHandler handler;
        handler.setMasterKeyPath(dir.filePath("missing"));
        QCOMPARE(handler.masterKeyCheck(), QString("There is no key file at this path"));
        QSignalSpy pathChanged(&handler, &CryptKeyHandler::masterKeyPathChanged);
        QSignalSpy errors(Notifier::getInstance(), &Notifier::hasError);

        // A missing file is ignored; one of another size is taken, with the warning; the same path again emits nothing.
        const QString path = dir.filePath("key");
        QVERIFY(writeFile(path, "short"));
        handler.handleKeyFile(dir.filePath("none"));
        handler.handleKeyFile(path);
        handler.handleKeyFile(path);
        QCOMPARE(pathChanged.count(), 1);
        QCOMPARE(handler.masterKeyCheck(),
                 "The key file holds 5 bytes; a master key has 32. Fingerprint (SHA-256): " + fingerprintOf("short"));

        // A typed key over it replaces the whole file, and the check.
        QVERIFY(handler.handleInputedKeys(path, groups({"0102"})));
        QCOMPARE(readFile(path), QByteArray::fromHex("0201") + QByteArray(30, '\0'));
        QVERIFY(ownerOnly(path));
        QCOMPARE(handler.masterKeyWarning(), QString());

        // A folder that does not exist; a write cut short by the file size
        // limit: the error names path and reason, the old key stays whole,
        // nothing is left beside it, the path stays.
        const QString nowhere = dir.filePath("no folder/key");
        QVERIFY(!handler.handleInputedKeys(nowhere, groups({})));
        QVERIFY(errors.last().at(0).toString().startsWith("Can't write the master key to " + nowhere + ": "));
        const QString other = dir.filePath("other");
        QVERIFY(writeFile(other, "old content"));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &limited);
        const bool written = handler.handleInputedKeys(other, groups({}));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(errors.count(), 2);
        QCOMPARE(errors.last().at(0).toString(), "Can't write the master key to " + other + ": " + qt_error_string(EFBIG));
        QCOMPARE(readFile(other), QByteArray("old content"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"key", "other"}));
        QCOMPARE(handler.masterKeyPath(), path);

        // A caller's wrong list or empty path writes nothing.
        QVERIFY(!handler.handleInputedKeys(other, {"ffff"}));
        QVERIFY(!handler.handleInputedKeys(QString(), groups({})));
        QCOMPARE(readFile(other), QByteArray("old content"));
    }
};

QTEST_GUILESS_MAIN(TestKeyHandler)
#include "tst_key_handler.moc"
