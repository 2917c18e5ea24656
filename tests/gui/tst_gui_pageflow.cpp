// The page flow: welcome page, work window with its step stack and step bar,
// the scenario queues, the exit page and the way back to the start.

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
    void init() { QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"})); }
    void cleanup() { gui.stop(); }

    void welcomeStartBackupBackRestoreBack()
    {
        QVERIFY(gui.waitVisible("welcomePage"));
        QVERIFY2(!gui.findVisible("journalFooter"), "the footer is hidden before the first Start");
        QVERIFY(gui.startWork());
        QCOMPARE(gui.find("pageLoader")->property("item").value<QQuickItem*>()->objectName(), QString("workWindow"));
        QVERIFY(gui.findVisible("journalFooter"));
        QVERIFY2(!gui.findVisible("toStartButton"), "To Start shows only on the exit page");
        checkFreshSelection();

        const QColor filled = GuiConfig::getInstance()->backgroundColorOfDefaultItem();
        const QColor grey = GuiConfig::getInstance()->backgroundColorOfDisabledItem();
        const QColor ring = GuiConfig::getInstance()->textColorOfEnabledItem1();
        // "forward" on the first step waits for an accepted partition or a
        // connected server (the scenarios' walks go through their steps).
        const struct { const char* button; const char* log; int walked; QList<QPair<QString, const char*>> steps; } scenarios[] = {
            {"backupButton", "backup chosen", 1,
             {{"backupChoosingDevicePage", "Choose backup device for creating resque image"},
              {"backupDiskInfoPage", "Chosen disk info"},
              {"backupConfirmingPage", "Confirm chosen data: backup"},
              {"backupCreatingPage", "Backup is creating"}}},
            {"restoreButton", "restore chosen", 1,
             {{"restoreChoosingServerPage", "Choose server"},
              {"restoreAvailableBackupsPage", "Available backups"},
              {"restoreSettingsPage", "Restore settings"},
              {"restoreConfirmingPage", "Confirm chosen data: restore"},
              {"restoreProcessPage", "Restore is in progress"}}}};
        for (const auto& scenario : scenarios) {
            QVERIFY(gui.clickName(scenario.button));
            QVERIFY(gui.waitVisible(scenario.steps[0].first));
            QVERIFY(GuiHarness::logContains(scenario.log));
            QVERIFY(GuiHarness::logContains("on move to " + GuiHarness::tr("Window", scenario.steps[0].second)));
            QCOMPARE(barInt("steps"), scenario.steps.size());
            QCOMPARE(stackInt("currentQueueIndex"), 0);
            // The current step is a ring, the ones after it grey, the ones before it filled.
            QCOMPARE(colorOf("dot", 0), filled);
            QCOMPARE(colorOf("innerDot", 0), ring);
            QCOMPARE(colorOf("dot", 1), grey);
            // Forward through every step, then back through them to the choice.
            for (int i = 0; i < scenario.walked; ++i) {
                QVERIFY2(gui.waitVisible(scenario.steps[i].first), qPrintable(scenario.steps[i].first));
                QCOMPARE(gui.textOf("stepTitle"), GuiHarness::tr("Window", scenario.steps[i].second));
                QCOMPARE(barInt("stepsTaken"), i + 1);
                QCOMPARE(stackInt("depth"), i + 2);
                if (i == 1) {
                    QCOMPARE(colorOf("innerDot", 0), filled);
                    QCOMPARE(colorOf("innerDot", 1), ring);
                }
                if (i + 1 < scenario.walked)
                    QVERIFY(gui.clickName("forwardButton"));
            }
            // The run ends the last step, not forward; nor does forward lead off the backup's first step.
            QVERIFY(!gui.findVisible("forwardButton")->isEnabled());
            for (int i = scenario.walked - 1; i > 0; --i) {
                QVERIFY(gui.clickName("backButton"));
                QVERIFY(gui.waitVisible(scenario.steps[i - 1].first));
                QCOMPARE(gui.textOf("stepTitle"), GuiHarness::tr("Window", scenario.steps[i - 1].second));
                QCOMPARE(barInt("stepsTaken"), i);
            }
            QVERIFY(gui.clickName("backButton"));
            checkFreshSelection();
        }
    }

    void interfacePreselected_data()
    {
        QTest::addColumn<QStringList>("interfaces");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("several: the second") << QStringList{"lo", "enp3s0", "wlan0"} << "enp3s0";
        QTest::newRow("only one") << QStringList{"eth0"} << "eth0";
    }
    void interfacePreselected()
    {
        QFETCH(QStringList, interfaces);
        QFETCH(QString, chosen);
        QVERIFY(gui.start(QSize(800, 600), interfaces));
        QQuickItem* box = gui.waitVisible("interfaceComboBox");
        QVERIFY(box);
        QCOMPARE(box->property("count").toInt(), interfaces.size());
        QCOMPARE(box->property("currentText").toString(), chosen);
        QCOMPARE(gui.keyMaster()->getNetworkInterface(), chosen);
        // The operator picks the last one from the list.
        QVERIFY(gui.click(gui.find("arrowButton", box)));
        QVERIFY(gui.click(gui.waitVisible("entry_" + interfaces.last())));
        QCOMPARE(gui.keyMaster()->getNetworkInterface(), interfaces.last());
    }

    void exitPageAndBackToStart_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("result");
        QTest::newRow("restore failed")
            << "restoreButton" << false << GuiHarness::tr("RestoreProcessPage", "Recovery failed. See log for more info");
    }
    void exitPageAndBackToStart()
    {
        QFETCH(QString, scenario);
        QFETCH(bool, success);
        QFETCH(QString, result);
        QVERIFY(gui.startWork());
        gui.find("busyIndicator")->setProperty("running", true);
        QVERIFY(gui.finishScenario(scenario, success, QVariantList{result}));
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
    }

    void defaultResultTextAndExit()
    {
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
