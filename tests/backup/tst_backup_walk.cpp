// The operator's backup from the welcome page to the exit page on the
// "standard" medium (real pages, controller and stand-ins): the page rules on
// the way, a checked shot of each page and of the run mid-way, and the medium
// the run leaves.

#include "backup_checks.h"
#include "../common/test_files.h"
#include "../common/medium_files.h"
#include "fsmodel.h"
#include "guiconfig.h"
#include "guiharness.h"
#include "keymaster.h"
#include "notifier.h"

#include <QQmlComponent>
#include <QSysInfo>

using namespace backup_checks;

class BackupWalkTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QList<QQuickItem*> checkBoxes()
    {
        return gui.shownBelow("fstabTableView", [](QQuickItem* i) { return i->objectName() == "cellCheckBox"; });
    }
    bool forwardEnabled() { return gui.findVisible("forwardButton")->isEnabled(); }
    QString field(const char* name) { return gui.findVisible(name)->property("text").toString(); }

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "needs the simulated medium and the stand-ins"); }
    void cleanup() { gui.stop(); }

    // By keys a refused partition's warning and an error close by Escape,
    // the focus back where it was. With `slow` tools the inspection's first
    // mount and the host name change take 3 s each.
    void walk_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("byKeys");
        QTest::addRow("ru-800x600-keys") << "Ru" << QSize(800, 600) << true;
        QTest::addRow("en-1920x1080-slow") << "En" << QSize(1920, 1080) << false;
    }
    void walk()
    {
        QFETCH(QString, lang);
        QFETCH(QSize, size);
        QFETCH(bool, byKeys);
        const bool keys = gui.byKeys = byKeys, slow = !keys;
        // Each wrapped tool sleeps 3 s once while its flag file exists.
        for (const QString tool : {"/usr/bin/mount", "/usr/bin/hostnamectl"}) {
            if (!QFile::exists(tool + ".real"))
                QCOMPARE(runShell(QString(
                             "mv %1 %1.real && printf '#!/bin/sh\nif rm %1.slow 2>/dev/null; then s=$(date +%%s%%3N); "
                             "sleep 3; echo $s $(date +%%s%%3N) >> /tmp/slow-tools.log; fi\nexec %1.real \"$@\"\n' > "
                             "%1 && chmod 755 %1")
                                      .arg(tool)),
                    QString());
            QVERIFY(!slow || writeFile(tool + ".slow", ""));
        }
        QFile::remove("/tmp/slow-tools.log");
        // By keys, the language is switched on the welcome page.
        GuiConfig::getInstance()->setLang(keys ? (lang == "Ru" ? "En" : "Ru") : lang);
        QVERIFY(gui.start(size, {"lo", "eth0"}));
        gui.shortenScenarioWaits(20);
        KeyMaster* km = gui.keyMaster();
        PauseProbe probe([&] { return km->isBusy(); });
        probe.start();
        QObject* notification = gui.root()->findChild<QObject*>("notificationDialog");
        const auto closeByEscape = [&] {
            if (!gui.waitFor([&] { return notification && notification->property("opened").toBool(); }))
                return false;
            gui.pressKey(Qt::Key_Escape);
            return gui.waitFor([&] { return !notification->property("visible").toBool(); });
        };
        const QString interface = keys ? "lo" : "eth0";
        if (keys) {
            QVERIFY(gui.focusIn("languageComboBox") && gui.chooseByKeys("languageComboBox", lang));
            QVERIFY(gui.waitFor([&] { return GuiConfig::getInstance()->lang() == lang; }));
            QVERIFY(gui.choose("interfaceComboBox", interface));
            QCOMPARE(gui.look("welcome"), QString());
            gui.pressKey(Qt::Key_Return);
            QVERIFY(gui.waitVisible("scenarioSelectionPage") && gui.focusIn("backupButton"));
            QCOMPARE(gui.look("selection"), QString());
            gui.pressKey(Qt::Key_Return);
        } else {
            QVERIFY(gui.startWork() && gui.clickName("backupButton"));
        }
        QCOMPARE(km->getNetworkInterface(), interface);

        // Device page: the first disk, said what it is; forward only while an
        // accepted partition belongs to the chosen disk.
        QVERIFY(gui.waitVisible("backupChoosingDevicePage") && (!keys || gui.focusIn("driveComboBox")));
        QCOMPARE(km->getSelectedDrive(), QString("sda"));
        QVERIFY(
            gui.textOf("driveIdentityText").contains(QRegularExpression("^128 .+, SIMTEK SSD 128, .+ ST128A0042$")));
        QVERIFY(keys || (!forwardEnabled() && gui.clickRow("sda2") && forwardEnabled()));
        QVERIFY(gui.choose("driveComboBox", "sdb") && !forwardEnabled());
        QVERIFY(km->getSelectedDrive() == "sdb" && gui.textOf("driveIdentityText").endsWith("ST064B0917"));
        QVERIFY(gui.choose("driveComboBox", "sda"));
        QVERIFY(gui.choose("cryptoComboBox", "anubis") && km->getCrypto() == "anubis");
        if (keys) { // /boot is refused with a warning, / taken
            QVERIFY(gui.tabTo("devicesTreeView"));
            gui.pressKey(Qt::Key_Down);
            gui.pressKey(Qt::Key_Return);
            QVERIFY(closeByEscape() && gui.focusIn("devicesTreeView") && !forwardEnabled());
            gui.pressKey(Qt::Key_Down);
            gui.pressKey(Qt::Key_Space);
        } else {
            QVERIFY(gui.clickRow("sda2"));
        }
        QVERIFY(gui.waitFor([&] { return forwardEnabled(); }));
        QCOMPARE(gui.look("device"), QString());
        if (keys) { // an error closes by Escape too, and gives the focus back
            Notifier::getInstance()->showError("error shown on the device page");
            QVERIFY(closeByEscape() && gui.focusIn("devicesTreeView"));
        }

        // Disk information; unmarking the last entry closes the way at once.
        QVERIFY(gui.press("forwardButton") && gui.waitVisible("backupDiskInfoPage", 20000));
        QCOMPARE(field("hostnameField") + " / " + field("osField"), QString("web01 / Debian GNU/Linux 12 (bookworm)"));
        QVERIFY(gui.waitFor([&] { return checkBoxes().size() == 3; })); // /, /boot, /srv/data
        QObject* fstab = km->getFstabModel();
        const auto marked = [&] { return fstab->property("backupingFsNumber").toInt(); };
        if (keys) { // Space marks the current row
            QVERIFY(gui.focusIn("fstabTableView"));
            gui.pressKey(Qt::Key_Down);
            gui.pressKey(Qt::Key_Space);
            QVERIFY(marked() == 1 && forwardEnabled());
            gui.pressKey(Qt::Key_Space);
            QVERIFY(marked() == 0 && !forwardEnabled());
            for (int row = 0; row < 3; ++row) {
                gui.pressKey(Qt::Key_Space);
                gui.pressKey(Qt::Key_Down);
            }
        } else {
            QVERIFY(!forwardEnabled() && gui.click(checkBoxes().at(2)) && forwardEnabled());
            QVERIFY(gui.click(checkBoxes().at(2)) && !forwardEnabled());
            for (QQuickItem* box : checkBoxes())
                QVERIFY(gui.click(box));
        }
        QCOMPARE(marked(), 3);
        QCOMPARE(gui.look("disk-info"), QString());

        // Confirmation; back and forward again keep the marks.
        QVERIFY(gui.press("forwardButton") && gui.waitVisible("backupConfirmingPage"));
        QVERIFY(!keys || gui.focusIn("forwardButton"));
        QCOMPARE(QStringList({field("networkInterfaceField"), field("cryptoField"), field("drivePartitionField")}),
            QStringList({interface, "anubis", "sda (" + km->driveIdentity("sda") + ")"}));
        QCOMPARE(gui.findVisible("mountedDirectoriesList")->property("count").toInt(), 3);
        QVERIFY(!gui.findVisible("mountedDirectoriesScrollIndicator") && !gui.findVisible("noSelectedDirectoriesText"));
        QCOMPARE(gui.look("confirm"), QString());
        QVERIFY(gui.press("backButton") && gui.waitVisible("backupDiskInfoPage") && forwardEnabled());
        QVERIFY(gui.press("forwardButton") && gui.waitVisible("backupConfirmingPage"));
        QCOMPARE(gui.findVisible("mountedDirectoriesList")->property("count").toInt(), 3);

        // The run, looked at mid-way, with the modes of the secret files then.
        const QString midRun = GuiHarness::tr("KeyMaster", "Waiting for the task status: %1")
                                   .arg(GuiHarness::tr("KeyMaster", "Task was assigned"));
        QStringList modes, stages;
        QString elapsed, midRunFaults;
        QObject scope; // ends the connection with this walk
        connect(km, &KeyMaster::runStageChanged, &scope, [&] {
            stages << km->runStage();
            if (km->runStage() != midRun || !modes.isEmpty())
                return;
            for (const QString& file : kCopiedKeys + QStringList {kConfig})
                modes << QString::number(mode(file), 8);
            probe.hold(true);
            midRunFaults = gui.look("run", false);
            probe.hold(false);
            elapsed = gui.textOf("runElapsedText");
        });
        QVERIFY(gui.press("forwardButton") && gui.waitVisible("exitPage", 120000));
        probe.stop();
        // While a slow tool ran the window answers as always; the controller
        // never holds it a quarter of a second (page changes take their time
        // on a loaded machine).
        qint64 duringTools = 0;
        const QStringList windows = runShell("cat /tmp/slow-tools.log 2>/dev/null").split('\n', Qt::SkipEmptyParts);
        for (const QString& line : windows) {
            const qint64 from = line.section(' ', 0, 0).toLongLong(), to = line.section(' ', 1, 1).toLongLong();
            for (const auto& [end, length] : probe.pauses)
                duringTools = qMax(duringTools, qMin(end, to) - qMax(end - length, from));
        }
        std::printf("%s: longest pause of the event loop %lld ms, %lld ms while a slow tool ran\n",
            QTest::currentDataTag(), probe.longest(), duringTools);
        QVERIFY2(!slow || windows.size() == 2, "the slow tools did not both run");
        QVERIFY2(duringTools <= 100 && probe.longest() < 250,
            qPrintable(QString("the window paused %1 ms, %2 ms during a tool").arg(probe.longest()).arg(duringTools)));
        QVERIFY(!keys || gui.waitFor([&] { return gui.focusIn("exitButton"); }));
        QCOMPARE(gui.textOf("resultText"), GuiHarness::tr("BackupCreatingPage", "Creating backup ended successfully"));
        QCOMPARE(midRunFaults + gui.look("exit"), QString());
        QCOMPARE(modes, QStringList({"600", "600", "600", "600"}));
        QVERIFY2(elapsed.contains(QRegularExpression(" 0:0\\d:\\d\\d$")) && !elapsed.endsWith(" 0:00:00"),
            qPrintable(elapsed));
        QVERIFY(stages.contains(
            GuiHarness::tr("KeyMaster", "Waiting for the deduplication daemon to finish, pass %1").arg(1)));
        QVERIFY(km->runStage().isEmpty() && marked() == 0);

        // What stays on the medium: the installed system's identity, the new
        // configuration (its lines line by line in tst_backup_failures), no
        // key copies, no mounts, no client.
        QVERIFY(lines(kConfig).contains("client-inet-interface " + interface) && mode(kConfig) == 0600);
        QCOMPARE(
            runShell("mkdir -p /tmp/i && mount -o ro /dev/sda2 /tmp/i && cat /tmp/i/etc/machine-id; umount /tmp/i"),
            lines("/etc/machine-id").value(0) + "\n");
        QCOMPARE(QSysInfo::machineHostName(), QString("web01"));
        for (const QString& key : kCopiedKeys)
            QVERIFY2(!QFile::exists(key), qPrintable(key));
        QVERIFY(endedCleanly());
        QVERIFY(lines(kCalls)
                    .filter(" sv_archives ")
                    .last()
                    .endsWith(" sv_archives -c /dev/sda -m rescue_image -a anubis"));
    }

    // The list of marked entries at its limit, and with none marked.
    void confirmationList()
    {
        QVERIFY(gui.start(QSize(800, 600)));
        runShell("for i in 1 2 3 4 5 6 7; do echo \"/dev/vdb$i /data$i ext4 defaults 0 2\"; done > /tmp/fstab-many");
        auto* model = static_cast<FsModel*>(gui.keyMaster()->getFstabModel());
        QVERIFY(model->fill("/tmp/fstab-many"));
        QQmlComponent page(gui.view()->engine(), QUrl("qrc:/qml/BackupPages/BackupConfirmingPage.qml"));
        for (const int marked : {6, 0}) {
            for (int row = 0; row < 7; ++row)
                model->mark(row, row < marked);
            model->setBackupingFsNumber(marked);
            std::unique_ptr<QObject> object(page.create());
            auto* item = qobject_cast<QQuickItem*>(object.get());
            QVERIFY2(item, qPrintable(page.errorString()));
            item->setParentItem(gui.root());
            item->setSize(gui.root()->size());
            QVERIFY(gui.waitFor([&] { return gui.findVisible("forwardButton", item); }));
            QCOMPARE(gui.findVisible("forwardButton", item)->isEnabled(), marked > 0);
            QQuickItem* list = gui.findVisible("mountedDirectoriesList", item);
            QCOMPARE(bool(gui.findVisible("noSelectedDirectoriesText", item)), !marked);
            if (marked) { // five rows and the heading
                QVERIFY(list->property("count") == 6 && list->height() == 6 * list->property("rowHeight").toReal());
                QVERIFY(gui.findVisible("mountedDirectoriesScrollIndicator", item));
                gui.shot("confirm-six-marked");
            }
        }
    }
};

SV_GUI_TEST_MAIN(BackupWalkTest, "backup-walk")

#include "tst_backup_walk.moc"
