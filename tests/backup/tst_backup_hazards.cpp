// What the operator can do to a backup besides letting it run, through the
// real pages on the "standard" medium: leave the tool in the middle of the
// run, and choose a disk that is swapped before the run.

#include "backup_checks.h"
#include "../common/medium_files.h"
#include "../common/test_files.h"
#include "guiharness.h"
#include "keymaster.h"
#include "notifier.h"

#include <utility>

using namespace backup_checks;

class BackupHazardsTest : public QObject
{
    Q_OBJECT
    GuiHarness gui;

    // A fresh window, the task's `statuses` as the server will report them,
    // and the confirmation page of a backup of sda2 with every entry marked.
    bool toConfirmation(const QString& statuses)
    {
        if (!writeFile(kScenario,
                ("[local_client]\nauthorize_after = 0\n[backup]\nsvfd_seconds = 1\nstatus = " + statuses + "\n")
                    .toUtf8())
            || !gui.start(QSize(1024, 768), {"lo", "eth0"}))
            return false;
        gui.shortenScenarioWaits(20);
        if (!gui.startWork() || !gui.clickName("backupButton") || !gui.waitVisible("backupChoosingDevicePage")
            || !gui.clickRow("sda2") || !gui.clickName("forwardButton") || !gui.waitVisible("backupDiskInfoPage"))
            return false;
        QList<QQuickItem*> boxes;
        gui.waitFor([&] {
            boxes = gui.shownBelow("fstabTableView", [](QQuickItem* i) { return i->objectName() == "cellCheckBox"; });
            return boxes.size() == 3;
        });
        for (QQuickItem* box : boxes)
            if (!gui.click(box))
                return false;
        return gui.clickName("forwardButton") && gui.waitVisible("backupConfirmingPage");
    }

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "needs the simulated medium and the stand-ins"); }
    void init() { QFile::remove(kCalls); }
    void cleanup() { gui.stop(); }

    // The operator leaves while the run polls the task: the question says a
    // backup runs and that leaving stops it, with "Cancel" first; leaving
    // ends the run through its ending (keys deleted, nothing mounted, the
    // client stopped after its second to stop by itself) and the tool ends
    // within 20 s without spinning.
    void exitDuringBackup()
    {
        QVERIFY(toConfirmation(QStringLiteral("2") + QString(", 2").repeated(150)));
        KeyMaster* km = gui.keyMaster();
        Leaving leaving;
        bool ended = false, result = true, asked = false;
        connect(km, &KeyMaster::creatingBackupEnded, this, [&](bool success) {
            ended = true;
            result = success;
            leaving.ended();
        });
        const QString polling = GuiHarness::tr("KeyMaster", "Waiting for the task status: %1")
                                    .arg(GuiHarness::tr("KeyMaster", "Task was assigned"));
        connect(km, &KeyMaster::runStageChanged, this, [&] {
            if (km->runStage() == polling && !std::exchange(asked, true))
                leaving.ask(gui, "exit-question-during-backup");
        });
        QVERIFY(gui.clickName("forwardButton"));
        QVERIFY(gui.waitFor([&] { return ended; }, 60000));
        const QStringList faults = leaving.faults(GuiHarness::tr("KeyMaster",
            "A backup is running. If you leave now, it is stopped: the file systems are unmounted, the copied "
            "keys and settings are deleted and the local client is stopped."));
        QVERIFY2(faults.isEmpty() && !result, qPrintable(faults.join('\n')));
        for (const QString& key : kCopiedKeys)
            QVERIFY2(!QFile::exists(key), qPrintable(key));
        QVERIFY(!QFile::exists(kConfig));
        QVERIFY(endedCleanly());
        QVERIFY(lines("/opt/sarvelin/log/Sarvelin.log").contains("Sarvelin client stopped"));
        QVERIFY(GuiHarness::logContains("Leaving while"));
        QVERIFY(!GuiHarness::logContains("did not end within"));
    }

    // The disk chosen from the list is swapped before the run: the run is
    // refused before anything is mounted or copied.
    void diskSwappedBeforeRun()
    {
        QVERIFY(toConfirmation("5"));
        const QString kIdentity = kMedium + "/identity";
        const QString before = QString::fromUtf8(readFile(kIdentity));
        QVERIFY(writeFile(kIdentity, QString(before).replace("ST128A0042", "ST128Z9999").toUtf8()));
        QString shown;
        QObject scope; // ends the connection with this walk
        connect(Notifier::getInstance(), &Notifier::hasError, &scope, [&](const QString& msg) { shown = msg; });
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("exitPage", 30000));
        QVERIFY(writeFile(kIdentity, before.toUtf8()));
        QCOMPARE(gui.textOf("resultText"),
            GuiHarness::tr("BackupCreatingPage", "Creating backup failed. See log for more info"));
        QCOMPARE(
            shown, GuiHarness::tr("KeyMaster", "The disk %1 is not the one chosen. Backup canceled").arg("/dev/sda"));
        QVERIFY(endedCleanly());
        for (const QString& key : kCopiedKeys)
            QVERIFY2(!QFile::exists(key), qPrintable(key));
        QVERIFY(lines(kCalls).filter(" sv_archives ").isEmpty());
        QVERIFY(!gui.keyMaster()->isBusy());
    }
};

SV_GUI_TEST_MAIN(BackupHazardsTest, "backup-hazards")

#include "tst_backup_hazards.moc"
