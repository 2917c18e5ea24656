// Every page and dialog in both languages at the smallest window (800x600):
// every text in the chosen language, nothing cut, elided or outside the
// window. Each page is saved as a screenshot for a look by eye.

#include "guiharness.h"
#include "guiconfig.h"

class LookTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "needs the translations in the sandbox's /opt"); }
    void cleanup() { gui.stop(); }

    void everyPage_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("theme");
        // The smallest window, where texts are cut first. The colours change
        // nothing of the texts' places: English comes in the dark theme. (The
        // walks look at their pages at 1920x1080.)
        QTest::addRow("ru-800x600") << "Ru"
                                    << "default_theme";
        QTest::addRow("en-dark-800x600") << "En"
                                         << "dark_theme";
    }
    void everyPage()
    {
        QFETCH(QString, lang);
        QFETCH(QString, theme);
        GuiConfig::getInstance()->setTheme(theme);
        QCOMPARE(GuiConfig::getInstance()->theme(), theme);
        GuiConfig::getInstance()->setLang(lang);
        QVERIFY(gui.start(QSize(800, 600), {"lo", "enp0s31f6", "wlp2s0"}));
        gui.walkEveryPage([&](const QString& page) {
            QTest::qWait(50);
            const QStringList cut = gui.clippedTexts(), wrong = gui.wrongLanguageTexts();
            gui.shot(QString(QTest::currentDataTag()) + "-" + page);
            QVERIFY2(cut.isEmpty(), qPrintable(page + ":\n" + cut.join("\n")));
            QVERIFY2(wrong.isEmpty(), qPrintable(page + " not in " + lang + ": " + wrong.join(" | ")));
        });
    }
};

SV_GUI_TEST_MAIN(LookTest, "look")

#include "tst_gui_look.moc"
