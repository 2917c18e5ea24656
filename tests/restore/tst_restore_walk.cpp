// One restore as an operator does it, through the real pages and the real
// controller, against the stand-ins and the simulated disks (sda: a root
// file system and an LVM PV of vg0; sdb: vg1 and a PV without a group):
// from the welcome page to "Recovery ended successfully", in Russian at
// 800x600 and in English at 1920x1080, with screenshots of every step and
// the longest pause of the window's event processing measured over the
// whole restore; and the
// same restore against a daemon that answers after the deadline or never,
// during which the window must never pause longer than 100 ms.

#include "guiharness.h"

#include "../common/cpu_wait.h"
#include "../common/keymaster_test_access.h"
#include "../common/shell_script.h"
#include "../common/medium_files.h"
#include "../common/test_files.h"
#include "cryptkeyhandler.h"
#include "drpmanager.h"
#include "guiconfig.h"
#include "keymaster.h"
#include "notifier.h"

#include <QQmlEngine>
#include <QSignalSpy>

#include <QElapsedTimer>
#include <QTimer>

class RestoreWalkTest : public QObject
{
    Q_OBJECT
    GuiHarness gui;
    QStringList lvmState; // the simulated LVM as the medium was built

    QQuickItem* fieldOf(const QString& name) const { return gui.find("field", gui.findVisible(name)); }
    bool typeInto(const QString& name, const QString& text) const
    {
        if (!gui.click(fieldOf(name)))
            return false;
        gui.pressKey(Qt::Key_End);
        gui.typeText(text);
        return true;
    }
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
    }
    void cleanup() { gui.stop(); }

    void restoreFromWelcomeToEnd_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QSize>("size");
        // Russian, the longer texts, in the smallest window; English in the largest.
        QTest::addRow("Ru 800x600") << "Ru" << QSize(800, 600);
        QTest::addRow("En 1920x1080") << "En" << QSize(1920, 1080);
    }
    void restoreFromWelcomeToEnd()
    {
        QFETCH(QString, lang);
        QFETCH(QSize, size);
        const QString tag = lang + QString("-%1x%2-").arg(size.width()).arg(size.height());
        // A screenshot of the step, whose texts must be whole and in the language chosen.
        // The longest time between two turns of the event loop, the test's
        // own screenshots and checks left out.
        QElapsedTimer sinceTick, total;
        qint64 longest = 0;
        bool held = true;
        QTimer ticks;
        ticks.setInterval(5);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            longest = held ? longest : qMax(longest, sinceTick.elapsed());
            sinceTick.restart();
        });
        QStringList faults;
        const auto look = [&](const QString& step) {
            const bool wasHeld = held;
            held = true;
            gui.shot(tag + step);
            for (const QString& fault : gui.clippedTexts() + gui.wrongLanguageTexts())
                faults << step + ": " + fault;
            held = wasHeld;
            sinceTick.restart();
        };
        QFile::remove(kRequests);
        QVERIFY(writeFile(kMedium + "/lvm.state", (lvmState.join('\n') + '\n').toUtf8()));
        QFile(kMedium + "/lvm.log").remove();
        GuiConfig::getInstance()->setLang(lang);
        QVERIFY(gui.start(size, {"lo", "eth0"}));
        gui.shortenScenarioWaits(1000);
        KeyMaster* km = gui.keyMaster();

        QVERIFY(gui.startWork());
        QVERIFY(gui.clickName("restoreButton"));
        QVERIFY(gui.waitVisible("restoreChoosingServerPage"));

        // Server page: every field is needed; ports take one to five digits.
        QVERIFY(typeInto("serverField", "10.0.0.5"));
        QVERIFY(!gui.findVisible("connectButton")->isEnabled());
        QVERIFY(typeInto("cmdPortField", "ab12-"));
        QCOMPARE(fieldOf("cmdPortField")->property("text").toString(), QString("99911"));
        QVERIFY(typeInto("keyPasswordField", "key-secret"));
        QVERIFY(gui.findVisible("connectButton")->isEnabled());
        fieldOf("mediaPortField")->setProperty("text", "");
        QVERIFY(!gui.findVisible("connectButton")->isEnabled());
        QVERIFY(typeInto("mediaPortField", "9993"));
        QVERIFY(!forwardEnabled());
        look("server");
        total.start();
        sinceTick.start();
        ticks.start();
        held = false;
        QVERIFY(gui.clickName("connectButton") && gui.waitFor([&] { return km->isServerConnected(); }, 15000));
        QVERIFY(!gui.findVisible("keyPasswordField") && gui.findVisible("disconnectNote"));
        QVERIFY(fieldOf("serverField")->property("readOnly").toBool());
        QVERIFY(forwardEnabled());
        look("server-connected");
        // Disconnect brings the password field back, empty; then connect again.
        QVERIFY(gui.clickName("connectButton") && gui.waitFor([&] { return !km->isServerConnected(); }, 15000));
        QVERIFY(!forwardEnabled());
        QCOMPARE(fieldOf("keyPasswordField")->property("text").toString(), QString());
        QVERIFY(typeInto("keyPasswordField", "key-secret") && gui.clickName("connectButton"));
        QVERIFY(gui.waitFor([&] { return km->isServerConnected(); }, 15000) && gui.clickName("forwardButton"));

        // Backups page: the second client, its one archive.
        QVERIFY(gui.waitVisible("restoreAvailableBackupsPage"));
        QQuickItem* clients = gui.findVisible("clientComboBox");
        QCOMPARE(clients->property("currentText").toString(), QString("web01{52:54:00:1a:2b:01}"));
        QQuickItem* table = gui.findVisible("resqueArchivesTableView");
        QVERIFY(gui.waitFor([&] { return table->property("rowCount").toInt() == 2; }));
        QVERIFY(gui.click(gui.find("arrowButton", clients)));
        QVERIFY(gui.click(gui.waitVisible("entry_db01{52:54:00:1a:2b:02}")));
        QVERIFY(gui.waitFor([&] { return table->property("rowCount").toInt() == 1; }));
        QCOMPARE(km->getRecoveringClient(), QString("db01"));
        QVERIFY(!forwardEnabled());
        const qreal header = GuiConfig::getInstance()->itemHeight();
        const QPointF row
            = table->mapToScene(QPointF(30, header + GuiConfig::getInstance()->tableViewRowHeight() / 2.0 + 2));
        QTest::mouseClick(gui.view(), Qt::LeftButton, Qt::NoModifier, row.toPoint());
        QVERIFY(gui.waitFor([&] { return km->getResqueArchivesModel()->property("selectedRow").toInt() == 0; }));
        QVERIFY(forwardEnabled());
        look("backups");
        QVERIFY(gui.clickName("forwardButton"));

        // Settings page: the first disk is the target; forward needs the password.
        QVERIFY(gui.waitVisible("restoreSettingsPage"));
        QCOMPARE(km->getSelectedDrive(), QString("sda"));
        QVERIFY(!gui.textOf("driveIdentityText").isEmpty());
        QVERIFY(gui.textOf("keyPathText").endsWith(km->cryptKeyHandler()->masterKeyPath()));
        QVERIFY(!forwardEnabled());
        QVERIFY(typeInto("clientPasswordField", "db01-secret"));
        QVERIFY(forwardEnabled());
        look("settings");
        QVERIFY(gui.clickName("forwardButton"));

        // Confirmation page: what was chosen on the pages before.
        QVERIFY(gui.waitVisible("restoreConfirmingPage"));
        QCOMPARE(fieldOf("backupField")->property("text").toString() + " / "
                + fieldOf("clientField")->property("text").toString(),
            QString("db01 rescue image / db01"));
        QVERIFY(fieldOf("targetField")->property("text").toString().startsWith("sda  ("));
        look("confirm");

        // The run: the LVM question is answered and the run page shot while
        // the restore waits, from inside its event processing.
        QString question, midRunShot;
        QObject::connect(km, &KeyMaster::needConfirmRestoreLVM, km, [&](const QString& text) {
            question = text;
            QTimer::singleShot(400, km, [&] {
                look("lvm-question");
                gui.clickName("yesButton");
            });
        });
        QObject::connect(km, &KeyMaster::runStageChanged, km, [&] {
            if (midRunShot.isEmpty() && km->runStage().contains("2:")) {
                look("run");
                midRunShot = "run";
            }
        });
        QVERIFY(gui.clickName("forwardButton"));
        QVERIFY(gui.waitVisible("exitPage", 60000));
        ticks.stop();
        std::printf("%s: longest pause of the event loop %lld ms over %lld ms (connect to end)\n", qPrintable(tag),
            longest, total.elapsed());
        QCOMPARE(gui.textOf("resultText"), GuiHarness::tr("RestoreProcessPage", "Recovery ended successfully"));
        look("exit");
        QVERIFY2(!midRunShot.isEmpty(), "no stage line with the second poll");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));

        // Exactly vg0 and its PV on sda were listed and removed, each once.
        QVERIFY2(question.contains("vg0/root") && question.contains("vg0/swap") && question.contains("/dev/sda2")
                && !question.contains("vg1") && !question.contains("sdb"),
            qPrintable(question));
        QCOMPARE(fileLines(kMedium + "/lvm.log").mid(1),
            (QStringList {"lvremove -y vg0", "vgremove -y vg0", "pvremove -y /dev/sda2"}));
        QCOMPARE(fileLines(kMedium + "/lvm.state").filter("vg1").size(), 2);
        // The daemon got the client's hashed password and "/dev/" + the disk.
        const QString hash = QString::fromStdString(KeyMasterTestAccess::hashPassword("db01-secret"));
        const QStringList requests = fileLines(kRequests).filter("REQUEST ");
        QVERIFY2(
            !requests.filter("REQUEST SV KEY CLIENT PASSWORD:db01:" + hash).isEmpty(), qPrintable(requests.join('\n')));
        QVERIFY(!requests.filter("REQUEST SV KEY RESTORE ARCHIVES" + hash + ":PWD_SEPARATE:/dev/sda:2001").isEmpty());
        QVERIFY(requests.filter("db01-secret").isEmpty());
        QVERIFY(GuiHarness::logContains("restore ended successfully"));
    }

    // slow-daemon.ini: the client list comes after the 10-second deadline
    // (an error; a second click on Connect meanwhile is not taken; connect
    // again), the recovery plan never (an error; the
    // archive is still listed). The restore goes on to its end, and the
    // window's events flow all along: no pause longer than 100 ms from the
    // first Connect to the exit page.
    void slowDaemonRestore()
    {
        const QByteArray medium = readFile(kScenario);
        QVERIFY(writeFile(
            kScenario, readFile(QStringLiteral(SV_GUI_TEST_DIR) + "/../../sandbox/scenarios/slow-daemon.ini")));
        QVERIFY(writeFile(kMedium + "/lvm.state", (lvmState.join('\n') + '\n').toUtf8()));
        runShell("/opt/sarvelin/bin/sarvelin_client stop; pkill -x sv_keyclientd");
        QFile::remove(kRequests);
        QStringList errors;
        QObject::connect(
            Notifier::getInstance(), &Notifier::hasError, this, [&](const QString& text) { errors << text; });
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(1000);
        KeyMaster* km = gui.keyMaster();
        // The longest pause of the event loop over the whole walk, and over
        // the daemon's slow part (connect to the archives listed) while the
        // controller works, less the time the thread only waited for a CPU
        // (other processes share the machine): a pause that began before an
        // operation holds the test's own click and the page it builds.
        QElapsedTimer sinceTick, total;
        qint64 longest = 0, longestSlowPart = 0, waitedForCpu = runQueueWaitMs();
        bool slowPart = true, wasBusy = false;
        QTimer ticks;
        ticks.setInterval(5);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 pause = sinceTick.restart();
            const qint64 cpuWait = runQueueWaitMs();
            longest = qMax(longest, pause);
            if (slowPart && wasBusy && km->isBusy())
                longestSlowPart = qMax(longestSlowPart, pause - (cpuWait - waitedForCpu));
            waitedForCpu = cpuWait;
            wasBusy = km->isBusy();
        });
        const auto idle = [&](int ms) { return gui.waitFor([&] { return !km->isBusy(); }, ms); };
        const auto closeNote = [&] {
            QQuickItem* close = gui.findVisible("dialogCloseButton");
            return close && gui.click(close) && gui.waitFor([&] { return !gui.findVisible("dialogCloseButton"); });
        };

        QVERIFY(gui.startWork() && gui.clickName("restoreButton") && gui.waitVisible("restoreChoosingServerPage"));
        QVERIFY(typeInto("serverField", "10.0.0.5") && typeInto("keyPasswordField", "key-secret"));
        // A second click on Connect 3 s into the wait reaches the disabled
        // button: nothing is asked twice, no Disconnect is sent.
        QQuickItem* connectButton = gui.findVisible("connectButton");
        bool enabledMeanwhile = true;
        QTimer::singleShot(3000, this, [&] {
            enabledMeanwhile = connectButton->isEnabled();
            const QPointF centre(connectButton->width() / 2, connectButton->height() / 2);
            QTest::mouseClick(gui.view(), Qt::LeftButton, Qt::NoModifier, connectButton->mapToScene(centre).toPoint());
        });
        total.start();
        sinceTick.start();
        ticks.start();
        QVERIFY(gui.clickName("connectButton") && idle(30000));
        const qint64 firstConnectMs = total.elapsed();
        QVERIFY(!enabledMeanwhile && fileLines(kRequests).filter("REQUEST DISCONNECT").isEmpty());
        QCOMPARE(fileLines(kRequests).filter("REQUEST HELLO").size(), 1);
        const QString lost = GuiHarness::tr("KeyMaster",
            "It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process");
        QCOMPARE(errors, QStringList {lost});
        QVERIFY(km->isServerConnected() && km->getClientNames().isEmpty() && closeNote());
        // The late list has come before the disconnect asks anything.
        QVERIFY(gui.waitFor([] { return !fileLines(kRequests).filter("ANSWER TAKE CLIENT LIST").isEmpty(); }, 5000));
        // Connected again, the late list dropped: the list comes in time.
        QVERIFY(gui.clickName("connectButton")
            && gui.waitFor([&] { return !km->isServerConnected() && !km->isBusy(); }, 15000));
        QVERIFY(typeInto("keyPasswordField", "key-secret") && gui.clickName("connectButton"));
        QVERIFY(gui.waitFor([&] { return km->isServerConnected() && !km->isBusy(); }, 15000));
        QCOMPARE(km->getClientNames(), QStringList {"web01{52:54:00:1a:2b:01}"});
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("restoreAvailableBackupsPage"));
        // The plan never comes: shown after the deadline, the archive listed.
        QQuickItem* table = gui.findVisible("resqueArchivesTableView");
        QVERIFY(gui.waitFor([&] { return table->property("rowCount").toInt() == 1 && !km->isBusy(); }, 30000));
        slowPart = false;
        QCOMPARE(errors, QStringList({lost, lost}));
        QVERIFY(closeNote());
        const qreal header = GuiConfig::getInstance()->itemHeight();
        const QPointF row
            = table->mapToScene(QPointF(30, header + GuiConfig::getInstance()->tableViewRowHeight() / 2.0 + 2));
        QTest::mouseClick(gui.view(), Qt::LeftButton, Qt::NoModifier, row.toPoint());
        QVERIFY(gui.waitFor([&] { return forwardEnabled(); }));
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("restoreSettingsPage"));
        QVERIFY(typeInto("clientPasswordField", "web01-secret") && gui.clickName("forwardButton"));
        QVERIFY(gui.waitVisible("restoreConfirmingPage") && gui.clickName("forwardButton"));
        QObject::connect(km, &KeyMaster::needConfirmRestoreLVM, km,
            [&] { QTimer::singleShot(300, km, [&] { gui.clickName("yesButton"); }); });
        QVERIFY(gui.waitVisible("exitPage", 60000));
        ticks.stop();
        Notifier::getInstance()->disconnect(this);
        std::printf("slow daemon: longest pause of the event loop %lld ms while the daemon was slow (CPU waits left "
                    "out), %lld ms over "
                    "%lld ms (connect to end; first Connect %lld ms)\n",
            longestSlowPart, longest, total.elapsed(), firstConnectMs);
        gui.shot("slow-daemon-exit");
        QVERIFY(writeFile(kScenario, medium));
        QCOMPARE(gui.textOf("resultText"), GuiHarness::tr("RestoreProcessPage", "Recovery ended successfully"));
        QVERIFY2(firstConnectMs >= 9000, "the client list did not come after the deadline");
        QVERIFY2(longestSlowPart <= 100, qPrintable(QString("the window paused %1 ms").arg(longestSlowPart)));
    }

    // The restore with the keyboard alone, in each language (switched on
    // the welcome page): each page's and dialog's Tab round in reading order,
    // shot with the focus on it; Return for the main action (Start, Connect,
    // forward, Ok), arrows in the combo boxes and the archives and plan
    // tables, Space on a radio button; the master key typed in its dialog,
    // which Escape leaves open, the overwrite question cancelled with Escape
    // and confirmed with the keyboard; the LVM question cancelled with Escape
    // (nothing is removed, the restore fails); the exit question cancelled.
    void keyboardWalk_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("keys-ru") << "Ru";
        QTest::newRow("keys-en") << "En";
    }
    void keyboardWalk()
    {
        QFETCH(QString, lang);
        QVERIFY(writeFile(kMedium + "/lvm.state", (lvmState.join('\n') + '\n').toUtf8()));
        QFile(kMedium + "/lvm.log").remove();
        const QString keyFile = "/tmp/keyboard-master-key";
        QVERIFY(writeFile(keyFile, "old"));
        GuiConfig::getInstance()->setLang(lang == "Ru" ? "En" : "Ru");
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(1000);
        KeyMaster* km = gui.keyMaster();
        const auto popup = [&](const char* name) { return gui.root()->findChild<QObject*>(name); };
        const auto opened = [&](QObject* dialog, bool open) {
            return dialog
                && gui.waitFor([&] { return dialog->property(open ? "opened" : "visible").toBool() == open; });
        };
        // A page's Tab round, and its texts: whole and in the language chosen.
        const auto round = [&](const QString& page) {
            QStringList stops;
            const QStringList faults = gui.tabRoundFaults(&stops) + gui.clippedTexts() + gui.wrongLanguageTexts();
            gui.shot(QString(QTest::currentDataTag()) + "-" + page);
            return faults.isEmpty() ? QString() : page + ": " + faults.join("; ") + "\n  stops: " + stops.join(", ");
        };

        QVERIFY(gui.chooseByKeys("languageComboBox", lang));
        QVERIFY(gui.waitFor([&] { return GuiConfig::getInstance()->lang() == lang; }));
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitVisible("scenarioSelectionPage") && gui.tabTo("restoreButton"));
        gui.pressKey(Qt::Key_Space);

        // Server page: Return connects, then goes forward.
        QVERIFY(gui.waitVisible("restoreChoosingServerPage") && gui.focusIn("serverField"));
        gui.pressKey(Qt::Key_A, Qt::ControlModifier);
        gui.typeText("10.0.0.5");
        QVERIFY(gui.tabTo("keyPasswordField"));
        gui.typeText("key-secret");
        QCOMPARE(round("server"), QString());
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitFor([&] { return km->isServerConnected(); }, 15000));
        QVERIFY(gui.waitFor([&] { return gui.focusIn("forwardButton"); }));
        gui.pressKey(Qt::Key_Return);

        // Backups: the second client, its archive taken with the arrows.
        QVERIFY(gui.waitVisible("restoreAvailableBackupsPage") && gui.focusIn("clientComboBox"));
        QQuickItem* table = gui.findVisible("resqueArchivesTableView");
        QVERIFY(gui.waitFor([&] { return table->property("rowCount").toInt() == 2; }));
        QVERIFY(gui.chooseByKeys("clientComboBox", "db01{52:54:00:1a:2b:02}"));
        QVERIFY(gui.waitFor([&] { return table->property("rowCount").toInt() == 1; }));
        QVERIFY(gui.chooseByKeys("clientComboBox", "web01{52:54:00:1a:2b:01}")); // the client with a plan
        QVERIFY(gui.waitFor([&] { return table->property("rowCount").toInt() == 2; }));
        QVERIFY(gui.tabTo("resqueArchivesTableView") && !forwardEnabled());
        gui.pressKey(Qt::Key_Down);
        QVERIFY(gui.waitFor([&] { return km->getResqueArchivesModel()->property("selectedRow").toInt() == 0; }));
        QVERIFY(forwardEnabled());
        QCOMPARE(round("backups"), QString());
        QVERIFY(gui.tabTo("forwardButton"));
        gui.pressKey(Qt::Key_Return);

        // Settings: the target by the arrows, then the master key typed.
        QVERIFY(gui.waitVisible("restoreSettingsPage") && gui.focusIn("targetComboBox"));
        QVERIFY(gui.chooseByKeys("targetComboBox", "sdb") && gui.chooseByKeys("targetComboBox", "sda"));
        QCOMPARE(km->getSelectedDrive(), QString("sda"));
        QVERIFY(gui.tabTo("changeCryptKeyButton"));
        gui.pressKey(Qt::Key_Return);
        QObject* keyDialog = popup("cryptKeyDialog");
        QVERIFY(opened(keyDialog, true) && gui.focusIn("keyFileRadio"));
        QCOMPARE(round("crypt-key-dialog"), QString());
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
        QCOMPARE(round("crypt-key-typed"), QString());
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
        // Saved where the operator asked, and installed where the client reads it.
        QCOMPARE(readFile(keyFile).size(), 32);
        QCOMPARE(km->cryptKeyHandler()->masterKeyPath(), QString("/opt/sarvelin/keys/master-key"));
        QCOMPARE(readFile("/opt/sarvelin/keys/master-key"), readFile(keyFile));
        QObject* notification = popup("notificationDialog");
        QVERIFY(opened(notification, true)); // the key's check
        gui.pressKey(Qt::Key_Escape);
        QVERIFY(opened(notification, false) && gui.focusIn("changeCryptKeyButton"));

        // The plan dialog: the archives of the record chosen with the arrows.
        QVERIFY(gui.tabTo("tuneDrpButton"));
        gui.pressKey(Qt::Key_Return);
        QObject* drpDialog = popup("drpDialog");
        QVERIFY(opened(drpDialog, true) && gui.focusIn("drpRecordsTable"));
        QObject* records = km->drpManager()->property("drpModel").value<QObject*>();
        QObject* archives = km->drpManager()->property("drpArchiveModel").value<QObject*>();
        gui.pressKey(Qt::Key_Down);
        QVERIFY(gui.waitFor([&] { return records->property("selectedRow").toInt() == 1; }));
        QVERIFY(gui.tabTo("drpArchivesTable"));
        gui.pressKey(Qt::Key_Down);
        QVERIFY(gui.waitFor([&] { return archives->property("selectedRow").toInt() == 0; }));
        QCOMPARE(round("drp-dialog"), QString());
        gui.pressKey(Qt::Key_Escape);
        QTest::qWait(100);
        QVERIFY2(drpDialog->property("visible").toBool(), "the plan dialog closes by its buttons only");
        QVERIFY(gui.tabTo("drpOkButton"));
        gui.pressKey(Qt::Key_Return);
        QVERIFY(opened(drpDialog, false) && archives->property("selectedRow").toInt() == 0);

        // The password, then Return goes forward; Return again restores.
        QVERIFY(gui.tabTo("clientPasswordField"));
        gui.typeText("web01-secret");
        QCOMPARE(round("settings"), QString());
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitVisible("restoreConfirmingPage") && gui.focusIn("forwardButton"));
        QCOMPARE(round("confirm"), QString());
        bool cancelFocused = false;
        QObject::connect(km, &KeyMaster::needConfirmRestoreLVM, km, [&] {
            QTimer::singleShot(300, km, [&] {
                cancelFocused = gui.focusIn("cancelButton");
                gui.shot(QString(QTest::currentDataTag()) + "-lvm-question");
                gui.pressKey(Qt::Key_Escape);
            });
        });
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitVisible("exitPage", 60000));
        QVERIFY(cancelFocused);
        QCOMPARE(
            gui.textOf("resultText"), GuiHarness::tr("RestoreProcessPage", "Recovery failed. See log for more info"));
        QVERIFY2(!QFile::exists(kMedium + "/lvm.log") || fileLines(kMedium + "/lvm.log").filter("remove").isEmpty(),
            "the LVM volumes were removed although the question was cancelled");
        if (notification->property("visible").toBool()) {
            gui.pressKey(Qt::Key_Escape);
            QVERIFY(opened(notification, false));
        }
        QVERIFY(gui.waitFor([&] { return gui.focusIn("exitButton"); }));
        QCOMPARE(round("exit"), QString());

        // The exit question: Cancel has the focus, Escape answers it.
        QSignalSpy quit(gui.view()->engine(), &QQmlEngine::quit);
        Notifier::getInstance()->showExit();
        QVERIFY(opened(notification, true) && gui.waitFor([&] { return gui.focusIn("dialogRejectButton"); }));
        gui.shot(QString(QTest::currentDataTag()) + "-exit-question");
        gui.pressKey(Qt::Key_Escape);
        QVERIFY(opened(notification, false) && quit.isEmpty() && gui.focusIn("exitButton"));
        QVERIFY(gui.tabTo("toStartButton"));
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitVisible("welcomePage") && gui.focusIn("languageComboBox"));
    }
};

SV_GUI_TEST_MAIN(RestoreWalkTest, "restore-walk")

#include "tst_restore_walk.moc"
