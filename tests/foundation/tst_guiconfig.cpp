// GUI settings. GuiConfig is created once per process, so every case runs in
// a child process of this test with its own home folder; the parent lays the
// files of the case (theme, translations, old settings file) first. Runs in
// the sandbox: the themes, translations and hints live under /opt.
#include "guiconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

int failures = 0;

template <class A, class B>
void checkEq(const A& a, const B& b, int line, const char* text)
{
    if (a == b)
        return;
    std::fprintf(stderr, "CHECK FAILED line %d: %s (%s vs %s)\n", line, text, qPrintable(QVariant(a).toString()),
                 qPrintable(QVariant(b).toString()));
    ++failures;
}
#define CHECK_EQ(a, b) checkEq((a), (b), __LINE__, #a " == " #b)
#define CHECK(cond) checkEq(bool(cond), true, __LINE__, #cond)

const QString kOpt = "/opt/sarvelin/gui/rc/";

QString home() { return QDir::homePath(); }
QString folder() { return home() + "/.svkey2/"; }
QString tr(const char* text) { return QCoreApplication::translate("FoundationTest", text); }

// The [Main] group of a settings file as "key=value" lines, sorted.
QString mainGroup(const QString& file)
{
    QSettings s(file, QSettings::IniFormat);
    s.beginGroup("Main");
    QStringList lines;
    for (const QString& key : s.childKeys())
        lines << key + "=" + s.value(key).toString();
    lines.sort();
    return lines.join(",");
}

QString mainValue(const QString& file, const QString& key)
{
    QSettings s(file, QSettings::IniFormat);
    return s.value("Main/" + key).toString();
}

// --- the cases, run in the child

void caseFirstStart()
{
    CHECK(!QFileInfo::exists(folder()));
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK_EQ(c->getConfigFolder(), folder());
    CHECK(QFileInfo(folder()).isDir());
    const QString file = folder() + ".sv_gui_main_settings";
    CHECK(QFileInfo(file).isFile());
    CHECK_EQ(mainGroup(file), QString("ExperimentalLogic=false,InfoHints=true,Lang=Ru,LogsLevel=0,RecordPerPage=50,"
                                      "Theme=default_theme,UpdateTablePeriod=5"));
    CHECK_EQ(c->lang(), QString("Ru"));
    // The Russian translation file is present: the texts are Russian.
    CHECK_EQ(tr("probe"), QString::fromUtf8("проба по-русски"));
    // Default look (a theme list is not needed for this application).
    CHECK(c->isUseShader());
    CHECK_EQ(c->itemHeight(), 30);
    CHECK_EQ(c->itemHeightWithSpacings(), 40);
    CHECK_EQ(c->backgroundColorOfPage(), QColor("#F2F2F2"));
    CHECK_EQ(c->recordsPerPage(), 50);
}

void caseThemeOverridesOneKey()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK_EQ(c->theme(), QString("tall_theme"));
    CHECK_EQ(c->themesList().join(","), QString("other_theme,tall_theme"));
    CHECK_EQ(c->itemHeight(), 44);
    CHECK_EQ(c->itemSpacing(), 5);
    CHECK_EQ(c->itemHeightWithSpacings(), 54);
    CHECK_EQ(c->backgroundColorOfDefaultItem(), QColor("#00757A"));
    CHECK_EQ(c->backgroundColorOfPage(), QColor("#F2F2F2"));
    CHECK_EQ(c->widthOfPageGridColumn(), 500);
    // Another theme: a colour, a renamed key and a value that is no colour.
    c->setTheme("other_theme");
    CHECK_EQ(c->backgroundColorOfPage(), QColor("#112233"));
    CHECK_EQ(c->spacingOfPageBlock(), 17);
    CHECK_EQ(c->menuButtonPressColor(), QColor("#005B60"));
    CHECK_EQ(c->itemHeight(), 44);  // not in that theme: the current value stays
}

void caseMigration()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK_EQ(mainValue(folder() + ".sv_gui_main_settings", "Lang"), QString("En"));
    CHECK_EQ(c->lang(), QString("En"));
    CHECK_EQ(c->recordsPerPage(), 20);
    CHECK_EQ(tr("probe"), QString("probe in English"));
    // The old file is kept beside, named with the time of the migration.
    const QStringList saved = QDir(home()).entryList(QStringList{".svkey2_*"}, QDir::Files | QDir::Hidden);
    CHECK_EQ(saved.size(), 1);
    if (saved.size() == 1) {
        CHECK(QRegularExpression("^\\.svkey2_\\d\\d\\.\\d\\d\\.\\d{4}_\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$").match(saved.first()).hasMatch());
        QFile f(home() + "/" + saved.first());
        f.open(QIODevice::ReadOnly);
        CHECK(f.readAll().contains("RecordPerPage=20"));
    }
}

void caseColumns()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK(c->loadColumnsViewParameters("fstab").isEmpty());  // no file yet
    c->saveColumnsViewParameters("fstab", QVariantList{true, false, true});
    CHECK(QFileInfo(folder() + ".sv_gui_column_settings").isFile());
    CHECK_EQ(c->loadColumnsViewParameters("fstab"), (QVariantList{true, false, true}));
    CHECK(c->loadColumnsViewParameters("other").isEmpty());
    {
        // An element without its value reads as true.
        QSettings s(folder() + ".sv_gui_column_settings", QSettings::IniFormat);
        s.setValue("archives/size", 2);
        s.setValue("archives/1/arg1", false);
    }
    CHECK_EQ(c->loadColumnsViewParameters("archives"), (QVariantList{false, true}));
    c->saveColumnPosition("fstab", "device", 3);
    c->saveColumnPosition("fstab", "mount", 1);
    const QVariantMap positions = c->loadColumnsPositions("fstab");
    CHECK_EQ(positions.value("device").toInt(), 3);
    CHECK_EQ(positions.value("mount").toInt(), 1);
    // The array survives writing positions.
    CHECK_EQ(c->loadColumnsViewParameters("fstab"), (QVariantList{true, false, true}));
}

void caseLanguageSwitch()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK_EQ(c->lang(), QString("Ru"));
    QSignalSpy spy(c, &GuiConfig::retranslated);
    c->setLang("En");
    CHECK_EQ(spy.count(), 1);
    CHECK_EQ(spy.at(0).at(0).toBool(), true);
    CHECK_EQ(c->lang(), QString("En"));
    CHECK_EQ(tr("probe"), QString("probe in English"));
    c->setLang("En");
    CHECK_EQ(spy.count(), 2);
    CHECK_EQ(spy.at(1).at(0).toBool(), false);
    c->setLang("Ru");
    CHECK_EQ(tr("probe"), QString::fromUtf8("проба по-русски"));
    c->setLang("En");
    // A language with no file: no old translation stays active.
    c->setLang("De");
    CHECK_EQ(spy.last().at(0).toBool(), true);
    CHECK_EQ(tr("probe"), QString("probe"));
    c->setLang("En");
    // The switch is not stored: the file still holds the first language.
    CHECK_EQ(mainValue(folder() + ".sv_gui_main_settings", "Lang"), QString("Ru"));
}

void caseLanguageAfterRestart()
{
    GuiConfig::init(GuiConfig::svkey);
    CHECK_EQ(GuiConfig::getInstance()->lang(), QString("Ru"));
    CHECK_EQ(tr("probe"), QString::fromUtf8("проба по-русски"));
}

void caseFolderNotCreatable()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK(!QFileInfo::exists(folder()));
    CHECK_EQ(c->lang(), QString("Ru"));
    CHECK_EQ(c->itemHeight(), 30);
}

void casePageHints()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    const QStringList welcome = c->getPageInfo("welcome");
    CHECK_EQ(welcome.value(0), QString::fromUtf8("Начало"));
    CHECK_EQ(welcome.value(1), QString::fromUtf8("Выберите язык"));
    CHECK_EQ(c->getPageInfo("noTitle").value(0), QString("Help"));
    CHECK_EQ(c->getPageInfo("absent").value(1), QString());
}

int runCase(const QString& name)
{
    static const QHash<QString, void (*)()> cases = {
        {"firstStart", caseFirstStart}, {"themeOverridesOneKey", caseThemeOverridesOneKey},
        {"migration", caseMigration},
        {"columns", caseColumns}, {"languageSwitch", caseLanguageSwitch},
        {"languageAfterRestart", caseLanguageAfterRestart}, {"folderNotCreatable", caseFolderNotCreatable},
        {"pageHints", casePageHints}};
    if (!cases.contains(name)) {
        std::fprintf(stderr, "unknown case %s\n", qPrintable(name));
        return 2;
    }
    cases.value(name)();
    return failures == 0 ? 0 : 1;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

using Files = QMap<QString, QByteArray>;

} // namespace

class TestGuiConfig : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> homeDir;
    QString output;

    // Runs one case in a child process with HOME set; returns its exit code.
    int child(const QString& name, const QString& home)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QCoreApplication::applicationFilePath(), QStringList{"--case", name});
        if (!p.waitForFinished(30000))
            return -1;
        output += QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo("/opt").isDir() && qEnvironmentVariableIsSet("SV_SANDBOX_INSIDE"),
                 "this test lays files under /opt and runs only in the sandbox");
    }

    // Each row: the cases run one after the other in the same home, the
    // files laid first ("~" stands for the home folder), a text the output
    // must hold and one it must not.
    void settings_data()
    {
        QTest::addColumn<QStringList>("cases");
        QTest::addColumn<Files>("files");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("never");
        QTest::newRow("first start") << QStringList{"firstStart"} << Files() << "~"
                                     << "Couldn't open file with pages info!" << "";
        QTest::newRow("theme overrides one key")
            << QStringList{"themeOverridesOneKey"}
            << Files{{"~/.svkey2/.sv_gui_main_settings", "[Main]\nLang=Ru\nTheme=tall_theme\n"},
                     {kOpt + "themes/tall_theme", "[Theme]\nItemHeight=44\n"},
                     {kOpt + "themes/other_theme",
                      "[Theme]\nBackgroundColorOfPage=#112233\nPageBlockSpacing=17\nMenuButtonPressColor=notacolour\n"},
                     {kOpt + "themes/ignored.ini", "[Theme]\nItemHeight=99\n"}}
            << "~" << "" << "";
        QTest::newRow("migration of the old settings file")
            << QStringList{"migration"} << Files{{"~/.svkey2", "[Main]\nLang=En\nRecordPerPage=20\n"}} << "~"
            << "Fixing old config file" << "";
        QTest::newRow("column settings") << QStringList{"columns"} << Files() << "~" << "" << "";
        QTest::newRow("language round trip") << QStringList{"languageSwitch", "languageAfterRestart"} << Files()
                                             << "~" << "" << "";
        // The home folder lies below a regular file: nothing can be created.
        QTest::newRow("settings folder not creatable") << QStringList{"folderNotCreatable"}
                                                       << Files{{"~/plainfile", "x"}} << "~/plainfile/home"
                                                       << "coundn`t be created" << "";
        QTest::newRow("page hints")
            << QStringList{"pageHints"}
            << Files{{kOpt + "info/pages_info",
                      QString::fromUtf8("[Hints]\nsize=2\n1\\pageName=welcome\n1\\pageTitle=Начало\n"
                                        "1\\pageInfo=Выберите язык\n2\\pageName=noTitle\n2\\pageInfo=text\n").toUtf8()}}
            << "~" << "" << "pages info";
    }

    void settings()
    {
        QFETCH(QStringList, cases);
        QFETCH(Files, files);
        QFETCH(QString, home);
        QFETCH(QString, says);
        QFETCH(QString, never);
        homeDir.reset(new QTemporaryDir);
        QVERIFY(homeDir->isValid());
        QDir(kOpt).removeRecursively();
        const QString bin = QCoreApplication::applicationDirPath();
        QDir().mkpath(kOpt + "langs");
        QVERIFY(QFile::copy(bin + "/foundation_ru.qm", kOpt + "langs/svkey2_ru.qm"));
        QVERIFY(QFile::copy(bin + "/foundation_en.qm", kOpt + "langs/svkey2_en.qm"));
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            writeFile(QString(it.key()).replace(QRegularExpression("^~"), homeDir->path()), it.value());
        output.clear();
        for (const QString& name : cases)
            QVERIFY2(child(name, QString(home).replace(QRegularExpression("^~"), homeDir->path())) == 0,
                     qPrintable(output));
        QVERIFY2(says.isEmpty() || output.contains(says), qPrintable(output));
        QVERIFY2(never.isEmpty() || !output.contains(never), qPrintable(output));
    }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--case") {
        QCoreApplication app(argc, argv);
        return runCase(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestGuiConfig test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_guiconfig.moc"
