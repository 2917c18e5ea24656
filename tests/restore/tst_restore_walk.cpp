// One restore as an operator does it, through the real pages and the real
// controller, against the stand-ins and the simulated disks (sda: a root
// file system and an LVM PV of vg0; sdb: vg1 and a PV without a group):
// from the welcome page to "Recovery ended successfully", in each language
// and window size, with screenshots of every step and the longest pause of
// the window's event processing measured over the whole restore.

#include "guiharness.h"

#include "../common/test_files.h"
#include "cryptkeyhandler.h"
#include "guiconfig.h"
#include "keymaster.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

QStringList fileLines(const QString& path) { return QString::fromUtf8(readFile(path)).split('\n', Qt::SkipEmptyParts); }

const QString kMedium = "/tmp/.sv-sandbox/medium";
const QString kRequests = "/opt/sarvelin/standins/requests.log";

} // namespace

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
    bool forwardEnabled() const { return gui.findVisible("forwardButton") && gui.findVisible("forwardButton")->isEnabled(); }

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
        for (const QString lang : {"En", "Ru"})
            for (const QSize size : {QSize(800, 600), QSize(1920, 1080)})
                QTest::addRow("%s %dx%d", qPrintable(lang), size.width(), size.height()) << lang << size;
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
        const QPointF row = table->mapToScene(QPointF(30, header + GuiConfig::getInstance()->tableViewRowHeight() / 2.0 + 2));
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
        // Both dialogs open from here and close again.
        const QList<QPair<QString, QString>> dialogs{{"changeCryptKeyButton", "cryptKeyDialog"},
                                                     {"tuneDrpButton", "drpDialog"}};
        for (const auto& dialog : dialogs) {
            QObject* popup = gui.root()->findChild<QObject*>(dialog.second);
            QVERIFY2(popup, qPrintable(dialog.second));
            QVERIFY(gui.clickName(dialog.first));
            QVERIFY(gui.waitFor([&] { return popup->property("opened").toBool(); }));
            QTest::qWait(350);
            look(dialog.second);
            QVERIFY(gui.clickName("closeButton", popup));
            QVERIFY(gui.waitFor([&] { return !popup->property("visible").toBool(); }));
        }
        QVERIFY(!forwardEnabled());
        QVERIFY(typeInto("clientPasswordField", "db01-secret"));
        QVERIFY(forwardEnabled());
        look("settings");
        QVERIFY(gui.clickName("forwardButton"));

        // Confirmation page: what was chosen on the pages before.
        QVERIFY(gui.waitVisible("restoreConfirmingPage"));
        QCOMPARE(fieldOf("backupField")->property("text").toString() + " / " + fieldOf("clientField")->property("text").toString(),
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
                     && !question.contains("vg1") && !question.contains("sdb"), qPrintable(question));
        QCOMPARE(fileLines(kMedium + "/lvm.log").mid(1),
                 (QStringList{"lvremove -y vg0", "vgremove -y vg0", "pvremove -y /dev/sda2"}));
        QCOMPARE(fileLines(kMedium + "/lvm.state").filter("vg1").size(), 2);
        // The daemon got the client's hashed password and "/dev/" + the disk.
        const QString hash = QString::fromStdString(KeyMaster::hashPassword("db01-secret"));
        const QStringList requests = fileLines(kRequests).filter("REQUEST ");
        QVERIFY2(!requests.filter("REQUEST SV KEY CLIENT PASSWORD:db01:" + hash).isEmpty(), qPrintable(requests.join('\n')));
        QVERIFY(!requests.filter("REQUEST SV KEY RESTORE ARCHIVES" + hash + ":PWD_SEPARATE:/dev/sda:2001").isEmpty());
        QVERIFY(requests.filter("db01-secret").isEmpty());
        QVERIFY(GuiHarness::logContains("restore ended successfully"));
    }
};

SV_GUI_TEST_MAIN(RestoreWalkTest, "restore-walk")

#include "tst_restore_walk.moc"
