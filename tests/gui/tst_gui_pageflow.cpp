// The page flow: welcome page, work window with its step stack and step bar,
// the scenario queues, the journal, the exit page and the way back to the
// start.

#include "guiharness.h"
#include "guiconfig.h"
#include "keymaster.h"

#include <QQmlEngine>
#include <QSignalSpy>

class PageFlowTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QQuickItem* stack() const { return gui.findVisible("stepStack"); }
    int stackInt(const char* name) const { return stack()->property(name).toInt(); }
    int barInt(const char* name) const { return gui.find("stepProgressBar")->property(name).toInt(); }
    QColor colorOf(const char* dot, int step) const
    {
        return gui.find(dot, gui.find(QString("step_%1").arg(step)))->property("color").value<QColor>();
    }
    // The scenario choice: stack at its first page, no queue, no step bar or title.
    void checkFreshSelection()
    {
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
        QCOMPARE(stackInt("depth"), 1);
        QCOMPARE(stackInt("currentQueueIndex"), -1);
        QVERIFY2(!gui.findVisible("titleArea") && !gui.findVisible("stepProgressBar"), "no step bar or title");
        QVERIFY2(!gui.findVisible("backButton") && !gui.findVisible("forwardButton"), "no back or forward");
        QVERIFY(!gui.find("busyIndicator")->property("running").toBool());
    }

private slots:
    void cleanup() { gui.stop(); }

    void welcomeStartBackupBackRestoreBack()
    {
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}) && gui.waitVisible("welcomePage"));
        QVERIFY2(!gui.findVisible("journalFooter"), "the footer is hidden before the first Start");
        qInfo("operator note before start");
        qWarning("a warning before start");
        QVERIFY(gui.startWork());
        QCOMPARE(gui.find("pageLoader")->property("item").value<QQuickItem*>()->objectName(), QString("workWindow"));
        QVERIFY(gui.findVisible("journalFooter"));
        QVERIFY2(!gui.findVisible("toStartButton"), "To Start shows only on the exit page");
        checkFreshSelection();

        // Each scenario's first step: its title, the step bar with the
        // current step as a ring and the next one grey; "forward" waits for an
        // accepted partition or a connected server (the backup and restore
        // walks go through the later steps); back leads to the choice.
        const struct
        {
            const char* button;
            const char* log;
            const char* page;
            const char* title;
            int steps;
        } scenarios[] = {{"backupButton", "backup chosen", "backupChoosingDevicePage",
                             "Choose backup device for creating resque image", 4},
            {"restoreButton", "restore chosen", "restoreChoosingServerPage", "Choose server", 5}};
        for (const auto& scenario : scenarios) {
            QVERIFY(gui.clickName(scenario.button));
            QVERIFY(gui.waitVisible(scenario.page));
            QVERIFY(GuiHarness::logContains(scenario.log));
            QVERIFY(GuiHarness::logContains("on move to " + GuiHarness::tr("Window", scenario.title)));
            QCOMPARE(gui.textOf("stepTitle"), GuiHarness::tr("Window", scenario.title));
            QCOMPARE(barInt("steps"), scenario.steps);
            QCOMPARE(barInt("stepsTaken"), 1);
            QCOMPARE(stackInt("currentQueueIndex"), 0);
            QCOMPARE(stackInt("depth"), 2);
            QCOMPARE(colorOf("dot", 0), GuiConfig::getInstance()->backgroundColorOfDefaultItem());
            QCOMPARE(colorOf("innerDot", 0), GuiConfig::getInstance()->textColorOfEnabledItem1());
            QCOMPARE(colorOf("dot", 1), GuiConfig::getInstance()->backgroundColorOfDisabledItem());
            QVERIFY(!gui.findVisible("forwardButton")->isEnabled());
            QVERIFY(gui.clickName("backButton"));
            checkFreshSelection();
        }

        // The journal: a step page's needOpenJournal reaches the root page
        // through the stack and the work window (asking again while open
        // keeps it open); it holds every message since the program started,
        // one line each in the order written, and lines keep coming.
        QVERIFY(gui.clickName("backupButton"));
        QQuickItem* page = gui.waitVisible("backupChoosingDevicePage");
        QVERIFY(page && !gui.findVisible("journal"));
        for (int i = 0; i < 2; ++i) {
            QVERIFY(QMetaObject::invokeMethod(page, "needOpenJournal"));
            QVERIFY(gui.waitVisible("journal") && gui.root()->property("journalOpen").toBool());
        }
        const auto journal = [&] { return gui.find("journalText")->property("text").toString(); };
        QVERIFY2(journal().contains("Warning: ") && journal().contains("a warning before start"),
            qPrintable(journal().left(400)));
        const QStringList order {"Welcome page loaded", "operator note before start", "start clicked"};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY2(
                journal().indexOf(order[i - 1]) >= 0 && journal().indexOf(order[i - 1]) < journal().indexOf(order[i]),
                qPrintable(order[i]));
        qInfo("written while open");
        QVERIFY(gui.waitFor([&] { return journal().contains("written while open"); }));
    }

    void exitPageBackToStartAndExit()
    {
        const QString result = GuiHarness::tr("RestoreProcessPage", "Recovery failed. See log for more info");
        // A single interface is taken as it is (the second of several, the
        // loopback being first: the backup walk).
        QVERIFY(gui.start(QSize(800, 600), {"eth0"}));
        QQuickItem* box = gui.waitVisible("interfaceComboBox");
        QCOMPARE(box ? box->property("currentText").toString() : QString(), QString("eth0"));
        QCOMPARE(gui.keyMaster()->getNetworkInterface(), QString("eth0"));
        QVERIFY(gui.startWork());
        gui.find("busyIndicator")->setProperty("running", true);
        QVERIFY(gui.finishScenario("restoreButton", false, QVariantList {result}));
        QVERIFY(gui.waitVisible("exitPage"));
        QVERIFY(GuiHarness::logContains("queue ended with"));
        QCOMPARE(gui.textOf("resultText"), result);
        QVERIFY(gui.findVisible("journalFooter"));

        // With the journal open, To Start: journal and footer go, the welcome page comes back.
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        QVERIFY(gui.clickName("toStartButton"));
        QVERIFY(gui.waitVisible("welcomePage"));
        QVERIFY(!gui.findVisible("journal") && !gui.findVisible("journalFooter") && !gui.findVisible("toStartButton"));

        // Start again: a fresh work window, no step bar, no title.
        QVERIFY(gui.startWork());
        checkFreshSelection();
        QCOMPARE(stack()->property("pagesQueue").toList().size(), 0);

        // The exit page loaded without a result; "Exit" ends the program.
        QVERIFY(QMetaObject::invokeMethod(gui.root(), "loadPage", Q_ARG(QVariant, 2), Q_ARG(QVariant, QString())));
        QVERIFY(gui.waitVisible("exitPage"));
        QCOMPARE(gui.textOf("resultText"), GuiHarness::tr("ExitPage", "Result of recovery or reservation"));
        QSignalSpy quit(gui.view()->engine(), &QQmlEngine::quit);
        QVERIFY(gui.clickName("exitButton"));
        QTRY_COMPARE(quit.count(), 1);
    }
};

SV_GUI_TEST_MAIN(PageFlowTest, "pageflow")

#include "tst_gui_pageflow.moc"
