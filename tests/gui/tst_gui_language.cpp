// Switching the interface language on the welcome page: the texts on screen,
// the heading and Qt's own texts follow at once. (Every other page in each
// language is checked by tst_gui_look.)

#include "guiharness.h"
#include "guiconfig.h"

#include <QTranslator>

class LanguageTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;
    QTranslator ruFile;

    QString russianHeading() const
    {
        return ruFile.translate("WelcomePage", "Welcome to the disaster recovery program SarvelinKey");
    }
    bool chooseLanguage(const QString& lang)
    {
        QQuickItem* box = gui.findVisible("languageComboBox");
        return box && gui.click(gui.find("arrowButton", box)) && gui.click(gui.waitVisible("entry_" + lang));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(GuiHarness::insideSandbox(), "needs the translations installed in the sandbox's /opt");
        QVERIFY(ruFile.load("/opt/sarvelin/gui/rc/langs/svkey2_ru.qm"));
        QVERIFY(!russianHeading().isEmpty());
    }
    void init() { QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"})); }
    void cleanup() { gui.stop(); }

    void russianFirstThenEnglishAndBack()
    {
        // First start: Russian, Qt's own texts (standard buttons, the file dialog) too.
        QCOMPARE(GuiConfig::getInstance()->lang(), QString("Ru"));
        QQuickItem* welcome = gui.waitVisible("welcomePage");
        QVERIFY(welcome);
        QCOMPARE(gui.textOf("heading"), russianHeading());
        QCOMPARE(gui.findVisible("languageComboBox")->property("currentText").toString(), QString("Ru"));
        QVERIFY2(gui.wrongLanguageTexts().isEmpty(), qPrintable(gui.wrongLanguageTexts().join(" | ")));
        QCOMPARE(GuiHarness::tr("QFileDialog", "Look in:"), QString::fromUtf8("Перейти к:"));

        const QList<QPair<QString, QString>> switches {
            {"En", "Welcome to the disaster recovery program SarvelinKey"}, {"Ru", russianHeading()}};
        for (const auto& to : switches) {
            QVERIFY(chooseLanguage(to.first));
            QCOMPARE(GuiConfig::getInstance()->lang(), to.first);
            // Same page, new texts: the switch re-translates what is on screen.
            QCOMPARE(gui.findVisible("welcomePage"), welcome);
            QCOMPARE(gui.textOf("heading"), to.second);
            QVERIFY2(gui.wrongLanguageTexts().isEmpty(), qPrintable(gui.wrongLanguageTexts().join(" | ")));
            QCOMPARE(GuiHarness::tr("QPlatformTheme", "Cancel"),
                to.first == "En" ? QString("Cancel") : QString::fromUtf8("Отмена"));
            // The next page and the welcome page loaded anew keep the chosen language.
            QVERIFY(gui.startWork());
            QVERIFY2(gui.wrongLanguageTexts().isEmpty(), qPrintable(gui.wrongLanguageTexts().join(" | ")));
            QVERIFY(QMetaObject::invokeMethod(gui.root(), "loadPage", Q_ARG(QVariant, 0), Q_ARG(QVariant, QString())));
            QVERIFY((welcome = gui.waitVisible("welcomePage")));
            QCOMPARE(gui.findVisible("languageComboBox")->property("currentText").toString(), to.first);
            QCOMPARE(gui.textOf("heading"), to.second);
        }
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
