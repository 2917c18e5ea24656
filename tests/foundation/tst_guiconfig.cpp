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

#define CHECK(cond)                                                                          \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "CHECK FAILED line %d: %s\n", __LINE__, #cond);             \
            ++failures;                                                                      \
        }                                                                                    \
    } while (0)
#define CHECK_EQ(a, b)                                                                       \
    do {                                                                                     \
        const auto va = (a);                                                                 \
        const auto vb = (b);                                                                 \
        if (!(va == vb)) {                                                                   \
            std::fprintf(stderr, "CHECK FAILED line %d: %s == %s (%s vs %s)\n", __LINE__, #a, #b, \
                         qPrintable(QVariant(va).toString()), qPrintable(QVariant(vb).toString())); \
            ++failures;                                                                      \
        }                                                                                    \
    } while (0)

const QString kOpt = "/opt/sarvelin/gui/rc/";

QString home() { return QDir::homePath(); }
QString folder() { return home() + "/.svkey2/"; }
QString tr(const char* text) { return QCoreApplication::translate("FoundationTest", text); }

QStringList mainKeys(const QString& file)
{
    QSettings s(file, QSettings::IniFormat);
    s.beginGroup("Main");
    QStringList keys = s.childKeys();
    keys.sort();
    return keys;
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
    CHECK_EQ(mainKeys(file).join(","), QString("ExperimentalLogic,InfoHints,Lang,LogsLevel,RecordPerPage,Theme,UpdateTablePeriod"));
    CHECK_EQ(mainValue(file, "Lang"), QString("Ru"));
    CHECK_EQ(mainValue(file, "Theme"), QString("default_theme"));
    CHECK_EQ(mainValue(file, "LogsLevel"), QString("0"));
    CHECK_EQ(mainValue(file, "ExperimentalLogic"), QString("false"));
    CHECK_EQ(mainValue(file, "InfoHints"), QString("true"));
    CHECK_EQ(mainValue(file, "RecordPerPage"), QString("50"));
    CHECK_EQ(mainValue(file, "UpdateTablePeriod"), QString("5"));
    CHECK_EQ(c->lang(), QString("Ru"));
    // The Russian translation file is present: the texts are Russian.
    CHECK_EQ(tr("probe"), QString::fromUtf8("проба по-русски"));
    // Default look (a theme list is not needed for this application).
    CHECK(c->isUseShader());
    CHECK_EQ(c->itemHeight(), 30);
    CHECK_EQ(c->itemHeightWithSpacings(), 40);
    CHECK_EQ(c->backgroundColorOfPage(), QColor("#F2F2F2"));
    CHECK_EQ(c->itemTextFont(), QString("System"));
    CHECK_EQ(c->tableViewRowBorderColor(), QColor("lightGray"));
    CHECK_EQ(c->spacingOfPageBlock(), 10);
    CHECK_EQ(c->recordsPerPage(), 50);
    CHECK_EQ(c->updateTablePeriod(), 5);
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

void caseDarkThemeWithoutThemes()
{
    // An application for which no theme list means the built-in dark theme.
    GuiConfig::init(GuiConfig::svm);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK(!c->isUseShader());
    CHECK_EQ(c->backgroundColorOfPage(), QColor("#303030"));
    CHECK_EQ(c->widthOfPageGridColumn(), 700);
    CHECK_EQ(c->backgroundColorOfItemInput(), QColor(Qt::transparent));
    CHECK_EQ(c->headerDelimetrLineHeight(), 1);
}

void caseMigration()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK(QFileInfo(folder()).isDir());
    const QString file = folder() + ".sv_gui_main_settings";
    CHECK(QFileInfo(file).isFile());
    CHECK_EQ(mainValue(file, "Lang"), QString("En"));
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

void caseOtherApplications()
{
    GuiConfig::init(GuiConfig::svm);
    GuiConfig* c = GuiConfig::getInstance();
    CHECK_EQ(c->idleTimeout(), 5u);  // 31 in the file
    CHECK_EQ(c->getSSLMode(), QString("require"));
    CHECK(c->usesSetting("Hostname"));
    CHECK(c->usesSetting("IdleTimeoutInMinutes"));
    c->setIdleTimeout(12);
    const QString file = folder().replace(".svkey2", ".svm2") + ".sv_gui_main_settings";
    CHECK_EQ(mainValue(file, "IdleTimeoutInMinutes"), QString("12"));
    CHECK_EQ(mainValue(file, "SSLMode"), QString("require"));
    CHECK(mainKeys(file).contains("Hostname"));
}

void caseSettingsUse()
{
    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* c = GuiConfig::getInstance();
    for (const char* key : {"Lang", "Theme", "LogsLevel", "ExperimentalLogic", "InfoHints", "RecordPerPage", "UpdateTablePeriod"})
        CHECK(c->usesSetting(key));
    for (const char* key : {"Hostname", "Username", "UsernameWithDomain", "SSLMode", "UseMsAdAuthByDefault",
                            "ExitWithoutConfirmation", "SessionIsBlocked", "IdleTimeoutInMinutes"})
        CHECK(!c->usesSetting(key));
    CHECK(!c->isDeveloperMode());
    CHECK(c->isUsedMsAd());
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
        {"darkThemeWithoutThemes", caseDarkThemeWithoutThemes}, {"migration", caseMigration},
        {"columns", caseColumns}, {"languageSwitch", caseLanguageSwitch},
        {"languageAfterRestart", caseLanguageAfterRestart}, {"otherApplications", caseOtherApplications},
        {"settingsUse", caseSettingsUse}, {"folderNotCreatable", caseFolderNotCreatable},
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

} // namespace

class TestGuiConfig : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> homeDir;
    QString output;

    QString homePath() const { return homeDir->path(); }

    // Runs one case in a child process with HOME set; returns its exit code.
    int child(const QString& name, const QString& homeOverride = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", homeOverride.isEmpty() ? homePath() : homeOverride);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QCoreApplication::applicationFilePath(), QStringList{"--case", name});
        if (!p.waitForFinished(30000))
            return -1;
        output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo("/opt").isDir() && qEnvironmentVariableIsSet("SV_SANDBOX_INSIDE"),
                 "this test lays files under /opt and runs only in the sandbox");
    }

    void init()
    {
        homeDir.reset(new QTemporaryDir);
        QVERIFY(homeDir->isValid());
        QDir(kOpt).removeRecursively();
        const QString qm = QFINDTESTDATA("foundation_ru.qm");
        const QString bin = QCoreApplication::applicationDirPath();
        QVERIFY(QFile::exists(bin + "/foundation_ru.qm"));
        QDir().mkpath(kOpt + "langs");
        QVERIFY(QFile::copy(bin + "/foundation_ru.qm", kOpt + "langs/svkey2_ru.qm"));
        QVERIFY(QFile::copy(bin + "/foundation_en.qm", kOpt + "langs/svkey2_en.qm"));
        Q_UNUSED(qm)
    }

    void firstStart()
    {
        QVERIFY2(child("firstStart") == 0, qPrintable(output));
        QVERIFY2(output.contains("Couldn't open file with pages info!"), qPrintable(output));
    }

    void themeOverridesOneKey()
    {
        writeFile(homePath() + "/.svkey2/.sv_gui_main_settings", "[Main]\nLang=Ru\nTheme=tall_theme\n");
        writeFile(kOpt + "themes/tall_theme", "[Theme]\nItemHeight=44\n");
        writeFile(kOpt + "themes/other_theme",
                  "[Theme]\nBackgroundColorOfPage=#112233\nPageBlockSpacing=17\nMenuButtonPressColor=notacolour\n");
        writeFile(kOpt + "themes/ignored.ini", "[Theme]\nItemHeight=99\n");
        QVERIFY2(child("themeOverridesOneKey") == 0, qPrintable(output));
    }

    void darkThemeWithoutThemes()
    {
        QVERIFY2(child("darkThemeWithoutThemes") == 0, qPrintable(output));
    }

    void migrationOfTheOldSettingsFile()
    {
        writeFile(homePath() + "/.svkey2", "[Main]\nLang=En\nRecordPerPage=20\n");
        QVERIFY2(child("migration") == 0, qPrintable(output));
        QVERIFY2(output.contains("Fixing old config file"), qPrintable(output));
    }

    void columnSettings()
    {
        QVERIFY2(child("columns") == 0, qPrintable(output));
    }

    void languageRoundTrip()
    {
        QVERIFY2(child("languageSwitch") == 0, qPrintable(output));
        QVERIFY2(child("languageAfterRestart") == 0, qPrintable(output));
    }

    void settingsOfOtherApplications()
    {
        writeFile(homePath() + "/.svm2/.sv_gui_main_settings",
                  "[Main]\nLang=En\nIdleTimeoutInMinutes=31\nSSLMode=require\n");
        QVERIFY2(child("otherApplications") == 0, qPrintable(output));
    }

    void settingsUsedByThisApplication()
    {
        QVERIFY2(child("settingsUse") == 0, qPrintable(output));
    }

    void settingsFolderNotCreatable()
    {
        // The home folder lies below a regular file: nothing can be created.
        writeFile(homePath() + "/plainfile", "x");
        QVERIFY2(child("folderNotCreatable", homePath() + "/plainfile/home") == 0, qPrintable(output));
        QVERIFY2(output.contains("coundn`t be created"), qPrintable(output));
    }

    void pageHints()
    {
        writeFile(kOpt + "info/pages_info",
                  QString::fromUtf8("[Hints]\nsize=2\n1\\pageName=welcome\n1\\pageTitle=Начало\n1\\pageInfo=Выберите язык\n"
                                    "2\\pageName=noTitle\n2\\pageInfo=text\n").toUtf8());
        QVERIFY2(child("pageHints") == 0, qPrintable(output));
        QVERIFY2(!output.contains("pages info"), qPrintable(output));
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
