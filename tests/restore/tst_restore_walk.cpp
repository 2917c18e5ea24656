// One restore as an operator does it, through the real pages and controller,
// against the stand-ins and the simulated disks (sda: a root file system and
// an LVM PV of vg0; sdb: vg1 and a PV without a group), from the welcome page
// to the exit page and back. Each step is shot and its texts checked; by keys
// its Tab round too.

#include "guiharness.h"

#include "../common/keymaster_test_access.h"
#include "../common/shell_script.h"
#include "../common/medium_files.h"
#include "../common/test_files.h"
#include "cryptkeyhandler.h"
#include "drpmanager.h"
#include "guiconfig.h"
#include "keymaster.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QTimer>

class RestoreWalkTest : public QObject
{
    Q_OBJECT
    GuiHarness gui;
    QStringList lvmState; // the simulated LVM as the medium was built
    QByteArray scenario; // the stand-ins' scenario as the medium was built

    bool forwardEnabled() const
    {
        return gui.findVisible("forwardButton") && gui.findVisible("forwardButton")->isEnabled();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(GuiHarness::insideSandbox(), "runs the stand-ins and the simulated disks");
        lvmState = fileLines(kMedium + "/lvm.state");
        QVERIFY2(lvmState.filter("pv /dev/sda2 vg0").size() == 1, qPrintable(lvmState.join('|')));
        scenario = readFile(kScenario);
    }
    void cleanup()
    {
        gui.stop();
        QVERIFY(writeFile(kScenario, scenario));
        runShell("/opt/sarvelin/bin/sarvelin_client stop; pkill -x sv_keyclientd");
    }

    // By keys the master key is typed in its dialog and the LVM question
    // cancelled (nothing removed, the restore fails). By mouse the daemon
    // answers the first client list and plan 2 s late: a second Connect is
    // not taken, the window never pauses over 100 ms meanwhile, and the LVM
    // question answered Yes removes exactly vg0 and its PV on sda.
    void restore_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("byKeys");
        QTest::addRow("ru-800x600-keys") << "Ru" << QSize(800, 600) << true;
        QTest::addRow("en-1920x1080-slow-daemon") << "En" << QSize(1920, 1080) << false;
    }
    void restore()
    {
        QFETCH(QString, lang);
        QFETCH(QSize, size);
        QFETCH(bool, byKeys);
        const bool keys = gui.byKeys = byKeys;
        const bool slowDaemon = !keys;
        QVERIFY(writeFile(kMedium + "/lvm.state", (lvmState.join('\n') + '\n').toUtf8()));
        QFile(kMedium + "/lvm.log").remove();
        QFile::remove(kRequests);
        if (slowDaemon) {
            QVERIFY(writeFile(kScenario,
                scenario
                    + "\n[fault 91]\nrequest = GET CLIENT LIST\nkind = late\ndelay = 2\ntimes = 1\n"
                      "[fault 92]\nrequest = GET DISASTER RECOVERY PLAN:\nkind = late\ndelay = 2\ntimes = 1\n"));
            runShell("/opt/sarvelin/bin/sarvelin_client stop; pkill -x sv_keyclientd");
        }
        const QString keyFile = "/tmp/walk-master-key";
        QVERIFY(writeFile(keyFile, "old"));
        // With the keyboard, the language is switched on the welcome page.
        GuiConfig::getInstance()->setLang(keys ? (lang == "Ru" ? "En" : "Ru") : lang);
        QVERIFY(gui.start(size, {"lo", "eth0"}));
        gui.shortenScenarioWaits(1000);
        KeyMaster* km = gui.keyMaster();
        const auto popup = [&](const char* name) { return gui.root()->findChild<QObject*>(name); };
        const auto opened = [&](QObject* dialog, bool open) {
            return dialog
                && gui.waitFor([&] { return dialog->property(open ? "opened" : "visible").toBool() == open; });
        };
        bool slowPart = true;
        PauseProbe pauses([&] { return slowPart && km->isBusy(); });
        QObject scope; // ends this walk's connections with it

        if (keys) {
            QVERIFY(gui.chooseByKeys("languageComboBox", lang));
            QVERIFY(gui.waitFor([&] { return GuiConfig::getInstance()->lang() == lang; }));
            gui.pressKey(Qt::Key_Return);
            QVERIFY(gui.waitVisible("scenarioSelectionPage") && gui.tabTo("restoreButton"));
            gui.pressKey(Qt::Key_Space);
        } else {
            QVERIFY(gui.startWork() && gui.clickName("restoreButton"));
        }

        // Server page: every field is needed; ports take one to five digits.
        QVERIFY(gui.waitVisible("restoreChoosingServerPage") && (!keys || gui.focusIn("serverField")));
        QVERIFY(gui.typeInto("serverField", "10.0.0.5"));
        QVERIFY(!gui.findVisible("connectButton")->isEnabled());
        QVERIFY(gui.typeInto("cmdPortField", "ab12-"));
        QCOMPARE(gui.fieldOf("cmdPortField")->property("text").toString(), QString("99911"));
        QVERIFY(gui.typeInto("keyPasswordField", "key-secret"));
        QVERIFY(gui.findVisible("connectButton")->isEnabled());
        gui.fieldOf("mediaPortField")->setProperty("text", "");
        QVERIFY(!gui.findVisible("connectButton")->isEnabled());
        QVERIFY(gui.typeInto("mediaPortField", "9993") && !forwardEnabled());
        QCOMPARE(gui.look("server"), QString());
        // Connect: Return in the password field, or the button. Connect and
        // "back" clicked 1 s into the slow wait are disabled: nothing is
        // asked twice, the page stays.
        const auto connectNow = [&] {
            if (!keys)
                return gui.clickName("connectButton");
            if (!gui.tabTo("keyPasswordField"))
                return false;
            gui.pressKey(Qt::Key_Return);
            return true;
        };
        const auto connected = [&] {
            return gui.waitFor([&] { return km->isServerConnected() && !km->isBusy(); }, 15000)
                && (!keys || gui.waitFor([&] { return gui.focusIn("forwardButton"); }));
        };
        QList<bool> enabledMeanwhile;
        if (slowDaemon)
            QTimer::singleShot(1000, &scope, [&] {
                for (const QString name : {"connectButton", "backButton"}) {
                    QQuickItem* button = gui.findVisible(name);
                    enabledMeanwhile << button->isEnabled();
                    const QPointF centre = button->mapToScene(QPointF(button->width() / 2, button->height() / 2));
                    QTest::mouseClick(gui.view(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
                }
            });
        QElapsedTimer connecting;
        connecting.start();
        pauses.start();
        QVERIFY(connectNow() && connected());
        const qint64 firstConnectMs = connecting.elapsed();
        QCOMPARE(enabledMeanwhile, slowDaemon ? QList<bool>({false, false}) : QList<bool>());
        QVERIFY(!GuiHarness::logContains("refused"));
        QCOMPARE(fileLines(kRequests).filter("REQUEST HELLO").size(), 1);
        QVERIFY(!gui.findVisible("keyPasswordField") && gui.findVisible("disconnectNote"));
        QVERIFY(gui.fieldOf("serverField")->property("readOnly").toBool() && forwardEnabled());
        QCOMPARE(gui.look("server-connected", false), QString());
        // Disconnect brings the password field back, empty; then connect again.
        QVERIFY(gui.press("connectButton") && gui.waitFor([&] { return !km->isServerConnected(); }, 15000));
        QVERIFY(!forwardEnabled());
        QCOMPARE(gui.fieldOf("keyPasswordField")->property("text").toString(), QString());
        QVERIFY(gui.typeInto("keyPasswordField", "key-secret") && connectNow() && connected());
        QVERIFY(gui.press("forwardButton"));

        // Backups page: the second client and its one archive, then back
        // to the first, the client with a plan, and its first archive.
        QVERIFY(gui.waitVisible("restoreAvailableBackupsPage") && (!keys || gui.focusIn("clientComboBox")));
        QCOMPARE(
            gui.findVisible("clientComboBox")->property("currentText").toString(), QString("web01{52:54:00:1a:2b:01}"));
        QQuickItem* table = gui.findVisible("resqueArchivesTableView");
        const auto rows = [&](int count) {
            return gui.waitFor([&] { return table->property("rowCount").toInt() == count && !km->isBusy(); }, 15000);
        };
        QVERIFY(rows(2));
        slowPart = false;
        pauses.stop();
        QVERIFY(gui.choose("clientComboBox", "db01{52:54:00:1a:2b:02}") && rows(1));
        QCOMPARE(km->getRecoveringClient(), QString("db01"));
        QVERIFY(gui.choose("clientComboBox", "web01{52:54:00:1a:2b:01}") && rows(2) && !forwardEnabled());
        if (keys) {
            QVERIFY(gui.tabTo("resqueArchivesTableView"));
            gui.pressKey(Qt::Key_Down);
        } else {
            QVERIFY(gui.clickTableRow("resqueArchivesTableView"));
        }
        QVERIFY(gui.waitFor([&] { return km->getResqueArchivesModel()->property("selectedRow").toInt() == 0; }));
        QVERIFY(forwardEnabled());
        QCOMPARE(gui.look("backups"), QString());
        QVERIFY(gui.press("forwardButton"));

        // Settings page: the target (the first disk again); forward needs the password.
        QVERIFY(gui.waitVisible("restoreSettingsPage") && (!keys || gui.focusIn("targetComboBox")));
        QVERIFY(gui.choose("targetComboBox", "sdb") && gui.choose("targetComboBox", "sda"));
        QCOMPARE(km->getSelectedDrive(), QString("sda"));
        QVERIFY(!gui.textOf("driveIdentityText").isEmpty());
        QVERIFY(gui.textOf("keyPathText").endsWith(km->cryptKeyHandler()->masterKeyPath()));
        QVERIFY(!forwardEnabled());
        QObject* notification = popup("notificationDialog");
        if (keys) { // the dialogs by mouse: tst_key
            QVERIFY(gui.tabTo("changeCryptKeyButton"));
            gui.pressKey(Qt::Key_Return);
            QObject* keyDialog = popup("cryptKeyDialog");
            QVERIFY(opened(keyDialog, true) && gui.focusIn("keyFileRadio"));
            QCOMPARE(gui.look("crypt-key-dialog"), QString());
            gui.pressKey(Qt::Key_Escape);
            QTest::qWait(100);
            QVERIFY2(keyDialog->property("visible").toBool(), "the master-key dialog closes by its buttons only");
            QVERIFY(gui.tabTo("typedKeyRadio"));
            gui.pressKey(Qt::Key_Space);
            QVERIFY(!keyDialog->property("fromFile").toBool());
            for (int part = 1; part <= 16; ++part) {
                QVERIFY(gui.tabTo(QString("keyPart%1").arg(part)));
                gui.typeText("0f1e");
            }
            QVERIFY(gui.tabTo("saveKeyField"));
            gui.typeText(keyFile);
            QCOMPARE(gui.look("crypt-key-typed"), QString());
            // The file exists: Return asks; Escape cancels the question, Yes then drops the file.
            QObject* overwrite = popup("overwriteQuestion");
            gui.pressKey(Qt::Key_Return);
            QVERIFY(opened(overwrite, true) && gui.focusIn("cancelButton"));
            gui.pressKey(Qt::Key_Escape);
            QVERIFY(opened(overwrite, false) && keyDialog->property("visible").toBool() && gui.focusIn("saveKeyField"));
            QCOMPARE(readFile(keyFile), QByteArray("old"));
            gui.pressKey(Qt::Key_Return);
            QVERIFY(opened(overwrite, true));
            gui.pressKey(Qt::Key_Tab, Qt::ShiftModifier);
            QVERIFY(gui.focusIn("yesButton"));
            gui.pressKey(Qt::Key_Return);
            QVERIFY(opened(keyDialog, false));
            // Saved where the operator asked, installed where the client
            // reads it, and its check shown on the page.
            QCOMPARE(readFile(keyFile).toHex(), QByteArray("1e0f").repeated(16));
            QCOMPARE(readFile("/opt/sarvelin/keys/master-key"), readFile(keyFile));
            QVERIFY(opened(notification, true)); // the key's check
            gui.pressKey(Qt::Key_Escape);
            QVERIFY(opened(notification, false) && gui.focusIn("changeCryptKeyButton"));
            const QByteArray sha = QCryptographicHash::hash(readFile(keyFile), QCryptographicHash::Sha256);
            QVERIFY2(gui.textOf("keyCheckText").contains(sha.toHex().left(16)), qPrintable(gui.textOf("keyCheckText")));

            // The plan dialog: the archives of the record chosen with the arrows.
            QVERIFY(gui.tabTo("tuneDrpButton"));
            gui.pressKey(Qt::Key_Return);
            QObject* drpDialog = popup("drpDialog");
            QVERIFY(opened(drpDialog, true) && gui.focusIn("drpRecordsTable"));
            QObject* records = km->drpManager()->property("drpModel").value<QObject*>();
            QAbstractItemModel* archives = km->drpManager()->getDrpArchiveModel();
            gui.pressKey(Qt::Key_Down); // the first record was selected
            QVERIFY(gui.waitFor([&] { return records->property("selectedRow").toInt() == 1; }));
            QCOMPARE(archives->rowCount(), 1); // the second record's archives
            QCOMPARE(archives->index(0, 0).data(Qt::UserRole + 1).toString(), QString("1002"));
            QVERIFY(gui.tabTo("drpArchivesTable"));
            gui.pressKey(Qt::Key_Down);
            QVERIFY(gui.waitFor([&] { return archives->property("selectedRow").toInt() == 0; }));
            QCOMPARE(gui.look("drp-dialog"), QString());
            gui.pressKey(Qt::Key_Escape);
            QTest::qWait(100);
            QVERIFY2(drpDialog->property("visible").toBool(), "the plan dialog closes by its buttons only");
            QVERIFY(gui.tabTo("drpOkButton"));
            gui.pressKey(Qt::Key_Return);
            QVERIFY(opened(drpDialog, false) && archives->property("selectedRow").toInt() == 0);
        }
        // The password; Return in it goes forward.
        QVERIFY(gui.typeInto("clientPasswordField", "web01-secret") && forwardEnabled());
        QCOMPARE(gui.look("settings"), QString());
        if (keys)
            gui.pressKey(Qt::Key_Return);
        else
            QVERIFY(gui.clickName("forwardButton"));

        // Confirmation page: what was chosen on the pages before.
        QVERIFY(gui.waitVisible("restoreConfirmingPage") && (!keys || gui.focusIn("forwardButton")));
        QVERIFY(gui.fieldOf("backupField")->property("text").toString().startsWith("web01 rescue image, "));
        QCOMPARE(gui.fieldOf("clientField")->property("text").toString(), QString("web01"));
        QVERIFY(gui.fieldOf("targetField")->property("text").toString().startsWith("sda  ("));
        QCOMPARE(gui.look("confirm"), QString());

        // The run: the LVM question (Cancel focused) is answered and the run
        // page shot while the restore waits, from inside its event processing.
        QString question;
        QStringList late; // what the shots taken during the run found
        bool cancelFocused = false, midRunSeen = false;
        connect(km, &KeyMaster::needConfirmRestoreLVM, &scope, [&](const QString& text) {
            question = text;
            QTimer::singleShot(400, &scope, [&] {
                cancelFocused = gui.focusIn("cancelButton");
                late << gui.look("lvm-question", false);
                keys ? gui.pressKey(Qt::Key_Escape) : void(gui.clickName("yesButton"));
            });
        });
        connect(km, &KeyMaster::runStageChanged, &scope, [&] {
            if (!midRunSeen && km->runStage().contains("2:")) {
                late << gui.look("run", false);
                midRunSeen = true;
            }
        });
        QVERIFY(gui.press("forwardButton"));
        QVERIFY(gui.waitVisible("exitPage", 60000));
        std::printf("%s: longest pause of the event loop %lld ms while the controller waited (first Connect %lld ms, "
                    "CPU waits left out)\n",
            QTest::currentDataTag(), pauses.longest(), firstConnectMs);
        QCOMPARE(gui.textOf("resultText"),
            GuiHarness::tr(
                "RestoreProcessPage", keys ? "Recovery failed. See log for more info" : "Recovery ended successfully"));
        QVERIFY(cancelFocused);
        QVERIFY2(late.join("").isEmpty(), qPrintable(late.join('\n')));
        QVERIFY2(keys || midRunSeen, "no stage line with the second poll");
        QVERIFY2(question.contains("vg0/root") && question.contains("vg0/swap") && question.contains("/dev/sda2")
                && !question.contains("vg1") && !question.contains("sdb"),
            qPrintable(question));
        const QStringList removed {"lvremove -y vg0", "vgremove -y vg0", "pvremove -y /dev/sda2"};
        QCOMPARE(fileLines(kMedium + "/lvm.log").filter("remove"), keys ? QStringList() : removed);
        QCOMPARE(fileLines(kMedium + "/lvm.state").filter("vg1").size(), 2);
        // The daemon got the client's password hashed, never in clear.
        const QStringList requests = fileLines(kRequests).filter("REQUEST ");
        const QString hash = QString::fromStdString(KeyMasterTestAccess::hashPassword("web01-secret"));
        QVERIFY2(!requests.filter("REQUEST SV KEY CLIENT PASSWORD:web01:" + hash).isEmpty()
                && requests.filter("web01-secret").isEmpty(),
            qPrintable(requests.join('\n')));

        // The exit page, and back to the start.
        if (notification->property("visible").toBool()) {
            keys ? gui.pressKey(Qt::Key_Escape) : void(gui.clickName("dialogCloseButton"));
            QVERIFY(opened(notification, false));
        }
        QVERIFY(!keys || gui.waitFor([&] { return gui.focusIn("exitButton"); }));
        QCOMPARE(gui.look("exit"), QString());
        QVERIFY(
            gui.press("toStartButton") && gui.waitVisible("welcomePage") && (!keys || gui.focusIn("languageComboBox")));
        if (slowDaemon) {
            QCOMPARE(fileLines(kRequests).filter("FAULT late").size(), 2);
            QVERIFY2(firstConnectMs >= 2000, "the client list did not come late");
            QVERIFY2(pauses.longest() <= 100, qPrintable(QString("the window paused %1 ms").arg(pauses.longest())));
        }
    }
};

SV_GUI_TEST_MAIN(RestoreWalkTest, "restore-walk")

#include "tst_restore_walk.moc"
