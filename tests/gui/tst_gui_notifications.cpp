// The single notification dialog of the root page, seen through the pages:
// what the start-up check raises over the welcome page, the priority rule,
// which kinds close by a press outside, the details strip, and that the modal
// dialog keeps the pages underneath from being used. (The exit question:
// tst_app and the restore walks.)

#include "guiharness.h"
#include "../common/test_files.h"
#include "notifier.h"

namespace {
enum Kind { Ques, Info, Warn, Crit };
} // namespace

class NotificationsTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QObject* dialog() const { return gui.root()->findChild<QObject*>("notificationDialog"); }
    bool dialogOpen() const { return dialog()->property("opened").toBool(); }
    int kind() const { return dialog()->property("type").toInt(); }
    QString message() const { return dialog()->property("message").toString(); }
    bool waitClosed() const
    {
        return gui.waitFor([&] { return !dialogOpen(); });
    }

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "rewrites /etc/os-release of the simulated medium"); }
    void cleanup() { gui.stop(); }

    void priorityRuleAndDetailsOnTheWorkWindow()
    {
        Notifier* notifier = Notifier::getInstance();
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}));
        QVERIFY2(!dialogOpen(), "the medium check passes in the sandbox");
        QVERIFY(gui.startWork());
        QVERIFY(gui.clickName("restoreButton"));
        QVERIFY(gui.waitVisible("restoreChoosingServerPage"));

        notifier->showWarning("first warning");
        QVERIFY(dialogOpen());
        QCOMPARE(kind(), int(Warn));
        notifier->showError("the error", "details of the error");
        QCOMPARE(kind(), int(Crit));
        QCOMPARE(message(), QString("the error"));
        // Equal or lower kinds are dropped but logged.
        notifier->showError("second error");
        notifier->showWarning("late warning");
        QCOMPARE(message(), QString("the error"));
        QVERIFY(GuiHarness::logContains("second error") && GuiHarness::logContains("late warning"));

        // The cross resets it; the page under it is untouched and usable.
        QVERIFY(gui.clickName("dialogCloseButton") && waitClosed());
        QVERIFY(kind() == Ques && message().isEmpty());
        QVERIFY(gui.clickName("backButton") && gui.waitVisible("scenarioSelectionPage"));

        // The details strip: collapsed first, filled and grown on a press,
        // collapsed again on the next; closing resets it for the next one.
        const QString details = "mount: /mnt: wrong fs type, bad option, bad superblock on /dev/sdb1.\n"
                                "dmesg(1) may have more information after failed mount system call.";
        notifier->showError("Can't mount /dev/sdb1 on /mnt", details);
        QObject* d = dialog();
        const auto height
            = [d](const char* wanted) { return d->property("height").toReal() == d->property(wanted).toReal(); };
        QVERIFY(gui.waitFor([&] { return dialogOpen() && height("collapsedHeight"); }));
        QQuickItem* strip = gui.findVisible("dialogDetailsStrip");
        const auto arrow = [&] { return gui.find("dialogDetailsArrow")->property("source").toUrl().fileName(); };
        const auto shownDetails = [&] { return gui.find("dialogDetailsText")->property("text").toString(); };
        QVERIFY(strip && arrow() == "arrowDown.svg" && shownDetails().isEmpty()); // not filled before
        QVERIFY(gui.click(strip) && d->property("expanded").toBool());
        QVERIFY(gui.waitFor([&] { return height("expandedHeight") && shownDetails() == details; }));
        QCOMPARE(arrow(), QString("arrowUp.svg"));
        gui.shot("details-open");
        QVERIFY(gui.click(strip) && !d->property("expanded").toBool());
        QVERIFY(gui.waitFor([&] { return height("collapsedHeight"); }));
        QVERIFY(gui.click(strip) && gui.waitFor([&] { return d->property("detailsFilled").toBool(); }));
        QVERIFY(gui.clickName("dialogCloseButton") && waitClosed());
        QVERIFY(d->property("details").toString().isEmpty() && !d->property("expanded").toBool());
        notifier->showInfo("next");
        QVERIFY(gui.waitFor([&] { return dialogOpen(); }));
        QVERIFY(!gui.findVisible("dialogDetailsStrip") && shownDetails().isEmpty());
    }

    // Last: the medium stays a foreign system for the rest of this process.
    void startupCheckShowsOverWelcomePage()
    {
        QVERIFY(writeFile("/etc/os-release", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"));
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}));
        QVERIFY(gui.waitFor([&] { return dialogOpen(); }, 2000));
        QVERIFY(gui.findVisible("welcomePage"));
        QCOMPARE(kind(), int(Warn));
        QCOMPARE(message(), GuiHarness::tr("KeyMaster", "You can run this application on Sarvelin key only"));
        QCOMPARE(gui.textOf("dialogTitle"), GuiHarness::tr("CustomSmallDialog", "Warning"));
        QVERIFY(GuiHarness::logContains("Notifier::onHasWarning:"));
        QTest::qWait(300);
        gui.shot("startup-warning-over-welcome");

        // A press outside closes a warning, and does not reach "Start".
        QQuickItem* start = gui.findVisible("startButton");
        gui.click(start);
        QVERIFY(waitClosed());
        QVERIFY2(gui.findVisible("welcomePage"), "Start must not act under an open dialog");

        // An error stays over "Start" however often it is pressed.
        Notifier::getInstance()->showError("an error on the welcome page");
        QTest::qWait(300);
        gui.click(start);
        gui.click(start);
        QTest::qWait(100);
        QVERIFY(dialogOpen() && gui.findVisible("welcomePage"));
        QVERIFY(gui.clickName("dialogCloseButton") && waitClosed() && gui.startWork());
    }
};

SV_GUI_TEST_MAIN(NotificationsTest, "notifications")

#include "tst_gui_notifications.moc"
