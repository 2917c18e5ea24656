// Every page in both languages at the smallest window (800x600) and at
// 1920x1080: nothing cut, elided or outside the window. Each page is saved
// as a screenshot for a look by eye.

#include "guiharness.h"
#include "guiconfig.h"
#include "notifier.h"

#include <QApplication>
#include <QTest>

class LookTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;
    QString tag;

    void checkAndShoot(const QString& page, int settleMs = 50)
    {
        QTest::qWait(settleMs);
        const QStringList cut = gui.clippedTexts();
        gui.shot(tag + "-" + page);
        QVERIFY2(cut.isEmpty(), qPrintable(tag + " " + page + ":\n" + cut.join("\n")));
    }

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "needs the translations in the sandbox's /opt"); }
    void cleanup() { gui.stop(); }

    void everyPage_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QSize>("size");
        QTest::newRow("ru-800x600") << "Ru" << QSize(800, 600);
        QTest::newRow("en-800x600") << "En" << QSize(800, 600);
        QTest::newRow("ru-1920x1080") << "Ru" << QSize(1920, 1080);
        QTest::newRow("en-1920x1080") << "En" << QSize(1920, 1080);
    }

    void everyPage()
    {
        QFETCH(QString, lang);
        QFETCH(QSize, size);
        tag = QString("%1-%2x%3").arg(lang.toLower()).arg(size.width()).arg(size.height());
        GuiConfig::getInstance()->setLang(lang);
        QVERIFY(gui.start(size, {"lo", "enp0s31f6", "wlp2s0"}));
        QVERIFY(gui.waitVisible("welcomePage"));
        checkAndShoot("welcome");

        // The interface list opened.
        QQuickItem* box = gui.findVisible("interfaceComboBox");
        QVERIFY(gui.click(gui.find("arrowButton", box)));
        QVERIFY(gui.waitVisible("entry_wlp2s0"));
        checkAndShoot("welcome-interfaces");
        gui.pressKey(Qt::Key_Escape);
        QVERIFY(gui.waitFor([&] { return !box->property("popupOpened").toBool(); }));

        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
        checkAndShoot("selection");

        QVERIFY(gui.clickName("backupButton"));
        QVERIFY(gui.waitVisible("backupChoosingDevicePage"));
        checkAndShoot("backup-step1");
        for (int i = 0; i < 3; ++i)
            QVERIFY(gui.clickName("forwardButton"));
        QVERIFY(gui.waitVisible("backupCreatingPage"));
        gui.find("busyIndicator")->setProperty("running", true);
        checkAndShoot("backup-step4-busy");
        gui.find("busyIndicator")->setProperty("running", false);
        for (int i = 0; i < 4; ++i)
            QVERIFY(gui.clickName("backButton"));

        QVERIFY(gui.clickName("restoreButton"));
        QVERIFY(gui.waitVisible("restoreChoosingServerPage"));
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        checkAndShoot("restore-step1-journal");

        Notifier::getInstance()->showError(
            QCoreApplication::translate("KeyMaster", "Connect to Sarvelin server failed: No route to host"),
            "connect(10.0.0.5:9991): No route to host");
        checkAndShoot("restore-step1-error", 350); // the dialog has grown
        QVERIFY(gui.clickName("dialogCloseButton"));
        QVERIFY(gui.clickName("journalButton"));

        for (int i = 0; i < 4; ++i)
            QVERIFY(gui.clickName("forwardButton"));
        QQuickItem* last = gui.waitVisible("restoreProcessPage");
        QVERIFY(last);
        const QString failure = lang == "Ru" ? QString::fromUtf8("Восстановление не удалось. Подробности в журнале")
                                             : QString("Recovery failed. See log for more info");
        QVERIFY(QMetaObject::invokeMethod(last, "emitMoveOn", Q_ARG(QVariant, false), Q_ARG(QVariant, QVariantList{failure})));
        QVERIFY(gui.waitVisible("exitPage"));
        checkAndShoot("exit");

        Notifier::getInstance()->showExit();
        checkAndShoot("exit-question", 350);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GuiHarness::initProcess(QStringLiteral("look"));
    LookTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gui_look.moc"
