// What the operator can do to a backup besides letting it run, through the
// real pages on the "standard" medium: leave the tool in the middle of the
// run, choose a disk that is swapped before the run, and back up a system
// whose master key is a FIFO. Each walk checks the screen and what the run
// left on the medium (mounts, copied files, the local client).

#include "backup_checks.h"
#include "../common/medium_files.h"
#include "../common/test_files.h"
#include "guiharness.h"
#include "keymaster.h"
#include "notifier.h"

#include <QElapsedTimer>
#include <QQmlEngine>
#include <QTimer>

using namespace backup_checks;

namespace {

const QString kIdentity = kMedium + "/identity";

} // namespace

class BackupHazardsTest : public QObject
{
    Q_OBJECT
    GuiHarness gui;

    bool clickRow(const QString& name)
    {
        const auto cells
            = gui.shownBelow("devicesTreeView", [&](QQuickItem* i) { return i->property("text").toString() == name; });
        return !cells.isEmpty() && gui.click(cells.first());
    }
    // From the welcome page to the confirmation page of a backup of sda2
    // with every fstab entry marked.
    bool toConfirmation()
    {
        if (!gui.startWork() || !gui.clickName("backupButton") || !gui.waitVisible("backupChoosingDevicePage")
            || !clickRow("sda2") || !gui.clickName("forwardButton") || !gui.waitVisible("backupDiskInfoPage"))
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
    QString notification() const
    {
        QObject* dialog = gui.root()->findChild<QObject*>("notificationDialog");
        return dialog && dialog->property("visible").toBool() ? dialog->property("message").toString() : QString();
    }
    void writeScenario(const QString& statuses)
    {
        QVERIFY(writeFile(kScenario,
            ("[local_client]\nauthorize_after = 0\n[backup]\nsvfd_seconds = 1\nstatus = " + statuses + "\n").toUtf8()));
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
        writeScenario(QStringLiteral("2") + QString(", 2").repeated(150));
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(20);
        KeyMaster* km = gui.keyMaster();
        bool quit = false;
        // As main does: Qt.quit() quits the application, whose event loops
        // then all return at once.
        connect(gui.view()->engine(), &QQmlEngine::quit, this, [&] {
            quit = true;
            QCoreApplication::quit();
        });
        QVERIFY(toConfirmation());
        QElapsedTimer sinceExit;
        qint64 cpuAtExit = 0, endedAfter = -1, cpuUntilEnd = -1;
        bool ended = false, result = true;
        connect(km, &KeyMaster::creatingBackupEnded, this, [&](bool success) {
            ended = true;
            result = success;
            endedAfter = sinceExit.elapsed();
            cpuUntilEnd = cpuMilliseconds() - cpuAtExit;
        });
        QString question;
        bool cancelFocused = false;
        const QString polling = GuiHarness::tr("KeyMaster", "Waiting for the task status: %1")
                                    .arg(GuiHarness::tr("KeyMaster", "Task was assigned"));
        connect(km, &KeyMaster::runStageChanged, this, [&] {
            if (km->runStage() != polling || !question.isEmpty())
                return;
            // The window's close button.
            Notifier::getInstance()->showExit();
            QTimer::singleShot(300, this, [&] {
                question = notification();
                QQuickItem* cancel = gui.findVisible("dialogRejectButton");
                cancelFocused = cancel && cancel->hasActiveFocus();
                gui.shot("exit-question-during-backup");
                sinceExit.start();
                cpuAtExit = cpuMilliseconds();
                gui.clickName("dialogAcceptButton");
            });
        });
        QVERIFY(gui.clickName("forwardButton"));
        QVERIFY(gui.waitFor([&] { return ended; }, 60000));
        // The application's quit flag stays set until its loop runs again.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        qApp->exec();
        std::printf(
            "exit during backup: run ended %lld ms after Exit, %lld ms of processor time\n", endedAfter, cpuUntilEnd);
        QVERIFY2(question.contains(GuiHarness::tr("KeyMaster",
                     "A backup is running. If you leave now, it is stopped: the file systems are unmounted, the copied "
                     "keys and settings are deleted and the local client is stopped.")),
            qPrintable(question));
        QVERIFY(cancelFocused);
        QVERIFY(quit && !result);
        QVERIFY2(endedAfter >= 1000 && endedAfter < 20000, qPrintable(QString::number(endedAfter)));
        QVERIFY2(cpuUntilEnd < endedAfter / 2, qPrintable(QString::number(cpuUntilEnd)));
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
        writeScenario("5");
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(20);
        KeyMaster* km = gui.keyMaster();
        QVERIFY(toConfirmation());
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
        QVERIFY(!km->isBusy());
    }

    // The installed system's master key is a FIFO (then a device node): the
    // run names it and stops, the window never blocks on it.
    void plantedMasterKey_data()
    {
        QTest::addColumn<QString>("plant");
        QTest::newRow("fifo") << "mkfifo";
        QTest::newRow("device node") << "mknod -m 600 %1 c 1 5 && :";
    }
    void plantedMasterKey()
    {
        QFETCH(QString, plant);
        const QString key = "/tmp/w/opt/sarvelin/keys/master-key";
        const QString command = plant.contains("%1") ? plant.arg(key) : plant + " " + key;
        QCOMPARE(runShell("mkdir -p /tmp/w && mount /dev/sda2 /tmp/w && cp -a " + key + " /tmp/master-key.saved && rm "
                     + key + " && " + command + " && umount /tmp/w && echo planted"),
            QString("planted\n"));
        writeScenario("5");
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(20);
        QVERIFY(toConfirmation());
        QString shown;
        QObject scope; // ends the connection with this walk
        connect(Notifier::getInstance(), &Notifier::hasError, &scope, [&](const QString& msg) { shown = msg; });
        QElapsedTimer run;
        run.start();
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("exitPage", 30000));
        runShell("mount /dev/sda2 /tmp/w && rm " + key + " && cp -a /tmp/master-key.saved " + key + "; umount /tmp/w");
        QVERIFY2(shown.contains("/mnt/opt/sarvelin/keys/master-key"), qPrintable(shown));
        QCOMPARE(gui.textOf("resultText"),
            GuiHarness::tr("BackupCreatingPage", "Creating backup failed. See log for more info"));
        QVERIFY(endedCleanly());
        QVERIFY(!QFile::exists("/opt/sarvelin/keys/master-key"));
        QVERIFY(run.elapsed() < 20000);
    }
};

SV_GUI_TEST_MAIN(BackupHazardsTest, "backup-hazards")

#include "tst_backup_hazards.moc"
