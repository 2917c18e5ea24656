// The page flow: welcome page, work window with its step stack and step bar,
// the scenario queues, the exit page and the way back to the start.

#include "guiharness.h"
#include "guiconfig.h"
#include "keymaster.h"

#include <QApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTest>

namespace {
QString trText(const char* context, const char* text) { return QCoreApplication::translate(context, text); }
}

class PageFlowTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QQuickItem* loadedPage() const
    {
        auto* loader = gui.find("pageLoader");
        return loader ? loader->property("item").value<QQuickItem*>() : nullptr;
    }
    QQuickItem* stack() const { return gui.findVisible("stepStack"); }
    QString text(const QString& objectName) const
    {
        QQuickItem* item = gui.findVisible(objectName);
        return item ? item->property("text").toString() : QStringLiteral("<no %1>").arg(objectName);
    }
    bool moveToWorkWindow()
    {
        return gui.clickName("startButton") && gui.waitVisible("scenarioSelectionPage") != nullptr;
    }
    int stepsTaken() const { return gui.find("stepProgressBar")->property("stepsTaken").toInt(); }
    int steps() const { return gui.find("stepProgressBar")->property("steps").toInt(); }

private slots:
    void init() { QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"})); }
    void cleanup() { gui.stop(); }

    void welcomeStartBackupBackRestoreBack()
    {
        QVERIFY(gui.waitVisible("welcomePage"));
        QVERIFY(GuiHarness::logContains("Welcome page loaded"));
        QVERIFY2(!gui.findVisible("journalFooter"), "the footer is hidden before the first Start");
        gui.shot("welcome");

        QVERIFY(moveToWorkWindow());
        QVERIFY(GuiHarness::logContains("start clicked"));
        QVERIFY(GuiHarness::logContains("loaderItem move on"));
        QCOMPARE(loadedPage()->objectName(), QString("workWindow"));
        QVERIFY(gui.findVisible("journalFooter"));
        QVERIFY2(!gui.findVisible("toStartButton"), "To Start shows only on the exit page");
        QCOMPARE(stack()->property("depth").toInt(), 1);
        QCOMPARE(stack()->property("currentQueueIndex").toInt(), -1);
        QVERIFY2(!gui.findVisible("titleArea"), "no step bar or title over the scenario choice");
        QVERIFY2(!gui.findVisible("backButton") && !gui.findVisible("forwardButton"),
                 "the selection page hides the inherited back and forward buttons");
        // The busy indicator is stopped at first and centred over the stack.
        QQuickItem* busy = gui.find("busyIndicator");
        QVERIFY(busy && !busy->property("running").toBool() && !busy->isVisible());
        const QPointF offCentre = GuiHarness::sceneRect(busy).center() - GuiHarness::sceneRect(stack()).center();
        QVERIFY2(qAbs(offCentre.x()) <= 1 && qAbs(offCentre.y()) <= 1, "centred to the pixel");
        gui.shot("selection");

        // Backup: first step of four.
        QVERIFY(gui.clickName("backupButton"));
        QVERIFY(gui.waitVisible("backupChoosingDevicePage"));
        QVERIFY(GuiHarness::logContains("backup chosen"));
        QVERIFY(GuiHarness::logContains("on move to " + trText("Window", "Choose backup device for creating resque image")));
        QCOMPARE(stack()->property("depth").toInt(), 2);
        QCOMPARE(stack()->property("currentQueueIndex").toInt(), 0);
        QCOMPARE(steps(), 4);
        QCOMPARE(stepsTaken(), 1);
        QCOMPARE(text("stepTitle"), trText("Window", "Choose backup device for creating resque image"));
        QVERIFY(gui.findVisible("titleArea"));
        gui.shot("backup-step1");

        // The current step is a ring, the ones after it grey.
        QQuickItem* step0 = gui.find("step_0");
        QQuickItem* step1 = gui.find("step_1");
        QVERIFY(step0 && step1);
        const QColor active = GuiConfig::getInstance()->backgroundColorOfDefaultItem();
        const QColor inactive = GuiConfig::getInstance()->backgroundColorOfDisabledItem();
        const QColor ring = GuiConfig::getInstance()->textColorOfEnabledItem1();
        QCOMPARE(gui.find("dot", step0)->property("color").value<QColor>(), active);
        QCOMPARE(gui.find("innerDot", step0)->property("color").value<QColor>(), ring);
        QCOMPARE(gui.find("dot", step1)->property("color").value<QColor>(), inactive);

        // forward to the second step: the first dot fills.
        QVERIFY(gui.clickName("forwardButton"));
        QVERIFY(gui.waitVisible("backupDiskInfoPage"));
        QCOMPARE(stepsTaken(), 2);
        QCOMPARE(text("stepTitle"), trText("Window", "Chosen disk info"));
        QCOMPARE(gui.find("innerDot", gui.find("step_0"))->property("color").value<QColor>(), active);
        QCOMPARE(gui.find("innerDot", gui.find("step_1"))->property("color").value<QColor>(), ring);
        gui.shot("backup-step2");

        // back, back: the scenario choice again, without title.
        QVERIFY(gui.clickName("backButton"));
        QVERIFY(gui.waitVisible("backupChoosingDevicePage"));
        QCOMPARE(text("stepTitle"), trText("Window", "Choose backup device for creating resque image"));
        QCOMPARE(stepsTaken(), 1);
        QVERIFY(gui.clickName("backButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
        QCOMPARE(stack()->property("depth").toInt(), 1);
        QCOMPARE(stack()->property("currentQueueIndex").toInt(), -1);
        QVERIFY(!gui.findVisible("titleArea"));

        // Restore: first step of five.
        QVERIFY(gui.clickName("restoreButton"));
        QVERIFY(gui.waitVisible("restoreChoosingServerPage"));
        QVERIFY(GuiHarness::logContains("restore chosen"));
        QVERIFY(GuiHarness::logContains("on move to " + trText("Window", "Choose server")));
        QCOMPARE(steps(), 5);
        QCOMPARE(stepsTaken(), 1);
        QCOMPARE(text("stepTitle"), trText("Window", "Choose server"));
        gui.shot("restore-step1");
        QVERIFY(gui.clickName("backButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
        QCOMPARE(stack()->property("currentQueueIndex").toInt(), -1);

        // And then Backup shows its first page as step 1 of 4.
        QVERIFY(gui.clickName("backupButton"));
        QVERIFY(gui.waitVisible("backupChoosingDevicePage"));
        QCOMPARE(steps(), 4);
        QCOMPARE(stepsTaken(), 1);
    }

    void everyStepOfBothQueuesInOrder()
    {
        QVERIFY(moveToWorkWindow());
        const QList<QPair<QString, const char*>> restore = {
            {"restoreChoosingServerPage", "Choose server"},
            {"restoreAvailableBackupsPage", "Available backups"},
            {"restoreSettingsPage", "Restore settings"},
            {"restoreConfirmingPage", "Confirm chosen data: restore"},
            {"restoreProcessPage", "Restore is in progress"}};
        QVERIFY(gui.clickName("restoreButton"));
        for (int i = 0; i < restore.size(); ++i) {
            QVERIFY2(gui.waitVisible(restore[i].first), qPrintable(restore[i].first));
            QCOMPARE(text("stepTitle"), trText("Window", restore[i].second));
            QCOMPARE(stepsTaken(), i + 1);
            QCOMPARE(stack()->property("depth").toInt(), i + 2);
            if (i + 1 < restore.size())
                QVERIFY(gui.clickName("forwardButton"));
        }
        // The last step leads nowhere until the scenario's run ends it.
        QVERIFY(!gui.findVisible("forwardButton")->isEnabled());
        for (int i = restore.size() - 1; i >= 0; --i)
            QVERIFY(gui.clickName("backButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));

        const QList<QPair<QString, const char*>> backup = {
            {"backupChoosingDevicePage", "Choose backup device for creating resque image"},
            {"backupDiskInfoPage", "Chosen disk info"},
            {"backupConfirmingPage", "Confirm chosen data: backup"},
            {"backupCreatingPage", "Backup is creating"}};
        QVERIFY(gui.clickName("backupButton"));
        for (int i = 0; i < backup.size(); ++i) {
            QVERIFY2(gui.waitVisible(backup[i].first), qPrintable(backup[i].first));
            QCOMPARE(text("stepTitle"), trText("Window", backup[i].second));
            QCOMPARE(stepsTaken(), i + 1);
            if (i + 1 < backup.size())
                QVERIFY(gui.clickName("forwardButton"));
        }
    }

    void secondInterfacePreselectedWhenSeveral()
    {
        gui.stop();
        QVERIFY(gui.start(QSize(800, 600), {"lo", "enp3s0", "wlan0"}));
        QQuickItem* box = gui.waitVisible("interfaceComboBox");
        QVERIFY(box);
        QCOMPARE(box->property("currentText").toString(), QString("enp3s0"));
        QCOMPARE(gui.keyMaster()->getNetworkInterface(), QString("enp3s0"));

        // The operator picks another one from the list.
        QVERIFY(gui.click(gui.find("arrowButton", box)));
        QVERIFY(gui.waitFor([&] { return box->property("popupOpened").toBool(); }));
        QQuickItem* entry = gui.waitVisible("entry_wlan0");
        QVERIFY(entry);
        QVERIFY(gui.click(entry));
        QCOMPARE(box->property("currentText").toString(), QString("wlan0"));
        QCOMPARE(gui.keyMaster()->getNetworkInterface(), QString("wlan0"));
    }

    void onlyInterfaceKept()
    {
        gui.stop();
        QVERIFY(gui.start(QSize(800, 600), {"eth0"}));
        QQuickItem* box = gui.waitVisible("interfaceComboBox");
        QVERIFY(box);
        QCOMPARE(box->property("count").toInt(), 1);
        QCOMPARE(box->property("currentText").toString(), QString("eth0"));
        QCOMPARE(gui.keyMaster()->getNetworkInterface(), QString("eth0"));
    }

    void exitPageAndBackToStart()
    {
        QVERIFY(moveToWorkWindow());
        QVERIFY(gui.clickName("restoreButton"));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(gui.waitVisible("forwardButton"));
            QVERIFY(gui.clickName("forwardButton"));
        }
        QQuickItem* last = gui.waitVisible("restoreProcessPage");
        QVERIFY(last);
        // The last page ends the scenario the way its run does: moveOn with
        // its success and a one-element context holding the result text.
        QQuickItem* busy = gui.find("busyIndicator");
        busy->setProperty("running", true);
        const QString failure = trText("RestoreProcessPage", "Recovery failed. See log for more info");
        QVERIFY(QMetaObject::invokeMethod(last, "emitMoveOn", Q_ARG(QVariant, false),
                                          Q_ARG(QVariant, QVariantList{failure})));
        QVERIFY(gui.waitVisible("exitPage"));
        QVERIFY(GuiHarness::logContains("queue ended with"));
        QVERIFY2(!busy || true, "the work window is gone");
        QCOMPARE(text("resultText"), failure);
        QVERIFY(gui.findVisible("toStartButton"));
        QVERIFY(gui.findVisible("journalFooter"));
        gui.shot("exit-failure");

        // Open the journal, then To Start: journal and footer go, the
        // welcome page comes back.
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        QVERIFY(gui.clickName("toStartButton"));
        QVERIFY(gui.waitVisible("welcomePage"));
        QVERIFY(!gui.findVisible("journal"));
        QVERIFY(!gui.findVisible("journalFooter"));
        QVERIFY(!gui.findVisible("toStartButton"));
        QCOMPARE(gui.root()->property("currentPageIndex").toInt(), 0);
        QCOMPARE(gui.root()->property("journalOpen").toBool(), false);
        gui.shot("welcome-again");

        // Start again: a fresh work window, no step bar, no title.
        QVERIFY(moveToWorkWindow());
        QCOMPARE(stack()->property("depth").toInt(), 1);
        QCOMPARE(stack()->property("currentQueueIndex").toInt(), -1);
        QCOMPARE(stack()->property("pagesQueue").toList().size(), 0);
        QVERIFY(!gui.findVisible("titleArea"));
        QVERIFY(!gui.findVisible("stepProgressBar"));
        QVERIFY(!gui.find("busyIndicator")->property("running").toBool());
        gui.shot("fresh-work-window");
    }

    void backupSuccessTextOnExitPage()
    {
        QVERIFY(moveToWorkWindow());
        QVERIFY(gui.clickName("backupButton"));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(gui.waitVisible("forwardButton"));
            QVERIFY(gui.clickName("forwardButton"));
        }
        QQuickItem* last = gui.waitVisible("backupCreatingPage");
        QVERIFY(last);
        const QString done = trText("BackupCreatingPage", "Creating backup ended successfully");
        QVERIFY(QMetaObject::invokeMethod(last, "emitMoveOn", Q_ARG(QVariant, true), Q_ARG(QVariant, QVariantList{done})));
        QVERIFY(gui.waitVisible("exitPage"));
        QCOMPARE(text("resultText"), done);
    }

    void emptyEndOfQueueKeepsNoResult()
    {
        // A last page that ends without a result text: the stack empties and
        // no exit page follows (the work window stays).
        QVERIFY(moveToWorkWindow());
        QVERIFY(gui.clickName("backupButton"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(gui.clickName("forwardButton"));
        QQuickItem* last = gui.waitVisible("backupCreatingPage");
        QVERIFY(last);
        QVERIFY(QMetaObject::invokeMethod(last, "emitMoveOn", Q_ARG(QVariant, true), Q_ARG(QVariant, QVariantList{})));
        QTest::qWait(100);
        QCOMPARE(loadedPage()->objectName(), QString("workWindow"));
        QCOMPARE(stack()->property("depth").toInt(), 0);
    }

    void pagePushesAndClosesItsOwnPage()
    {
        QVERIFY(moveToWorkWindow());
        QVERIFY(gui.clickName("backupButton"));
        QQuickItem* first = gui.waitVisible("backupChoosingDevicePage");
        QVERIFY(first);
        QQmlComponent extra(gui.view()->engine());
        extra.setData("import QtQuick 2.12\n"
                      "Item { objectName: \"extraPage\"; property Item busyIndicator; property bool completed: false;"
                      " property bool completedBeforeSet: false; property var got;"
                      " signal closed(); Component.onCompleted: completed = true;"
                      " function set(args) { completedBeforeSet = completed; got = args } }",
                      QUrl("qrc:/extra.qml"));
        QVERIFY2(extra.isReady(), qPrintable(extra.errorString()));
        const QVariant component = QVariant::fromValue(static_cast<QObject*>(&extra));
        const QVariant args = QVariantList{7, "x"};
        QVERIFY(QMetaObject::invokeMethod(first, "seted", Q_ARG(QVariant, component),
                                          Q_ARG(QString, "An extra step"), Q_ARG(QVariant, args)));
        QQuickItem* pushed = gui.waitVisible("extraPage");
        QVERIFY(pushed);
        QCOMPARE(stack()->property("depth").toInt(), 3);
        QCOMPARE(text("stepTitle"), QString("An extra step"));
        QVERIFY(pushed->property("completedBeforeSet").toBool());
        QCOMPARE(pushed->property("got").toList(), (QVariantList{7, "x"}));
        QCOMPARE(pushed->property("busyIndicator").value<QQuickItem*>(), gui.find("busyIndicator"));
        // The queue position is not moved by it.
        QCOMPARE(stack()->property("currentQueueIndex").toInt(), 0);
        QVERIFY(QMetaObject::invokeMethod(pushed, "closed"));
        QVERIFY(gui.waitVisible("backupChoosingDevicePage"));
        QCOMPARE(stack()->property("depth").toInt(), 2);
        QCOMPARE(text("stepTitle"), trText("Window", "Choose backup device for creating resque image"));
    }

    void defaultResultTextAndExit()
    {
        // The exit page without a result text from the work window.
        QVERIFY(QMetaObject::invokeMethod(gui.root(), "loadPage", Q_ARG(QVariant, 2), Q_ARG(QVariant, QString())));
        QVERIFY(gui.waitVisible("exitPage"));
        QCOMPARE(text("resultText"), trText("ExitPage", "Result of recovery or reservation"));
        QSignalSpy quit(gui.view()->engine(), &QQmlEngine::quit);
        QObject* dialog = gui.root()->findChild<QObject*>("notificationDialog");
        QVERIFY2(!dialog->property("opened").toBool(), qPrintable(dialog->property("message").toString()));
        QVERIFY(gui.clickName("exitButton"));
        QTRY_COMPARE(quit.count(), 1);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GuiHarness::initProcess(QStringLiteral("pageflow"));
    PageFlowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gui_pageflow.moc"
