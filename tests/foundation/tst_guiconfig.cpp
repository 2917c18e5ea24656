// GUI settings, in the sandbox (themes, translations and hints live under
// /opt). GuiConfig is made once per process: one case per process.
#include "../common/test_files.h"
#include "fdcapture.h"
#include "guiconfig.h"

#include <QtTest>

namespace {

const QString kOpt = "/opt/sarvelin/gui/rc/";
QStringList messages; // every Qt message of the process

QString folder()
{
    return QDir::homePath() + "/.svkey2/";
}
QString probe()
{
    return QCoreApplication::translate("FoundationTest", "probe");
}
const QString russian = QString::fromUtf8("проба по-русски");

} // namespace

class TestGuiConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir homeDir;
    int cases = 0;

    GuiConfig* start()
    {
        GuiConfig::init(GuiConfig::svkey);
        return GuiConfig::getInstance();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo("/opt").isDir() && qEnvironmentVariableIsSet("SV_SANDBOX_INSIDE"),
            "this test lays files under /opt and runs only in the sandbox");
        QVERIFY(homeDir.isValid());
        qputenv("HOME", homeDir.path().toLocal8Bit());
        QDir(kOpt).removeRecursively();
        const QString bin = QCoreApplication::applicationDirPath();
        QDir().mkpath(kOpt + "langs");
        QVERIFY(QFile::copy(bin + "/foundation_ru.qm", kOpt + "langs/svkey2_ru.qm"));
        QVERIFY(QFile::copy(bin + "/foundation_en.qm", kOpt + "langs/svkey2_en.qm"));
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { messages << m; });
    }

    void init() { QVERIFY2(++cases == 1, "one case per process: pass its name as the argument"); }

    void firstStart()
    {
        QVERIFY(!QFileInfo::exists(folder()));
        GuiConfig* c = start();
        QCOMPARE(c->getConfigFolder(), folder());
        QCOMPARE(readFile(folder() + ".sv_gui_main_settings"),
            "[Main]\nExperimentalLogic=false\nInfoHints=true\nLang=Ru\nLogsLevel=0\nRecordPerPage=50\n"
            "Theme=default_theme\nUpdateTablePeriod=5\n");
        QCOMPARE(c->lang(), QString("Ru"));
        QCOMPARE(probe(), russian); // the Russian translation is loaded
        QVERIFY2(messages.contains("Couldn't open file with pages info!"), qPrintable(messages.join('\n')));
    }

    // A settings folder in use: a chosen theme overriding one key, column
    // settings, page hints, and the language switched back and forth.
    void settingsInUse()
    {
        writeFile(folder() + ".sv_gui_main_settings", "[Main]\nLang=Ru\nTheme=tall_theme\n");
        // An element without its value reads as true.
        writeFile(folder() + ".sv_gui_column_settings", "[archives]\n1\\arg1=false\nsize=2\n");
        writeFile(kOpt + "themes/tall_theme", "[Theme]\nItemHeight=44\n");
        writeFile(kOpt + "themes/other_theme",
            "[Theme]\nBackgroundColorOfPage=#112233\nPageBlockSpacing=17\nMenuButtonPressColor=notacolour\n");
        writeFile(kOpt + "themes/ignored.ini", "[Theme]\nItemHeight=99\n");
        writeFile(kOpt + "info/pages_info",
            QString::fromUtf8("[Hints]\nsize=2\n1\\pageName=welcome\n1\\pageTitle=Начало\n"
                              "1\\pageInfo=Выберите язык\n2\\pageName=noTitle\n2\\pageInfo=text\n")
                .toUtf8());
        GuiConfig* c = start();
        QCOMPARE(c->theme(), QString("tall_theme"));
        QCOMPARE(c->themesList().join(","), QString("other_theme,tall_theme"));
        QCOMPARE(c->itemHeight(), 44);
        // Another theme: a colour, a renamed key and a value that is no colour.
        c->setTheme("other_theme");
        QCOMPARE(c->backgroundColorOfPage(), QColor("#112233"));
        QCOMPARE(c->spacingOfPageBlock(), 17);
        QCOMPARE(c->menuButtonPressColor(), QColor("#005B60"));
        QCOMPARE(c->itemHeight(), 44); // not in that theme: the current value stays
        QCOMPARE(
            c->getPageInfo("welcome"), QStringList({QString::fromUtf8("Начало"), QString::fromUtf8("Выберите язык")}));
        QCOMPARE(c->getPageInfo("noTitle").value(0), QString("Help"));
        QCOMPARE(c->getPageInfo("absent").value(1), QString());
        QVERIFY2(messages.filter("pages info").isEmpty(), qPrintable(messages.join('\n')));
        QVERIFY(c->loadColumnsViewParameters("fstab").isEmpty()); // no file yet
        c->saveColumnsViewParameters("fstab", QVariantList {true, false, true});
        QCOMPARE(c->loadColumnsViewParameters("fstab"), (QVariantList {true, false, true}));
        QVERIFY(c->loadColumnsViewParameters("other").isEmpty());
        QCOMPARE(c->loadColumnsViewParameters("archives"), (QVariantList {false, true}));
        c->saveColumnPosition("fstab", "device", 3);
        c->saveColumnPosition("fstab", "mount", 1);
        QCOMPARE(c->loadColumnsPositions("fstab"), (QVariantMap {{"device", 3}, {"mount", 1}}));
        // The array survives writing positions.
        QCOMPARE(c->loadColumnsViewParameters("fstab"), (QVariantList {true, false, true}));
        QSignalSpy spy(c, &GuiConfig::retranslated);
        c->setLang("En");
        QCOMPARE(c->lang(), QString("En"));
        QCOMPARE(probe(), QString("probe in English"));
        c->setLang("En"); // the same language again: signalled as no change
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
        c->setLang("Ru");
        QCOMPARE(probe(), russian);
        // A language with no file: no old translation stays active.
        c->setLang("De");
        QCOMPARE(spy.last().at(0).toBool(), true);
        QCOMPARE(probe(), QString("probe"));
        // The switch is not stored: a restart comes up in the first language.
        QProcess restart;
        restart.start(QCoreApplication::applicationFilePath(), {"--language"});
        QVERIFY(restart.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(restart.readAllStandardOutput()), "Ru " + russian);
    }

    void migration()
    {
        writeFile(folder().chopped(1), "[Main]\nLang=En\nRecordPerPage=20\n");
        GuiConfig* c = nullptr;
        const QByteArray err = captured(2, [&] { c = start(); });
        QVERIFY2(err.contains("Fixing old config file"), err.constData());
        QVERIFY(readFile(folder() + ".sv_gui_main_settings").contains("Lang=En"));
        QCOMPARE(c->lang(), QString("En"));
        QCOMPARE(c->recordsPerPage(), 20);
        QCOMPARE(probe(), QString("probe in English"));
        // The old file is kept beside it.
        const QStringList saved
            = QDir(QDir::homePath()).entryList(QStringList {".svkey2_*"}, QDir::Files | QDir::Hidden);
        QCOMPARE(saved.size(), 1);
        QVERIFY(readFile(QDir::homePath() + "/" + saved.first()).contains("RecordPerPage=20"));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 2 && QByteArray(argv[1]) == "--language") {
        // A restarted application: its language and one translated text.
        GuiConfig::init(GuiConfig::svkey);
        std::printf("%s %s", qPrintable(GuiConfig::getInstance()->lang()), probe().toUtf8().constData());
        return 0;
    }
    if (argc == 1) {
        int failed = 0;
        for (const char* name : {"firstStart", "settingsInUse", "migration"})
            failed += QProcess::execute(QCoreApplication::applicationFilePath(), {name}) != 0;
        return failed;
    }
    TestGuiConfig test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_guiconfig.moc"
