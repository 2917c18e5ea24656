// Switching the interface language on the welcome page: the page on screen is
// re-translated in place, Qt's own texts follow, and the choice holds when the
// page is loaded anew. (Every page in each language: tst_gui_look; the switch
// by keys before a whole scenario: the backup and restore walks.)

#include "guiharness.h"
#include "guiconfig.h"

#include <QTranslator>

class LanguageTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "needs the translations in the sandbox's /opt"); }
    void cleanup() { gui.stop(); }

    void russianFirstThenEnglishAndBack()
    {
        QTranslator ruFile;
        QVERIFY(ruFile.load("/opt/sarvelin/gui/rc/langs/svkey2_ru.qm"));
        const QString english = "Welcome to the disaster recovery program SarvelinKey";
        const QString russian = ruFile.translate("WelcomePage", qPrintable(english));
        QVERIFY(!russian.isEmpty());
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}));
        // First start: Russian, Qt's own texts (standard buttons, the file dialog) too.
        QQuickItem* welcome = gui.waitVisible("welcomePage");
        QVERIFY(welcome);
        QCOMPARE(gui.textOf("heading"), russian);
        QCOMPARE(GuiHarness::tr("QFileDialog", "Look in:"), QString::fromUtf8("Перейти к:"));

        const QList<QPair<QString, QString>> switches {{"En", english}, {"Ru", russian}};
        for (const auto& to : switches) {
            QQuickItem* box = gui.findVisible("languageComboBox");
            QVERIFY(box && gui.click(gui.find("arrowButton", box)) && gui.click(gui.waitVisible("entry_" + to.first)));
            QCOMPARE(GuiConfig::getInstance()->lang(), to.first);
            // Same page, new texts.
            QCOMPARE(gui.findVisible("welcomePage"), welcome);
            QCOMPARE(gui.textOf("heading"), to.second);
            QCOMPARE(GuiHarness::tr("QPlatformTheme", "Cancel"),
                to.first == "En" ? QString("Cancel") : QString::fromUtf8("Отмена"));
        }
        // The welcome page loaded anew shows the stored language in its box.
        GuiConfig::getInstance()->setLang("En");
        QVERIFY(QMetaObject::invokeMethod(gui.root(), "loadPage", Q_ARG(QVariant, 0), Q_ARG(QVariant, QString())));
        QVERIFY(gui.waitVisible("welcomePage"));
        QCOMPARE(gui.findVisible("languageComboBox")->property("currentText").toString(), QString("En"));
        QCOMPARE(gui.textOf("heading"), english);
        // A stored language the welcome page does not offer stays as it is.
        GuiConfig::getInstance()->setLang("De");
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}) && gui.waitVisible("welcomePage"));
        QTest::qWait(100);
        const QString kept = GuiConfig::getInstance()->lang();
        GuiConfig::getInstance()->setLang("Ru");
        QCOMPARE(kept, QString("De"));
    }
};

SV_GUI_TEST_MAIN(LanguageTest, "language")

#include "tst_gui_language.moc"
