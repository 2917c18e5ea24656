// Switching the interface language on the welcome page: every visible text
// of every page follows at once, the heading and Qt's own texts included.

#include "guiharness.h"
#include "guiconfig.h"

#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

class LanguageTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;
    QHash<QString, QString> ru; // English source text -> Russian, from the catalogue
    QTranslator ruFile;

    QString russianHeading() const
    {
        return ruFile.translate("WelcomePage", "Welcome to the disaster recovery program SarvelinKey");
    }
    // Visible texts in the wrong language: in Russian, English texts that
    // have a translation; in English, any Cyrillic text.
    QStringList wrongLanguage() const
    {
        static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
        const bool russian = GuiConfig::getInstance()->lang() == QLatin1String("Ru");
        QStringList out;
        for (const QString& text : gui.visibleTexts())
            if (russian ? ru.contains(text) && ru.value(text) != text : cyrillic.match(text).hasMatch())
                out << text;
        return out;
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
        QFile file(qEnvironmentVariable("SV_SOURCE_DIR") + "/svkey2/translations/svkey2_ru.ts");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        for (QString source; !xml.atEnd();) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.isStartElement() && xml.name() == QLatin1String("translation"))
                ru.insert(source, xml.readElementText());
        }
        QVERIFY2(ru.size() > 20, "the Russian catalogue is readable");
        QVERIFY(ruFile.load("/opt/sarvelin/gui/rc/langs/svkey2_ru.qm"));
        QVERIFY(!russianHeading().isEmpty());
    }
    void init() { QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"})); }
    void cleanup() { gui.stop(); }

    void russianFirstThenEnglishAndBackEverywhere()
    {
        // First start: Russian, Qt's own texts (standard buttons, the file dialog) too.
        QCOMPARE(GuiConfig::getInstance()->lang(), QString("Ru"));
        QQuickItem* welcome = gui.waitVisible("welcomePage");
        QVERIFY(welcome);
        QCOMPARE(gui.textOf("heading"), russianHeading());
        QCOMPARE(gui.findVisible("languageComboBox")->property("currentText").toString(), QString("Ru"));
        QVERIFY2(wrongLanguage().isEmpty(), qPrintable(wrongLanguage().join(" | ")));
        QCOMPARE(GuiHarness::tr("QPlatformTheme", "Cancel"), QString::fromUtf8("Отмена"));
        QCOMPARE(GuiHarness::tr("QFileDialog", "Look in:"), QString::fromUtf8("Перейти к:"));

        const QList<QPair<QString, QString>> switches{
            {"En", "Welcome to the disaster recovery program SarvelinKey"}, {"Ru", russianHeading()}};
        for (const auto& to : switches) {
            QVERIFY(chooseLanguage(to.first));
            QCOMPARE(GuiConfig::getInstance()->lang(), to.first);
            // Same page, new texts: the switch re-translates what is on screen.
            QCOMPARE(gui.findVisible("welcomePage"), welcome);
            QCOMPARE(gui.textOf("heading"), to.second);
            QCOMPARE(GuiHarness::tr("QPlatformTheme", "Cancel"),
                     to.first == "En" ? QString("Cancel") : QString::fromUtf8("Отмена"));
            gui.walkEveryPage([&](const QString& page) {
                QVERIFY2(wrongLanguage().isEmpty(), qPrintable(page + ": " + wrongLanguage().join(" | ")));
                gui.shot(to.first + "-" + page);
            });
            QVERIFY(!QTest::currentTestFailed());
            // The welcome page loaded anew keeps the chosen language.
            QCOMPARE(gui.findVisible("languageComboBox")->property("currentText").toString(), to.first);
            welcome = gui.findVisible("welcomePage");
        }
    }

    void typedLanguageAppliesAfterChoosing()
    {
        // Typing part of a language name filters the list; Return takes the match.
        QQuickItem* box = gui.waitVisible("languageComboBox");
        QVERIFY(box);
        QQuickItem* field = gui.find("editField", box);
        QVERIFY(gui.click(field));
        field->setProperty("text", QString());
        gui.typeText("e");
        QVERIFY(gui.waitFor([&] { return box->property("popupOpened").toBool(); }, 2500));
        gui.pressKey(Qt::Key_Return);
        QVERIFY(gui.waitFor([] { return GuiConfig::getInstance()->lang() == QLatin1String("En"); }));
        QCOMPARE(gui.textOf("heading"), QString("Welcome to the disaster recovery program SarvelinKey"));
        QVERIFY(chooseLanguage("Ru"));
    }
};

SV_GUI_TEST_MAIN(LanguageTest, "language")

#include "tst_gui_language.moc"
