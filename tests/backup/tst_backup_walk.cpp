// The operator's backup from the welcome page to the exit page on the
// "standard" medium (real pages, controller and stand-ins), in Russian at
// 800x600 and in English at 1920x1080: the page rules on the way, a checked
// screenshot of each page and of the run mid-way, and the medium the run
// leaves.

#include "backup_checks.h"
#include "../common/test_files.h"
#include "../common/medium_files.h"
#include "fsmodel.h"
#include "guiconfig.h"
#include "guiharness.h"
#include "keymaster.h"
#include "notifier.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QQmlComponent>
#include <QTimer>
#include <QSysInfo>

using namespace backup_checks;

class BackupWalkTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    bool clickRow(const QString& name)
    {
        const auto cells
            = gui.shownBelow("devicesTreeView", [&](QQuickItem* i) { return i->property("text").toString() == name; });
        return !cells.isEmpty() && gui.click(cells.first());
    }
    QList<QQuickItem*> checkBoxes()
    {
        return gui.shownBelow("fstabTableView", [](QQuickItem* i) { return i->objectName() == "cellCheckBox"; });
    }
    bool choose(const QString& box, const QString& entry)
    {
        return gui.click(gui.find("arrowButton", gui.findVisible(box))) && gui.clickName("entry_" + entry);
    }
    bool forwardEnabled() { return gui.findVisible("forwardButton")->isEnabled(); }
    QString field(const char* name) { return gui.findVisible(name)->property("text").toString(); }
    void look(const QString& step)
    {
        QTest::qWait(50);
        const QStringList cut = gui.clippedTexts(), wrong = gui.wrongLanguageTexts();
        gui.shot(QString(QTest::currentDataTag()) + "-" + step);
        QVERIFY2(cut.isEmpty() && wrong.isEmpty(), qPrintable(step + ":\n" + (cut + wrong).join("\n")));
    }

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "needs the simulated medium and the stand-ins"); }
    void cleanup() { gui.stop(); }

    // With `slow` tools, the first mount of the inspection and the host
    // name change each take 3 s; the window must go on answering meanwhile
    // (at most 100 ms without a turn of the event loop while they run).
    void walk_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("slow");
        // Russian, the longer texts, in the smallest window; English in the
        // largest, with the slow tools.
        QTest::addRow("ru-800x600") << "Ru" << QSize(800, 600) << false;
        QTest::addRow("en-1920x1080") << "En" << QSize(1920, 1080) << true;
    }
    void walk()
    {
        QFETCH(QString, lang);
        QFETCH(QSize, size);
        QFETCH(bool, slow);
        GuiConfig::getInstance()->setLang(lang);
        // Each wrapped tool sleeps 3 s once while its flag file exists.
        for (const QString tool : {"/usr/bin/mount", "/usr/bin/hostnamectl"}) {
            if (!QFile::exists(tool + ".real"))
                QCOMPARE(runShell(QString(
                             "mv %1 %1.real && printf '#!/bin/sh\nif rm %1.slow 2>/dev/null; then s=$(date +%%s%%3N); "
                             "sleep 3; echo $s $(date +%%s%%3N) >> /tmp/slow-tools.log; "
                             "fi\nexec %1.real \"$@\"\n' > %1 && chmod 755 %1")
                                      .arg(tool)),
                    QString());
            QVERIFY(!slow || writeFile(tool + ".slow", ""));
        }
        QFile::remove("/tmp/slow-tools.log");
        // The longest time between two turns of the event loop from the
        // inspection to the exit page, the test's own screenshots left out,
        // and every such pause (its end and length, wall clock). The time
        // the thread waited for a processor of a loaded machine is left out:
        // a pause is time spent running or blocked.
        QList<QPair<qint64, qint64>> pauses;
        const auto queued = [] {
            QFile stat("/proc/self/schedstat");
            return stat.open(QIODevice::ReadOnly) ? stat.readAll().split(' ').value(1).toLongLong() / 1000000 : 0;
        };
        qint64 queuedBefore = queued();
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QString longestAt; // the run's stage then
        bool held = true;
        QTimer ticks;
        ticks.setInterval(5);
        connect(&ticks, &QTimer::timeout, this, [&] {
            const qint64 queuedNow = queued(), pause = sinceTick.elapsed() - (queuedNow - queuedBefore);
            queuedBefore = queuedNow;
            if (!held && pause > 10)
                pauses << qMakePair(QDateTime::currentMSecsSinceEpoch(), pause);
            if (!held && pause > longest) {
                longest = pause;
                longestAt = gui.keyMaster() ? gui.keyMaster()->runStage() : QString();
            }
            sinceTick.restart();
        });
        const auto measure = [&](bool on) {
            held = !on;
            sinceTick.restart();
            queuedBefore = queued();
            on ? ticks.start() : ticks.stop();
        };
        QVERIFY(gui.start(size, {"lo", "eth0"}));
        gui.shortenScenarioWaits(20);
        KeyMaster* km = gui.keyMaster();
        QVERIFY(gui.startWork() && gui.clickName("backupButton") && gui.waitVisible("backupChoosingDevicePage"));

        // Device page: the first disk, said what it is; forward only while an
        // accepted partition belongs to the chosen disk.
        QCOMPARE(km->getSelectedDrive(), QString("sda"));
        QVERIFY(
            gui.textOf("driveIdentityText").contains(QRegularExpression("^128 .+, SIMTEK SSD 128, .+ ST128A0042$")));
        QVERIFY(!forwardEnabled() && clickRow("sda2") && forwardEnabled());
        QVERIFY(choose("driveComboBox", "sdb") && !forwardEnabled());
        QVERIFY(km->getSelectedDrive() == "sdb" && gui.textOf("driveIdentityText").endsWith("ST064B0917"));
        QVERIFY(choose("driveComboBox", "sda") && clickRow("sda2") && forwardEnabled());
        QVERIFY(choose("cryptoComboBox", "anubis") && km->getCrypto() == "anubis");
        look("device");

        // Disk information; unmarking the last entry closes the way at once.
        measure(true);
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("backupDiskInfoPage", 20000));
        measure(false);
        QVERIFY2(!slow || !QFile::exists("/usr/bin/mount.slow"), "the slow mount was not run");
        QCOMPARE(field("hostnameField") + " / " + field("osField"), QString("web01 / Debian GNU/Linux 12 (bookworm)"));
        QVERIFY(gui.waitFor([&] { return checkBoxes().size() == 3; })); // /, /boot, /srv/data
        QVERIFY(!forwardEnabled() && gui.click(checkBoxes().at(2)) && forwardEnabled());
        QVERIFY(gui.click(checkBoxes().at(2)) && !forwardEnabled());
        for (QQuickItem* box : checkBoxes())
            QVERIFY(gui.click(box));
        look("disk-info");

        // Confirmation; back and forward again keep the marks.
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("backupConfirmingPage"));
        QCOMPARE(QStringList({field("networkInterfaceField"), field("cryptoField"), field("drivePartitionField")}),
            QStringList({"eth0", "anubis", "sda (" + km->driveIdentity("sda") + ")"}));
        QCOMPARE(gui.findVisible("mountedDirectoriesList")->property("count").toInt(), 3);
        QVERIFY(!gui.findVisible("mountedDirectoriesScrollIndicator") && !gui.findVisible("noSelectedDirectoriesText"));
        look("confirm");
        QVERIFY(gui.clickName("backButton") && gui.waitVisible("backupDiskInfoPage") && forwardEnabled());
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("backupConfirmingPage"));
        QCOMPARE(gui.findVisible("mountedDirectoriesList")->property("count").toInt(), 3);

        // The run, looked at mid-way, with the modes of the secret files then.
        const QString midRun = GuiHarness::tr("KeyMaster", "Waiting for the task status: %1")
                                   .arg(GuiHarness::tr("KeyMaster", "Task was assigned"));
        QStringList modes, stages;
        QString elapsed;
        connect(km, &KeyMaster::runStageChanged, this, [&] {
            stages << km->runStage();
            if (km->runStage() != midRun || !modes.isEmpty())
                return;
            for (const QString& file : kCopiedKeys + QStringList {kConfig})
                modes << QString::number(mode(file), 8);
            held = true;
            look("run");
            held = false;
            sinceTick.restart();
            queuedBefore = queued();
            elapsed = gui.textOf("runElapsedText");
        });
        measure(true);
        QVERIFY(gui.clickName("forwardButton") && gui.waitVisible("exitPage", 120000));
        measure(false);
        // How long the window stood still while a slow tool ran.
        qint64 duringTools = 0;
        for (const QString& line : runShell("cat /tmp/slow-tools.log 2>/dev/null").split('\n', Qt::SkipEmptyParts)) {
            const qint64 from = line.section(' ', 0, 0).toLongLong(), to = line.section(' ', 1, 1).toLongLong();
            for (const auto& [end, length] : pauses)
                duringTools = qMax(duringTools, qMin(end, to) - qMax(end - length, from));
        }
        std::printf("%s: longest pause of the event loop %lld ms (stage \"%s\")%s\n", QTest::currentDataTag(), longest,
            qPrintable(longestAt),
            slow ? qPrintable(QString(", %1 ms while a mount and hostnamectl took 3 s each").arg(duringTools)) : "");
        QVERIFY2(!slow || !QFile::exists("/usr/bin/hostnamectl.slow"), "the slow hostnamectl was not run");
        QVERIFY2(!slow || runShell("cat /tmp/slow-tools.log").count('\n') == 2, "the slow tools did not both run");
        QVERIFY2(duringTools <= 100, qPrintable(QString("the window did not answer for %1 ms").arg(duringTools)));
        QCOMPARE(gui.textOf("resultText"), GuiHarness::tr("BackupCreatingPage", "Creating backup ended successfully"));
        look("exit");
        QCOMPARE(modes, QStringList({"600", "600", "600", "600"}));
        QVERIFY2(elapsed.contains(QRegularExpression(" 0:0\\d:\\d\\d$")) && !elapsed.endsWith(" 0:00:00"),
            qPrintable(elapsed));
        QVERIFY(stages.contains(
            GuiHarness::tr("KeyMaster", "Waiting for the deduplication daemon to finish, pass %1").arg(1)));
        QVERIFY(km->runStage().isEmpty() && km->getFstabModel()->property("backupingFsNumber").toUInt() == 0);

        // What stays on the medium: the installed system's identity, the new
        // configuration (its lines line by line in tst_backup_failures), no
        // key copies, no mounts, no client.
        QVERIFY(lines(kConfig).contains("client-inet-interface eth0") && mode(kConfig) == 0600);
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

    // The same backup with the keyboard alone, in each language (switched
    // on the welcome page by its box): each page's Tab round in reading order
    // without read-only stops, shot with the focus on it; arrows in the combo
    // boxes, the device tree and the fstab table; Return and Space on tree
    // rows, Space on fstab rows; a refused partition's warning and an error
    // closed by Escape, the focus back where it was; Return for the main action.
    void keyboardWalk_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("keys-ru") << "Ru";
        QTest::newRow("keys-en") << "En";
    }
    void keyboardWalk()
    {
        QFETCH(QString, lang);
        GuiConfig::getInstance()->setLang(lang == "Ru" ? "En" : "Ru");
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(20);
        KeyMaster* km = gui.keyMaster();
        QObject* notification = gui.root()->findChild<QObject*>("notificationDialog");
        // A page's Tab round, and its texts: whole and in the language chosen.
        const auto round = [&](const QString& page) {
            QStringList stops;
            const QStringList faults = gui.tabRoundFaults(&stops) + gui.clippedTexts() + gui.wrongLanguageTexts();
            gui.shot(QString(QTest::currentDataTag()) + "-" + page);
            return faults.isEmpty() ? QString() : page + ": " + faults.join("; ") + "\n  stops: " + stops.join(", ");
        };
        const auto closeByEscape = [&] {
            if (!gui.waitFor([&] { return notification && notification->property("opened").toBool(); }))
                return false;
            gui.pressKey(Qt::Key_Escape);
            return gui.waitFor([&] { return !notification->property("visible").toBool(); });
        };

        QVERIFY(gui.focusIn("languageComboBox") && gui.chooseByKeys("languageComboBox", lang));
        QVERIFY(gui.waitFor([&] { return GuiConfig::getInstance()->lang() == lang; }));
        QVERIFY(gui.tabTo("interfaceComboBox") && gui.chooseByKeys("interfaceComboBox", "lo"));
        QCOMPARE(km->getNetworkInterface(), QString("lo"));
        QCOMPARE(round("welcome"), QString());
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitVisible("scenarioSelectionPage") && gui.focusIn("backupButton"));
        QCOMPARE(round("selection"), QString());
        gui.pressKey(Qt::Key_Return);

        // Device page: both boxes, then the tree: /boot is refused, / taken.
        QVERIFY(gui.waitVisible("backupChoosingDevicePage") && gui.focusIn("driveComboBox"));
        QVERIFY(gui.chooseByKeys("driveComboBox", "sdb") && km->getSelectedDrive() == "sdb");
        QVERIFY(gui.chooseByKeys("driveComboBox", "sda"));
        QVERIFY(
            gui.tabTo("cryptoComboBox") && gui.chooseByKeys("cryptoComboBox", "anubis") && km->getCrypto() == "anubis");
        QVERIFY(gui.tabTo("devicesTreeView"));
        gui.pressKey(Qt::Key_Down);
        gui.pressKey(Qt::Key_Return);
        QVERIFY(closeByEscape() && gui.focusIn("devicesTreeView") && !forwardEnabled());
        gui.pressKey(Qt::Key_Down);
        gui.pressKey(Qt::Key_Space);
        QVERIFY(gui.waitFor([&] { return forwardEnabled(); }));
        QCOMPARE(round("device"), QString());
        // An error closes by Escape too, and gives the focus back.
        Notifier::getInstance()->showError("error shown on the device page");
        QVERIFY(closeByEscape() && gui.focusIn("devicesTreeView"));
        QVERIFY(gui.tabTo("forwardButton"));
        gui.pressKey(Qt::Key_Return);

        // Disk information: Space marks the current fstab row.
        QVERIFY(gui.waitVisible("backupDiskInfoPage") && gui.focusIn("fstabTableView"));
        QObject* fstab = km->getFstabModel();
        const auto marked = [&] { return fstab->property("backupingFsNumber").toInt(); };
        gui.pressKey(Qt::Key_Down);
        gui.pressKey(Qt::Key_Space);
        QVERIFY(marked() == 1 && forwardEnabled());
        gui.pressKey(Qt::Key_Space);
        QVERIFY(marked() == 0 && !forwardEnabled());
        for (int row = 0; row < 3; ++row) {
            gui.pressKey(Qt::Key_Space);
            gui.pressKey(Qt::Key_Down);
        }
        QCOMPARE(marked(), 3);
        QCOMPARE(round("disk-info"), QString());
        QVERIFY(gui.tabTo("forwardButton"));
        gui.pressKey(Qt::Key_Return);

        // Confirmation: only the buttons are stops; Return creates the image.
        QVERIFY(gui.waitVisible("backupConfirmingPage") && gui.focusIn("forwardButton"));
        QCOMPARE(round("confirm"), QString());
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitVisible("exitPage", 120000) && gui.focusIn("exitButton"));
        QCOMPARE(gui.textOf("resultText"), GuiHarness::tr("BackupCreatingPage", "Creating backup ended successfully"));
        QCOMPARE(round("exit"), QString());
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
