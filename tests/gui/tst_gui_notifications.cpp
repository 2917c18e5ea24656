// The single notification dialog of the root page, seen through the pages:
// what the start-up check raises over the welcome page, the priority rule,
// which kinds close by Escape or a press outside, the exit question, and
// that the modal dialog keeps the pages underneath from being used.

#include "guiharness.h"
#include "guiconfig.h"
#include "notifier.h"

#include <QApplication>
#include <QFile>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTest>

namespace {
QString trText(const char* context, const char* text) { return QCoreApplication::translate(context, text); }
enum Kind { Ques, Info, Warn, Crit, Exit, Logout, Assert };
}

class NotificationsTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;
    QByteArray savedOsRelease;

    QObject* dialog() const { return gui.root()->findChild<QObject*>("notificationDialog"); }
    bool dialogOpen() const { return dialog() && dialog()->property("opened").toBool(); }
    int kind() const { return dialog()->property("type").toInt(); }
    QString message() const { return dialog()->property("message").toString(); }
    QString title() const
    {
        QQuickItem* t = gui.findVisible("dialogTitle");
        return t ? t->property("text").toString() : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(GuiHarness::insideSandbox(), "rewrites /etc/os-release of the simulated medium");
        QFile f("/etc/os-release");
        QVERIFY(f.open(QIODevice::ReadOnly));
        savedOsRelease = f.readAll();
    }
    void cleanup()
    {
        gui.stop();
        QFile f("/etc/os-release");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(savedOsRelease);
    }

    void startupCheckShowsOverWelcomePage()
    {
        {
            QFile f("/etc/os-release");
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n");
        }
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}));
        QVERIFY(gui.waitFor([&] { return dialogOpen(); }, 2000));
        QVERIFY(gui.findVisible("welcomePage"));
        QCOMPARE(kind(), int(Warn));
        QCOMPARE(message(), trText("KeyMaster", "You can run this application on Sarvelin key only"));
        QCOMPARE(title(), trText("CustomSmallDialog", "Warning"));
        QVERIFY(GuiHarness::logContains("Notifier::onHasWarning:"));
        QTest::qWait(300);
        gui.shot("startup-warning-over-welcome");

        // A press outside closes a warning, and does not reach "Start".
        QQuickItem* start = gui.findVisible("startButton");
        QVERIFY(start);
        gui.click(start);
        QVERIFY(gui.waitFor([&] { return !dialogOpen(); }));
        QVERIFY2(gui.findVisible("welcomePage"), "Start must not act under an open dialog");

        // An error stays over "Start" however often it is pressed.
        Notifier::getInstance()->showError("an error on the welcome page");
        QTest::qWait(300);
        gui.click(start);
        gui.click(start);
        QTest::qWait(100);
        QVERIFY(dialogOpen());
        QVERIFY(gui.findVisible("welcomePage"));
        QVERIFY(gui.clickName("dialogCloseButton"));
        QVERIFY(gui.waitFor([&] { return !dialogOpen(); }));

        // A warning closes by Escape; then Start works.
        Notifier::getInstance()->showWarning("a warning on the welcome page");
        QVERIFY(dialogOpen());
        gui.pressKey(Qt::Key_Escape);
        QVERIFY(gui.waitFor([&] { return !dialogOpen(); }));
        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
    }

    void priorityRuleOnTheWorkWindow()
    {
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}));
        QVERIFY2(!dialogOpen(), "the medium check passes in the sandbox");
        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.clickName("restoreButton"));
        QVERIFY(gui.waitVisible("restoreChoosingServerPage"));

        Notifier::getInstance()->showWarning("first warning");
        QVERIFY(dialogOpen());
        QCOMPARE(kind(), int(Warn));
        Notifier::getInstance()->showError("the error", "details of the error");
        QCOMPARE(kind(), int(Crit));
        QCOMPARE(message(), QString("the error"));
        QCOMPARE(title(), trText("CustomSmallDialog", "Error"));
        // Equal or lower kinds are dropped but logged.
        Notifier::getInstance()->showError("second error");
        Notifier::getInstance()->showWarning("late warning");
        QCOMPARE(message(), QString("the error"));
        QVERIFY(GuiHarness::logContains("second error"));
        QVERIFY(GuiHarness::logContains("late warning"));
        QVERIFY(GuiHarness::logContains("Notifier::onHasError:"));
        QTest::qWait(300);
        gui.shot("error-over-step-page");

        // An error does not close by Escape, only by its cross.
        gui.pressKey(Qt::Key_Escape);
        QTest::qWait(100);
        QVERIFY(dialogOpen());
        QVERIFY(gui.clickName("dialogCloseButton"));
        QVERIFY(gui.waitFor([&] { return !dialogOpen(); }));
        QCOMPARE(kind(), int(Ques));
        QCOMPARE(message(), QString());
        // The page under it is untouched and usable.
        QVERIFY(gui.findVisible("restoreChoosingServerPage"));
        QVERIFY(gui.clickName("backButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
    }

    void exitQuestionReplacesAnErrorAndCancelKeepsRunning()
    {
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}));
        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
        Notifier::getInstance()->showError("an error");
        Notifier::getInstance()->showExit();
        QCOMPARE(kind(), int(Exit));
        QCOMPARE(title(), trText("CustomSmallDialog", "Do you want to exit?"));
        QVERIFY(GuiHarness::logContains("Notifier::onHasExitRequest"));
        QTest::qWait(300);
        gui.shot("exit-question");
        QSignalSpy quit(gui.view()->engine(), &QQmlEngine::quit);
        QVERIFY(gui.clickName("dialogRejectButton"));
        QVERIFY(gui.waitFor([&] { return !dialogOpen(); }));
        QCOMPARE(quit.count(), 0);
        QVERIFY(gui.findVisible("scenarioSelectionPage"));

        // "Exit" in the question ends the program the normal way.
        Notifier::getInstance()->showExit();
        QVERIFY(dialogOpen());
        QTest::qWait(300); // the dialog has grown to its height
        QVERIFY(gui.clickName("dialogAcceptButton"));
        QCOMPARE(quit.count(), 1);
    }

    void infoOnExitPageClosesByPressOutside()
    {
        QVERIFY(gui.start(QSize(1920, 1080), {"lo", "eth0"}));
        QVERIFY(QMetaObject::invokeMethod(gui.root(), "loadPage", Q_ARG(QVariant, 2), Q_ARG(QVariant, QString("done"))));
        QVERIFY(gui.waitVisible("exitPage"));
        Notifier::getInstance()->showInfo("for your information");
        QVERIFY(dialogOpen());
        QCOMPARE(title(), trText("CustomSmallDialog", "Information"));
        QTest::qWait(300);
        gui.shot("info-over-exit-page-1920");
        QSignalSpy quit(gui.view()->engine(), &QQmlEngine::quit);
        // A press outside the dialog closes it and does not reach "Exit".
        QVERIFY(gui.click(gui.findVisible("exitButton")));
        QVERIFY(gui.waitFor([&] { return !dialogOpen(); }));
        QCOMPARE(quit.count(), 0);
        QVERIFY(gui.findVisible("exitPage"));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GuiHarness::initProcess(QStringLiteral("notifications"));
    NotificationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gui_notifications.moc"
