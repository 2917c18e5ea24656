// Master key handling: the handler on its own (typed keys, key files, failed
// writes, the key check), then the master-key dialog driven by mouse on a page
// that hosts it as the restore settings page does (by keys: the restore walk).

#include "guiharness.h"

#include "../common/shell_script.h"
#include "../common/test_files.h"
#include "guiconfig.h"
#include "keymaster.h"
#include "notifier.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTemporaryDir>

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

QString dialogText(const char* text)
{
    return GuiHarness::tr("CryptKeyDialog", text);
}

} // namespace

class KeyTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QObject* named(const char* name) const { return gui.root()->findChild<QObject*>(name); }
    bool waitOpen(QObject* dialog, bool open = true) const
    {
        return gui.waitFor([&] { return dialog->property("opened").toBool() == open; });
    }
    bool enabled(const char* name) const { return gui.find(name)->isEnabled(); }
    QString value(const char* name) const { return gui.find(name)->property("text").toString(); }
    void setText(const QString& field, const QString& text) const { gui.find(field)->setProperty("text", text); }
    void checkLook(const QString& step)
    {
        const QStringList faults = gui.clippedTexts() + gui.wrongLanguageTexts();
        QVERIFY2(faults.isEmpty(), qPrintable(step + ": " + faults.join("\n")));
        QTest::qWait(300); // the notification dialog unfolds
        gui.shot(step);
    }

private slots:
    // The handler's texts are compared in English.
    void initTestCase() { GuiConfig::getInstance()->setLang("En"); }

    // The controller's handler: key files, typed keys and failed writes.
    void handler()
    {
        QTemporaryDir dir;
        KeyMaster keyMaster;
        CryptKeyHandler& handler = *keyMaster.property("cryptKeyHandler").value<CryptKeyHandler*>();
        handler.setMasterKeyPath(dir.filePath("missing"));
        QCOMPARE(handler.masterKeyCheck(), QString("There is no key file at this path"));
        QSignalSpy pathChanged(&handler, &CryptKeyHandler::masterKeyPathChanged);
        QSignalSpy errors(Notifier::getInstance(), &Notifier::hasError);

        // A missing file is ignored; one of another size is taken, with the
        // warning, and installed where the client reads it; the same path
        // again emits nothing.
        const QString client = CryptKeyHandler::clientKeyPath();
        QFile::remove(client);
        const QString path = dir.filePath("key");
        QVERIFY(writeFile(path, "short"));
        QVERIFY(!handler.handleKeyFile(dir.filePath("none")));
        QVERIFY(handler.handleKeyFile(path) && handler.handleKeyFile(path));
        QCOMPARE(pathChanged.count(), 1);
        QCOMPARE(handler.masterKeyPath(), client);
        QCOMPARE(readFile(client), QByteArray("short"));
        QCOMPARE(int(QFileInfo(client).permissions() & 0x0777), 0x0600);
        QCOMPARE(handler.masterKeyCheck(),
            "The key file holds 5 bytes; a master key has 32. Fingerprint (SHA-256): " + fingerprintOf("short"));

        // A typed key over it replaces the whole file, and the check: each
        // group a word low byte first, either letter case, short groups
        // overlapping, a pair of other characters 0.
        QVERIFY(handler.handleInputedKeys(path, groups({"0102", "1A2b", "A", "ABC", "zz12", "0x1f"})));
        const QByteArray key = QByteArray::fromHex("02012b1a0a0abcab12001f00") + QByteArray(20, '\0');
        QCOMPARE(readFile(path).toHex(), key.toHex());
        QCOMPARE(readFile(client).toHex(), key.toHex());
        QCOMPARE(int(QFileInfo(path).permissions() & 0x0777), 0x0600); // owner read and write only
        QCOMPARE(handler.masterKeyCheck(), "Fingerprint (SHA-256): " + fingerprintOf(key));

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
        const rlimit limited {8, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
        const bool written = handler.handleInputedKeys(other, groups({}));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(errors.count(), 2);
        QCOMPARE(
            errors.last().at(0).toString(), "Can't write the master key to " + other + ": " + qt_error_string(EFBIG));
        QCOMPARE(readFile(other), QByteArray("old content"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"key", "other"}));
        QCOMPARE(handler.masterKeyPath(), client);
        QCOMPARE(readFile(client).toHex(), key.toHex());

        // A caller's wrong list or empty path writes nothing.
        QVERIFY(!handler.handleInputedKeys(other, {"ffff"}));
        QVERIFY(!handler.handleInputedKeys(QString(), groups({})));
        QCOMPARE(readFile(other), QByteArray("old content"));
    }

    void cryptKeyDialog()
    {
        QVERIFY(gui.start(QSize(1024, 768), {}, QUrl::fromLocalFile(SV_KEY_TEST_DIR "/KeyDialogsPage.qml")));
        CryptKeyHandler* handler = gui.keyMaster()->cryptKeyHandler();
        QObject* dialog = named("cryptKeyDialog");
        QObject* question = named("overwriteQuestion");
        QSignalSpy warnings(Notifier::getInstance(), &Notifier::hasWarning);
        QSignalSpy errors(Notifier::getInstance(), &Notifier::hasError);
        const QString client = CryptKeyHandler::clientKeyPath();
        QFile::remove(client);
        QVERIFY(QMetaObject::invokeMethod(dialog, "open") && waitOpen(dialog));
        gui.pressKey(Qt::Key_Escape);

        // The key file first, holding the current path; then the typed key.
        QCOMPARE(value("keyFileField"), handler->masterKeyPath());
        QVERIFY(enabled("keyFileChooseButton") && enabled("cryptKeyOkButton") && !enabled("keyPart1")
            && !enabled("saveKeyField"));
        setText("keyFileField", "");
        QVERIFY(!enabled("cryptKeyOkButton"));
        QVERIFY(gui.clickName("typedKeyRadio"));
        QVERIFY(!enabled("keyFileField") && enabled("keyPart16") && enabled("saveKeyChooseButton")
            && !enabled("cryptKeyOkButton"));
        QVERIFY(gui.click(gui.find("keyPart1")));
        gui.typeText("0g0x0-1z23");
        QCOMPARE(value("keyPart1"), QString("0001"));
        for (int i = 2; i <= 15; ++i)
            setText(QString("keyPart%1").arg(i), i == 2 ? "0203" : "0000");
        const QString target = "/opt/sarvelin/keys/new key";
        QVERIFY(writeFile(target, "old"));
        setText("saveKeyField", target);
        QVERIFY(gui.clickName("keyFileRadio") && gui.clickName("typedKeyRadio"));
        QCOMPARE(value("keyPart2"), QString("0203"));

        // The overwrite question: "Cancel" changes nothing; "Yes" with part 16 empty warns, the dialog stays.
        QVERIFY(gui.clickName("cryptKeyOkButton") && waitOpen(question));
        QCOMPARE(question->property("message").toString(),
            dialogText("This file already exists. Do you want to drop it and create a new master key?"));
        checkLook("crypt-key-question");
        QVERIFY(gui.clickName("cancelButton", question) && waitOpen(question, false));
        QVERIFY(gui.clickName("cryptKeyOkButton") && waitOpen(question) && gui.clickName("yesButton", question));
        QCOMPARE(warnings.last().at(0).toString(), dialogText("Fill all the parts of the key"));
        checkLook("crypt-key-empty-part");
        QVERIFY(dialog->property("opened").toBool());
        QCOMPARE(readFile(target), QByteArray("old"));
        QVERIFY(gui.clickName("dialogCloseButton"));

        setText("keyPart16", "ffff");
        QVERIFY(gui.clickName("cryptKeyOkButton") && waitOpen(question) && gui.clickName("yesButton", question));
        QVERIFY(waitOpen(dialog, false));
        QCOMPARE(gui.root()->property("cryptKeyAnswer").toInt(), 1);
        const QByteArray typed = QByteArray::fromHex("01000302") + QByteArray(26, '\0') + QByteArray::fromHex("ffff");
        QCOMPARE(readFile(target), typed);
        QCOMPARE(readFile(client), typed);
        QCOMPARE(handler->masterKeyPath(), client);
        checkLook("crypt-key-saved");
        QVERIFY(gui.clickName("dialogCloseButton"));

        // Key files that are none (missing, a folder, a FIFO) are refused,
        // the dialog stays; "..." opens the chooser in the key folder and a
        // chosen name keeps its space.
        QVERIFY(QMetaObject::invokeMethod(dialog, "open") && waitOpen(dialog));
        QVERIFY(gui.clickName("keyFileRadio"));
        QCOMPARE(runShell("rm -f /tmp/key.fifo; mkfifo /tmp/key.fifo && echo ok"), QString("ok\n"));
        const QString notKey = GuiHarness::tr("CryptKeyHandler", "This is not a master key file: ");
        for (const auto& [path, error] : {std::pair(QString("/opt/none"), dialogText("File doesn't exist: ")),
                 std::pair(QString("/tmp"), notKey), std::pair(QString("/tmp/key.fifo"), notKey)}) {
            setText("keyFileField", path);
            QVERIFY(gui.clickName("cryptKeyOkButton"));
            QVERIFY2(errors.last().at(0).toString().startsWith(error + path), qPrintable(path));
            QVERIFY(gui.clickName("dialogCloseButton") && dialog->property("opened").toBool());
        }
        QCOMPARE(readFile(client), typed);
        QObject* chooser = named("localFileSelectorDialog");
        QVERIFY(gui.clickName("keyFileChooseButton"));
        QCOMPARE(chooser->property("folder").toUrl().toLocalFile(), QString("/opt/sarvelin/keys"));
        QVERIFY(QMetaObject::invokeMethod(chooser, "close"));
        const QString chosen = "/opt/sarvelin/keys/старый ключ #100%";
        QVERIFY(writeFile(chosen, "17 bytes of a key"));
        QVERIFY(QMetaObject::invokeMethod(chooser, "fileChosen", Q_ARG(QUrl, QUrl::fromLocalFile(chosen))));
        QCOMPARE(value("saveKeyField"), target);
        // Another key than the installed one: asked before it is replaced.
        QObject* replace = named("replaceKeyQuestion");
        QVERIFY(gui.clickName("cryptKeyOkButton") && waitOpen(replace) && gui.clickName("yesButton", replace));
        QVERIFY(waitOpen(dialog, false));
        QCOMPARE(handler->masterKeyPath(), client);
        QCOMPARE(readFile(client), QByteArray("17 bytes of a key"));
        QVERIFY(
            warnings.last().at(0).toString().contains(GuiHarness::tr("CryptKeyHandler", "The key file holds ") + "17"));
        checkLook("crypt-key-file-warning");
    }
};

SV_GUI_TEST_MAIN(KeyTest, "key")
#include "tst_key.moc"
