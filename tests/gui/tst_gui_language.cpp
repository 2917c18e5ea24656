// Switching the interface language on the welcome page: every visible text
// of every page follows at once, the heading and Qt's own texts included.

#include "guiharness.h"
#include "guiconfig.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

const QString kLangs = QStringLiteral("/opt/sarvelin/gui/rc/langs/");

// English source text -> Russian translation, read from the catalogue.
QHash<QString, QString> russianCatalogue()
{
    QHash<QString, QString> map;
    QFile file(qEnvironmentVariable("SV_SOURCE_DIR") + "/svkey2/translations/svkey2_ru.ts");
    if (!file.open(QIODevice::ReadOnly))
        return map;
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation"))
            map.insert(source, xml.readElementText());
    }
    return map;
}

bool hasCyrillic(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    return cyrillic.match(text).hasMatch();
}

} // namespace

class LanguageTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;
    QHash<QString, QString> ru;
    QTranslator ruFile;

    QString heading() const { return gui.findVisible("heading")->property("text").toString(); }

    // Visible texts still in English although a Russian translation exists.
    QStringList untranslated() const
    {
        QStringList out;
        for (const QString& text : gui.visibleTexts())
            if (ru.contains(text) && ru.value(text) != text)
                out << text;
        return out;
    }
    QStringList russianLeftovers() const
    {
        QStringList out;
        for (const QString& text : gui.visibleTexts())
            if (hasCyrillic(text))
                out << text;
        return out;
    }

    bool chooseLanguage(const QString& lang)
    {
        QQuickItem* box = gui.findVisible("languageComboBox");
        if (!box || !gui.click(gui.find("arrowButton", box)))
            return false;
        QQuickItem* entry = gui.waitVisible("entry_" + lang);
        return entry && gui.click(entry);
    }

    // Start, both scenarios' first step, the journal and the exit page,
    // each checked with `check` and photographed.
    void walkPages(const QString& tag, const std::function<void(const QString&)>& check)
    {
        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.waitVisible("scenarioSelectionPage"));
        check("selection");
        gui.shot(tag + "-selection");
        QVERIFY(gui.clickName("backupButton"));
        QVERIFY(gui.waitVisible("backupChoosingDevicePage"));
        check("backup step");
        gui.shot(tag + "-backup-step1");
        QVERIFY(gui.clickName("backButton"));
        QVERIFY(gui.clickName("restoreButton"));
        QQuickItem* page = gui.waitVisible("restoreChoosingServerPage");
        QVERIFY(page);
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        check("restore step with journal");
        gui.shot(tag + "-restore-step1-journal");
        QVERIFY(gui.clickName("journalButton"));
        for (int i = 0; i < 4; ++i)
            QVERIFY(gui.clickName("forwardButton"));
        QQuickItem* last = gui.waitVisible("restoreProcessPage");
        QVERIFY(last);
        QVERIFY(QMetaObject::invokeMethod(last, "emitMoveOn", Q_ARG(QVariant, true),
                                          Q_ARG(QVariant, QVariantList{"Recovery ended successfully"})));
        QVERIFY(gui.waitVisible("exitPage"));
        check("exit page");
        gui.shot(tag + "-exit");
        QVERIFY(gui.clickName("toStartButton"));
        QVERIFY(gui.waitVisible("welcomePage"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(GuiHarness::insideSandbox(), "needs the translations installed in the sandbox's /opt");
        ru = russianCatalogue();
        QVERIFY2(ru.size() > 20, "the Russian catalogue is readable");
        QVERIFY(ruFile.load(kLangs + "svkey2_ru.qm"));
    }
    void init() { QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"})); }
    void cleanup() { gui.stop(); }

    void startsInRussianOnFirstStart()
    {
        QCOMPARE(GuiConfig::getInstance()->lang(), QString("Ru"));
        QVERIFY(gui.waitVisible("welcomePage"));
        const QString expected = ruFile.translate("WelcomePage", "Welcome to the disaster recovery program SarvelinKey");
        QVERIFY(!expected.isEmpty());
        QCOMPARE(heading(), expected);
        QCOMPARE(gui.findVisible("languageComboBox")->property("currentText").toString(), QString("Ru"));
        QVERIFY2(untranslated().isEmpty(), qPrintable(untranslated().join(" | ")));
        // Qt's own texts (standard buttons, the file dialog) are Russian too.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Отмена"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QString::fromUtf8("Перейти к:"));
        gui.shot("ru-welcome");
    }

    void englishAndBackEverywhere()
    {
        QQuickItem* welcome = gui.waitVisible("welcomePage");
        QVERIFY(welcome);
        QVERIFY(chooseLanguage("En"));
        QCOMPARE(GuiConfig::getInstance()->lang(), QString("En"));
        // Same page, new texts: the switch re-translates what is on screen.
        QCOMPARE(gui.findVisible("welcomePage"), welcome);
        QCOMPARE(heading(), QString("Welcome to the disaster recovery program SarvelinKey"));
        QVERIFY2(russianLeftovers().isEmpty(), qPrintable(russianLeftovers().join(" | ")));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Cancel"));
        gui.shot("en-welcome");
        walkPages("en", [this](const QString& where) {
            QVERIFY2(russianLeftovers().isEmpty(), qPrintable(where + ": " + russianLeftovers().join(" | ")));
        });

        // The welcome page loaded anew keeps the chosen language.
        QCOMPARE(gui.findVisible("languageComboBox")->property("currentText").toString(), QString("En"));
        QVERIFY(chooseLanguage("Ru"));
        QCOMPARE(heading(), ruFile.translate("WelcomePage", "Welcome to the disaster recovery program SarvelinKey"));
        QVERIFY2(untranslated().isEmpty(), qPrintable(untranslated().join(" | ")));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Отмена"));
        walkPages("ru", [this](const QString& where) {
            QVERIFY2(untranslated().isEmpty(), qPrintable(where + ": " + untranslated().join(" | ")));
        });
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
        QCOMPARE(box->property("currentText").toString(), QString("En"));
        QVERIFY(gui.waitFor([] { return GuiConfig::getInstance()->lang() == QLatin1String("En"); }));
        QCOMPARE(heading(), QString("Welcome to the disaster recovery program SarvelinKey"));
        QVERIFY(chooseLanguage("Ru"));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GuiHarness::initProcess(QStringLiteral("language"));
    LanguageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gui_language.moc"
