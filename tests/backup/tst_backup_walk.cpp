// The operator's backup from the welcome page to the exit page on the
// "standard" medium, through the real pages, the real controller and the
// stand-ins, in both languages at 800x600 and 1920x1080. Each page and the
// run page mid-run are saved as screenshots and checked for cut or
// untranslated texts; the page rules (forward, marks, back) are exercised on
// the way; afterwards the medium is checked as the run must leave it.

#include "backup_checks.h"
#include "guiconfig.h"
#include "guiharness.h"
#include "fsmodel.h"
#include "keymaster.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QSysInfo>

using namespace backup_checks;

class BackupWalkTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    // Visible text items below `under` showing exactly `text`.
    static void textItems(QQuickItem* under, const QString& text, QList<QQuickItem*>& out)
    {
        for (QQuickItem* child : under->childItems()) {
            if (!child->isVisible())
                continue;
            if (child->inherits("QQuickText") && child->property("text").toString() == text)
                out << child;
            textItems(child, text, out);
        }
    }
    bool clickCell(const QString& view, const QString& text)
    {
        QList<QQuickItem*> cells;
        textItems(gui.findVisible(view), text, cells);
        return !cells.isEmpty() && gui.click(cells.first());
    }
    bool choose(const QString& box, const QString& entry)
    {
        return gui.click(gui.find("arrowButton", gui.findVisible(box))) && gui.clickName("entry_" + entry)
               && gui.findVisible(box)->property("currentText").toString() == entry;
    }
    // The check boxes of the fstab table, top row first.
    QList<QQuickItem*> checkBoxes()
    {
        QList<QQuickItem*> boxes;
        std::function<void(QQuickItem*)> walk = [&](QQuickItem* item) {
            for (QQuickItem* child : item->childItems()) {
                if (child->objectName() == QLatin1String("cellCheckBox") && child->isVisible())
                    boxes << child;
                walk(child);
            }
        };
        walk(gui.findVisible("fstabTableView"));
        std::sort(boxes.begin(), boxes.end(), [](QQuickItem* a, QQuickItem* b) {
            return GuiHarness::sceneRect(a).top() < GuiHarness::sceneRect(b).top();
        });
        return boxes;
    }
    bool forwardEnabled() { return gui.findVisible("forwardButton")->isEnabled(); }
    void look(const QString& step)
    {
        QTest::qWait(50);
        const QStringList cut = gui.clippedTexts(), wrong = gui.wrongLanguageTexts();
        gui.shot(QString(QTest::currentDataTag()) + "-" + step);
        QVERIFY2(cut.isEmpty(), qPrintable(step + ":\n" + cut.join("\n")));
        QVERIFY2(wrong.isEmpty(), qPrintable(step + " not in " + GuiConfig::getInstance()->lang() + ": " + wrong.join(" | ")));
    }

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "needs the simulated medium and the stand-ins"); }
    void cleanup() { gui.stop(); }

    void walk_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QSize>("size");
        for (const QString lang : {"Ru", "En"})
            for (const QSize size : {QSize(800, 600), QSize(1920, 1080)})
                QTest::addRow("%s-%dx%d", qPrintable(lang.toLower()), size.width(), size.height()) << lang << size;
    }
    void walk()
    {
        QFETCH(QString, lang);
        QFETCH(QSize, size);
        GuiConfig::getInstance()->setLang(lang);
        QVERIFY(gui.start(size, {"lo", "eth0"}));
        gui.shortenScenarioWaits(20);
        KeyMaster* km = gui.keyMaster();
        QVERIFY(gui.startWork());

        // Device page: the first disk is chosen and said what it is.
        QVERIFY(gui.clickName("backupButton"));
        QVERIFY(gui.waitVisible("backupChoosingDevicePage"));
        QCOMPARE(km->getSelectedDrive(), QString("sda"));
        QVERIFY2(gui.textOf("driveIdentityText").contains("SIMTEK SSD 128, ")
                     && gui.textOf("driveIdentityText").contains("ST128A0042"), qPrintable(gui.textOf("driveIdentityText")));
        QVERIFY(!forwardEnabled());
        QVERIFY(clickCell("devicesTreeView", "sda2"));
        QVERIFY(gui.waitFor([&] { return forwardEnabled(); }));
        QCOMPARE(km->getHostname(), QString("web01"));
        // Another disk closes the way forward until a partition of it is accepted.
        QVERIFY(choose("driveComboBox", "sdb"));
        QVERIFY(!forwardEnabled());
        QCOMPARE(km->getSelectedDrive(), QString("sdb"));
        QVERIFY(gui.textOf("driveIdentityText").contains("ST064B0917"));
        QVERIFY(choose("driveComboBox", "sda"));
        QVERIFY(clickCell("devicesTreeView", "sda2"));
        QVERIFY(gui.waitFor([&] { return forwardEnabled(); }));
        QVERIFY(choose("cryptoComboBox", "anubis"));
        QCOMPARE(km->getCrypto(), QString("anubis"));
        look("device");

        // Disk information: the installed system and its file systems.
        QVERIFY(gui.clickName("forwardButton"));
        QVERIFY(gui.waitVisible("backupDiskInfoPage"));
        QCOMPARE(gui.findVisible("hostnameField")->property("text").toString(), QString("web01"));
        QCOMPARE(gui.findVisible("osField")->property("text").toString(), QString("Debian GNU/Linux 12 (bookworm)"));
        QVERIFY(gui.waitFor([&] { return checkBoxes().size() == 3; })); // /, /boot, /srv/data
        QVERIFY(!forwardEnabled());
        QVERIFY(gui.click(checkBoxes().at(2)));
        QVERIFY(forwardEnabled());
        QVERIFY(gui.click(checkBoxes().at(2)));
        QVERIFY2(!forwardEnabled(), "unmarking the last entry closes the way at once");
        for (QQuickItem* box : checkBoxes())
            QVERIFY(gui.click(box));
        QVERIFY(forwardEnabled());
        look("disk-info");

        // Confirmation: what was chosen; back keeps the marks.
        for (int pass = 0; pass < 2; ++pass) {
            QVERIFY(gui.clickName("forwardButton"));
            QVERIFY(gui.waitVisible("backupConfirmingPage"));
            if (pass == 1)
                break;
            QCOMPARE(gui.findVisible("networkInterfaceField")->property("text").toString(), QString("eth0"));
            QCOMPARE(gui.findVisible("cryptoField")->property("text").toString(), QString("anubis"));
            QVERIFY(gui.findVisible("drivePartitionField")->property("text").toString().startsWith("sda (" + km->driveIdentity("sda")));
            QCOMPARE(gui.findVisible("mountedDirectoriesList")->property("count").toInt(), 3);
            QVERIFY(!gui.findVisible("mountedDirectoriesScrollIndicator") && !gui.findVisible("noSelectedDirectoriesText"));
            look("confirm");
            QVERIFY(gui.clickName("backButton"));
            QVERIFY(gui.waitVisible("backupDiskInfoPage"));
            QVERIFY(forwardEnabled());
            for (QQuickItem* box : checkBoxes())
                QVERIFY(box->property("color") == QVariant(GuiConfig::getInstance()->backgroundColorOfDefaultItem()));
        }

        // The run: a look at the page mid-run, and the modes of the secret
        // files while they exist.
        const QString midRun = GuiHarness::tr("KeyMaster", "Waiting for the task status: %1").arg(GuiHarness::tr("KeyMaster", "Task was assigned"));
        QStringList modes, stages;
        QString elapsed;
        connect(km, &KeyMaster::runStageChanged, this, [&] {
            stages << km->runStage();
            if (km->runStage() != midRun || !modes.isEmpty())
                return;
            for (const QString& file : kCopiedKeys + QStringList{kConfig})
                modes << QString("%1 %2").arg(file).arg(mode(file), 0, 8);
            look("run");
            elapsed = gui.textOf("runElapsedText");
        });
        QVERIFY(gui.clickName("forwardButton"));
        QVERIFY(gui.waitVisible("exitPage", 120000));
        QCOMPARE(gui.textOf("resultText"), GuiHarness::tr("BackupCreatingPage", "Creating backup ended successfully"));
        look("exit");
        QVERIFY(GuiHarness::logContains("creating backup ended successfully"));
        QCOMPARE(modes, (QStringList{"/opt/sarvelin/keys/master-key 600", "/opt/sarvelin/keys/secret-key.pem 600",
                                     "/opt/sarvelin/keys/public-key.pem 600", kConfig + " 600"}));
        QVERIFY2(elapsed.contains(QRegularExpression(" 0:0\\d:\\d\\d$")) && !elapsed.endsWith(" 0:00:00"), qPrintable(elapsed));
        QVERIFY2(stages.contains(GuiHarness::tr("KeyMaster", "Waiting for the deduplication daemon to finish, pass %1").arg(1)),
                 qPrintable(stages.join("\n")));
        QCOMPARE(km->runStage(), QString());

        // What stays on the medium.
        QCOMPARE(lines(kConfig), (QStringList{
            "node client", "who-is-primary-server backup.example.lan", "who-is-secondary-server backup2.example.lan",
            "logfile /opt/sarvelin/log/Sarvelin.log", "client-inet-interface eth0",
            "use-local-backup-directory /sarvelin_tmp", "parallelizm 8", "svd_algorithm sha2", "svd_block_size 16384",
            "svd_hash_length 256", "digital-signature yes", "digital-sign-hash sha256",
            "client-shutdown_scenario cancel-if-tasks"}));
        QCOMPARE(mode(kConfig), 0600);
        QCOMPARE(shell("mkdir -p /tmp/installed && mount -o ro /dev/sda2 /tmp/installed && cat /tmp/installed/etc/machine-id;"
                       " umount /tmp/installed"),
                 lines("/etc/machine-id").value(0) + "\n");
        QCOMPARE(QSysInfo::machineHostName(), QString("web01"));
        for (const QString& key : kCopiedKeys)
            QVERIFY2(!QFile::exists(key), qPrintable(key));
        QCOMPARE(mountsBelowMnt(), QStringList());
        QVERIFY(clientStopped());
        QVERIFY(lines("/opt/sarvelin/standins/calls.log").filter(" sv_archives ").last().endsWith(" sv_archives -c /dev/sda -m rescue_image -a anubis"));
        QCOMPARE(km->getFstabModel()->property("backupingFsNumber").toUInt(), 0u);
    }

    // The list of marked entries at its limit, and with none.
    void confirmationList()
    {
        GuiConfig::getInstance()->setLang("En");
        QVERIFY(gui.start(QSize(800, 600)));
        QFile fstab("/tmp/fstab-many");
        QVERIFY(fstab.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 7; ++i)
            fstab.write(QString("/dev/vdb%1 /data%1 ext4 defaults 0 2\n").arg(i).toUtf8());
        fstab.close();
        auto* model = static_cast<FsModel*>(gui.keyMaster()->getFstabModel());
        QVERIFY(model->fill(fstab.fileName()));
        QQmlComponent page(gui.view()->engine(), QUrl("qrc:/qml/BackupPages/BackupConfirmingPage.qml"));
        for (const int marked : {6, 0}) {
            for (int row = 0; row < 7; ++row)
                model->mark(row, row < marked);
            model->setBackupingFsNumber(marked);
            std::unique_ptr<QObject> object(page.create());
            QVERIFY2(object, qPrintable(page.errorString()));
            auto* item = qobject_cast<QQuickItem*>(object.get());
            item->setParentItem(gui.root());
            item->setSize(gui.root()->size());
            QVERIFY(gui.waitFor([&] { return gui.findVisible("forwardButton", item); }));
            QCOMPARE(gui.findVisible("forwardButton", item)->isEnabled(), marked > 0);
            if (marked) {
                QQuickItem* list = gui.findVisible("mountedDirectoriesList", item);
                QCOMPARE(list->property("count").toInt(), 6);
                const qreal row = list->property("rowHeight").toReal();
                QCOMPARE(list->height(), 6 * row); // five rows and the heading
                QVERIFY(gui.findVisible("mountedDirectoriesScrollIndicator", item));
                gui.shot("confirm-six-marked");
            } else {
                QVERIFY(gui.findVisible("noSelectedDirectoriesText", item) && !gui.findVisible("mountedDirectoriesList", item));
            }
        }
    }
};

SV_GUI_TEST_MAIN(BackupWalkTest, "backup-walk")

#include "tst_backup_walk.moc"
