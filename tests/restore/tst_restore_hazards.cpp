// What the operator can do to a restore besides letting it run, through the
// real pages on the LVM medium (sda: vg0 on /dev/sda2): a wrong client
// password, and leaving the tool while the LVM question waits.

#include "guiharness.h"

#include "../common/medium_files.h"
#include "../common/shell_script.h"
#include "../common/test_files.h"
#include "keymaster.h"
#include "notifier.h"

#include <QTimer>

class RestoreHazardsTest : public QObject
{
    Q_OBJECT
    GuiHarness gui;
    QByteArray lvmState, scenario;
    QStringList errors;

    QStringList removals() const { return fileLines(kMedium + "/lvm.log").filter("remove"); }

    // From the welcome page: connected, the first archive of web01 chosen,
    // on the settings page.
    bool toSettingsPage()
    {
        KeyMaster* km = gui.keyMaster();
        if (!gui.startWork() || !gui.clickName("restoreButton") || !gui.waitVisible("restoreChoosingServerPage")
            || !gui.typeInto("serverField", "10.0.0.5") || !gui.typeInto("keyPasswordField", "key-secret")
            || !gui.clickName("connectButton")
            || !gui.waitFor([&] { return km->isServerConnected() && !km->isBusy(); }, 20000)
            || !gui.clickName("forwardButton") || !gui.waitVisible("restoreAvailableBackupsPage", 10000))
            return false;
        QQuickItem* table = gui.findVisible("resqueArchivesTableView");
        return gui.waitFor([&] { return table->property("rowCount").toInt() == 2 && !km->isBusy(); }, 10000)
            && gui.clickTableRow("resqueArchivesTableView")
            && gui.waitFor([&] { return gui.findVisible("forwardButton")->isEnabled(); }, 10000)
            && gui.clickName("forwardButton") && gui.waitVisible("restoreSettingsPage", 10000);
    }
    // From the settings page into the run with `password`.
    bool startRun(const QString& password)
    {
        return gui.typeInto("clientPasswordField", password) && gui.clickName("forwardButton")
            && gui.waitVisible("restoreConfirmingPage") && gui.clickName("forwardButton");
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(GuiHarness::insideSandbox(), "runs the stand-ins and the simulated disks");
        lvmState = readFile(kMedium + "/lvm.state");
        scenario = readFile(kScenario);
        connect(Notifier::getInstance(), &Notifier::hasError, this, [this](const QString& msg) { errors << msg; });
    }
    void init()
    {
        errors.clear();
        QVERIFY(writeFile(kMedium + "/lvm.state", lvmState));
        QFile::remove(kMedium + "/lvm.log");
        QFile::remove(kRequests);
        QVERIFY(writeFile(kScenario, scenario));
        runShell("/opt/sarvelin/bin/sarvelin_client stop; pkill -x sv_keyclientd");
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(1000);
    }
    void cleanup() { gui.stop(); }

    // A wrong client password on a disk with LVM: nothing is asked and
    // nothing removed, and the installed key stays.
    void wrongPassword()
    {
        KeyMaster* km = gui.keyMaster();
        const QString clientKey = "/opt/sarvelin/keys/master-key";
        QVERIFY(writeFile(clientKey, QByteArray(32, 'a')));
        QVERIFY(toSettingsPage());
        bool asked = false;
        connect(km, &KeyMaster::needConfirmRestoreLVM, this, [&] {
            asked = true;
            km->answerRestoreLVM(true);
        });
        QVERIFY(startRun("mistyped"));
        QVERIFY(gui.waitVisible("exitPage", 60000));
        QCOMPARE(
            gui.textOf("resultText"), GuiHarness::tr("RestoreProcessPage", "Recovery failed. See log for more info"));
        QVERIFY2(errors.contains(GuiHarness::tr("KeyMaster", "Wrong password")), qPrintable(errors.join('\n')));
        QVERIFY(!asked);
        QVERIFY2(removals().isEmpty(), qPrintable(removals().join('\n')));
        QCOMPARE(readFile(kMedium + "/lvm.state"), lvmState);
        QVERIFY(fileLines(kRequests).filter("REQUEST SV KEY RESTORE ARCHIVES").isEmpty());
        // The installed key survives the failed restore.
        QCOMPARE(readFile(clientKey), QByteArray(32, 'a'));
    }

    // The operator leaves while the LVM question waits: the question says a
    // restore runs, "Cancel" first; leaving removes nothing, stops the local
    // client and ends the run within 20 s without spinning.
    void exitDuringLvmQuestion()
    {
        KeyMaster* km = gui.keyMaster();
        QVERIFY(toSettingsPage());
        Leaving leaving;
        bool ended = false, result = true;
        connect(km, &KeyMaster::needConfirmRestoreLVM, this,
            [&] { QTimer::singleShot(400, this, [&] { leaving.ask(gui, "exit-question-during-lvm-question"); }); });
        connect(km, &KeyMaster::restoreEnded, this, [&](bool success) {
            ended = true;
            result = success;
        });
        connect(km, &KeyMaster::operationChanged, this, [&] {
            if (ended && !km->isBusy())
                leaving.ended();
        });
        QVERIFY(startRun("web01-secret"));
        QVERIFY(gui.waitFor([&] { return ended && !km->isBusy(); }, 60000));
        const QStringList faults = leaving.faults(GuiHarness::tr("KeyMaster",
            "A restore is running. If you leave now, it is stopped: the tool stops waiting for it, "
            "disconnects and stops the local client."));
        QVERIFY2(faults.isEmpty() && !result, qPrintable(faults.join('\n')));
        QVERIFY2(removals().isEmpty(), qPrintable(removals().join('\n')));
        QVERIFY(fileLines(kRequests).filter("REQUEST SV KEY RESTORE ARCHIVES").isEmpty());
        QVERIFY(fileLines(kCalls).filter("sarvelin_client stop").size() >= 1);
        QVERIFY(QTest::qWaitFor([] { return runShell("pgrep -x sarvelin_client").isEmpty(); }, 5000));
    }
};

SV_GUI_TEST_MAIN(RestoreHazardsTest, "restore-hazards")

#include "tst_restore_hazards.moc"
