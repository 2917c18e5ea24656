#include "guiconfig.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSettings>
#include <QTimeZone>

#include <cstdio>

namespace {

// Qt's own texts (standard buttons, the platform file dialog) follow the
// interface language: Qt's Russian catalogues are installed beside the
// tool's translation while the language is "Ru".
QTranslator& qtTranslator()
{
    static QTranslator translator;
    return translator;
}
bool qtTranslatorInstalled = false;

void applyQtTranslations(const QString& lang)
{
    if (!QCoreApplication::instance())
        return;
    if (qtTranslatorInstalled) {
        QCoreApplication::removeTranslator(&qtTranslator());
        qtTranslatorInstalled = false;
    }
    if (lang == QLatin1String("Ru")
        && qtTranslator().load(QStringLiteral("qt_ru"), QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        qtTranslatorInstalled = QCoreApplication::installTranslator(&qtTranslator());
}

struct LookValue
{
    enum Kind { Int, Text, Color };
    const char* key; // key in a theme file
    Kind kind;
    QVariant byDefault;
    QVariant dark;
};

// Every look value: its theme key, its default and its built-in dark value.
const QVector<LookValue>& lookTable()
{
    static const QVector<LookValue> table = {
        {"ItemHeight", LookValue::Int, QVariant(30), QVariant(30)},
        {"ItemSpacing", LookValue::Int, QVariant(5), QVariant(5)},
        {"ItemRadius", LookValue::Int, QVariant(5), QVariant(5)},
        {"ItemTextSize", LookValue::Int, QVariant(14), QVariant(14)},
        {"ItemTextFont", LookValue::Text, QVariant(QStringLiteral("System")), QVariant(QStringLiteral("System"))},
        {"TextColorOfDisabledItem1", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("#E4E4E4")))},
        {"TextColorOfEnabledItem1", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("#E4E4E4")))},
        {"TextColorOfDisabledItem2", LookValue::Color, QVariant(QColor(QStringLiteral("#D9D9D9"))),
            QVariant(QColor(QStringLiteral("#606060")))},
        {"TextColorOfEnabledItem2", LookValue::Color, QVariant(QColor(QStringLiteral("black"))),
            QVariant(QColor(QStringLiteral("#E4E4E4")))},
        {"TextColorOfDisabledItem3", LookValue::Color, QVariant(QColor(QStringLiteral("#D9D9D9"))),
            QVariant(QColor(QStringLiteral("#D9D9D9")))},
        {"TextColorOfEnabledItem3", LookValue::Color, QVariant(QColor(QStringLiteral("#00757A"))),
            QVariant(QColor(QStringLiteral("#2EC4A6")))},
        {"TextColorOfDisabledItem4", LookValue::Color, QVariant(QColor(QStringLiteral("#D9D9D9"))),
            QVariant(QColor(QStringLiteral("#D9D9D9")))},
        {"TextColorOfEnabledItem4", LookValue::Color, QVariant(QColor(QStringLiteral("#767676"))),
            QVariant(QColor(QStringLiteral("#B0B0B0")))},
        {"FrameColorOfItem", LookValue::Color, QVariant(QColor(QStringLiteral("#878787"))),
            QVariant(QColor(QStringLiteral("#D9D9D9")))},
        {"BackgroundColorOfDefaultItem", LookValue::Color, QVariant(QColor(QStringLiteral("#00757A"))),
            QVariant(QColor(QStringLiteral("#00705F")))},
        {"BackgroundColorOfDisabledItem", LookValue::Color, QVariant(QColor(QStringLiteral("#D9D9D9"))),
            QVariant(QColor(QStringLiteral("#606060")))},
        {"BackgroundColorOfHoverItem", LookValue::Color, QVariant(QColor(QStringLiteral("#1F8085"))),
            QVariant(QColor(QStringLiteral("#005F50")))},
        {"BackgroundColorOfClickedItem", LookValue::Color, QVariant(QColor(QStringLiteral("#005B60"))),
            QVariant(QColor(QStringLiteral("#006252")))},
        {"BackgroundColorOfItemInput", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("transparent")))},
        {"BackgroundColorOfItemLabel", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("transparent")))},
        {"BackgroundColorOfHeader", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("#272727")))},
        {"LineColorOfHeaderDelimetr", LookValue::Color, QVariant(QColor(QStringLiteral("gray"))),
            QVariant(QColor(QStringLiteral("#404040")))},
        {"HeaderHeight", LookValue::Int, QVariant(50), QVariant(50)},
        {"HeaderDelimetrLineHeight", LookValue::Int, QVariant(0), QVariant(1)},
        {"HeaderImagePath", LookValue::Text, QVariant(QStringLiteral("qrc:/common_gui/rc/images/logo.svg")),
            QVariant(QStringLiteral("qrc:/common_gui/rc/images/logo.svg"))},
        {"HeaderSmallImagePath", LookValue::Text, QVariant(QStringLiteral("qrc:/common_gui/rc/images/logoSmall.svg")),
            QVariant(QStringLiteral("qrc:/common_gui/rc/images/logoSmall.svg"))},
        {"AboutSarvelinImagePath", LookValue::Text, QVariant(QStringLiteral("qrc:/common_gui/rc/images/logo.svg")),
            QVariant(QStringLiteral("qrc:/common_gui/rc/images/logo.svg"))},
        {"MenuWidth", LookValue::Int, QVariant(210), QVariant(210)},
        {"MenuSmallWidth", LookValue::Int, QVariant(40), QVariant(40)},
        {"MenuTopSpaceHeight", LookValue::Int, QVariant(30), QVariant(30)},
        {"MenuBackgroundColor", LookValue::Color, QVariant(QColor(QStringLiteral("#00757A"))),
            QVariant(QColor(QStringLiteral("#272727")))},
        {"MenuWarningColor", LookValue::Color, QVariant(QColor(QStringLiteral("#BF3B24"))),
            QVariant(QColor(QStringLiteral("#BF3B24")))},
        {"MenuButtonHeight", LookValue::Int, QVariant(40), QVariant(40)},
        {"MenuButtonMarkerWidth", LookValue::Int, QVariant(5), QVariant(5)},
        {"MenuButtonTextSize", LookValue::Int, QVariant(16), QVariant(16)},
        {"TextColorOfMenuButton", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("#E4E4E4")))},
        {"IconColorOfMenuButton", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("#E4E4E4")))},
        {"MenuButtonDefaultColor", LookValue::Color, QVariant(QColor(QStringLiteral("transparent"))),
            QVariant(QColor(QStringLiteral("transparent")))},
        {"MenuButtonUnderMouseColor", LookValue::Color, QVariant(QColor(QStringLiteral("#22898E"))),
            QVariant(QColor(QStringLiteral("#009B82")))},
        {"MenuButtonPressColor", LookValue::Color, QVariant(QColor(QStringLiteral("#005B60"))),
            QVariant(QColor(QStringLiteral("#006252")))},
        {"MenuButtonSelectedColor", LookValue::Color, QVariant(QColor(QStringLiteral("#22898E"))),
            QVariant(QColor(QStringLiteral("#009B82")))},
        {"MenuButtonSelectedMarkerColor", LookValue::Color, QVariant(QColor(QStringLiteral("#005B60"))),
            QVariant(QColor(QStringLiteral("#006252")))},
        {"MenuButtonDefaultMarkerColor", LookValue::Color, QVariant(QColor(QStringLiteral("transparent"))),
            QVariant(QColor(QStringLiteral("transparent")))},
        {"PageBlockSpacing", LookValue::Int, QVariant(10), QVariant(10)},
        {"MarginsSizeOfPageBlock", LookValue::Int, QVariant(15), QVariant(15)},
        {"BlockRadius", LookValue::Int, QVariant(5), QVariant(5)},
        {"WidthOfPageGridColumn", LookValue::Int, QVariant(500), QVariant(700)},
        {"BackgroundColorOfPage", LookValue::Color, QVariant(QColor(QStringLiteral("#F2F2F2"))),
            QVariant(QColor(QStringLiteral("#303030")))},
        {"BackgroundColorOfPageBlock", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("#404040")))},
        {"TextColorOfBlockHeader", LookValue::Color, QVariant(QColor(QStringLiteral("#00757A"))),
            QVariant(QColor(QStringLiteral("#E4E4E4")))},
        {"TableViewHeaderColor", LookValue::Color, QVariant(QColor(QStringLiteral("#00757A"))),
            QVariant(QColor(QStringLiteral("#00705F")))},
        {"TableViewRowColor", LookValue::Color, QVariant(QColor(QStringLiteral("white"))),
            QVariant(QColor(QStringLiteral("#404040")))},
        {"TableViewSelectedRowColor", LookValue::Color, QVariant(QColor(QStringLiteral("#C8C8C8"))),
            QVariant(QColor(QStringLiteral("#606060")))},
        {"TableViewHoveredRowColor", LookValue::Color, QVariant(QColor(QStringLiteral("#C8C8C8"))),
            QVariant(QColor(QStringLiteral("#606060")))},
        {"TableViewRowBorderColor", LookValue::Color, QVariant(QColor(QStringLiteral("lightGray"))),
            QVariant(QColor(QStringLiteral("#D9D9D9")))},
        {"TableViewBorderWidth", LookValue::Int, QVariant(1), QVariant(1)},
        {"TableViewRowHeight", LookValue::Int, QVariant(30), QVariant(30)},
        {"BackgroundColorOfHoverTableButton", LookValue::Color, QVariant(QColor(QStringLiteral("#D9D9D9"))),
            QVariant(QColor(QStringLiteral("#606060")))},
        {"BackgroundColorOfClickedTableButton", LookValue::Color, QVariant(QColor(QStringLiteral("#BFBFBF"))),
            QVariant(QColor(QStringLiteral("#404040")))},
        {"BackgroundColorOfScrollbarTrack", LookValue::Color, QVariant(QColor(QStringLiteral("#F2F2F2"))),
            QVariant(QColor(QStringLiteral("#606060")))},
        {"BackgroundColorOfScrollbarHandle", LookValue::Color, QVariant(QColor(QStringLiteral("#BFBFBF"))),
            QVariant(QColor(QStringLiteral("#303030")))},
        {"FrameColorOfScrollbar", LookValue::Color, QVariant(QColor(QStringLiteral("#D9D9D9"))),
            QVariant(QColor(QStringLiteral("#7F7F7F")))},
        {"BackgroundColorOfScrollbarArrow", LookValue::Color, QVariant(QColor(QStringLiteral("#BFBFBF"))),
            QVariant(QColor(QStringLiteral("#303030")))},
    };
    return table;
}

// Which applications read and write each main setting.
struct SettingUse
{
    const char* key;
    QVector<GuiConfig::App> apps;
};

const QVector<SettingUse>& settingsTable()
{
    using A = GuiConfig;
    static const QVector<SettingUse> table = {
        {"Lang", {A::svm, A::svc, A::svkey, A::svinit}},
        {"Theme", {A::svm, A::svc, A::svkey, A::svinit}},
        {"LogsLevel", {A::svm, A::svc, A::svkey, A::svinit}},
        {"ExperimentalLogic", {A::svm, A::svc, A::svkey, A::svinit}},
        {"InfoHints", {A::svm, A::svc, A::svkey, A::svinit}},
        {"RecordPerPage", {A::svm, A::svc, A::svkey, A::svinit}},
        {"UpdateTablePeriod", {A::svm, A::svc, A::svkey, A::svinit}},
        {"Hostname", {A::svm}},
        {"Username", {A::svm}},
        {"UsernameWithDomain", {A::svm}},
        {"SSLMode", {A::svm}},
        {"UseMsAdAuthByDefault", {A::svm}},
        {"ExitWithoutConfirmation", {A::svm, A::svc}},
        {"SessionIsBlocked", {A::svm, A::svc}},
        {"IdleTimeoutInMinutes", {A::svm, A::svc}},
    };
    return table;
}

const char* const kMainGroup = "Main";
const char* const kThemeGroup = "Theme";

void printToStderr(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

unsigned int saneIdleTimeout(unsigned int minutes)
{
    return (minutes < 5 || minutes > 30) ? 5 : minutes;
}

} // namespace

GuiConfig* GuiConfig::instance = nullptr;

void GuiConfig::init(App app)
{
    Q_ASSERT_X(!instance, "GuiConfig::init", "!instance");
    if (instance) {
        qCritical() << "GuiConfig::init called twice; the settings already loaded stay";
        return;
    }
    instance = new GuiConfig(app);
}

GuiConfig* GuiConfig::getInstance()
{
    Q_ASSERT_X(instance, "GuiConfig::getInstance", "GuiConfig::init must be called first");
    return instance;
}

QString GuiConfig::appName(App app)
{
    switch (app) {
    case svm:
        return QStringLiteral("svm2");
    case svc:
        return QStringLiteral("svc2");
    case svkey:
        return QStringLiteral("svkey2");
    case svinit:
        return QStringLiteral("sv_init2");
    }
    return QString();
}

GuiConfig::GuiConfig(App app, QObject* parent)
    : QObject(parent)
    , m_app(app)
{
    setDefaults();
    loadMain();
    loadThemesList();
    loadTheme();
    loadPagesInfo();
}

QString GuiConfig::getConfigFolder() const
{
    return QDir::homePath() + "/." + appName(m_app) + "/";
}

QString GuiConfig::mainSettingsFile() const
{
    return getConfigFolder() + ".sv_gui_main_settings";
}

QString GuiConfig::columnSettingsFile() const
{
    return getConfigFolder() + ".sv_gui_column_settings";
}

QString GuiConfig::themesFolder()
{
    return QStringLiteral("/opt/sarvelin/gui/rc/themes/");
}

QString GuiConfig::langsFolder()
{
    return QStringLiteral("/opt/sarvelin/gui/rc/langs/");
}

QString GuiConfig::pagesInfoFile()
{
    return QStringLiteral("/opt/sarvelin/gui/rc/info/pages_info");
}

bool GuiConfig::usesSetting(const QString& key) const
{
    for (const SettingUse& use : settingsTable()) {
        if (key == QLatin1String(use.key))
            return use.apps.contains(m_app);
    }
    return false;
}

void GuiConfig::checkApp(const char* key) const
{
    Q_ASSERT_X(usesSetting(QLatin1String(key)), key, "Wrong type of app");
    if (!usesSetting(QLatin1String(key)))
        qWarning() << "Wrong type of app:" << appName(m_app) << "does not use the setting" << key;
}

void GuiConfig::setDefaults()
{
    look.clear();
    for (const LookValue& v : lookTable())
        look.insert(QLatin1String(v.key), v.byDefault);
    m_theme = QStringLiteral("default_theme");
    m_sslMode = QStringLiteral("allow");
    m_infoHints = true;
    m_showPrevLoginDialog = true;
    m_idleTimeout = 5;
    m_updateTablePeriod = 5;
    m_recordsPerPage = 50;
    m_logsLevel = 0;
    m_experimentalLogic = false;
    m_useMsAdAuthByDefault = false;
    m_exitWithoutConfirmation = false;
    m_sessionBlocking = false;
    m_hostname.clear();
    m_username.clear();
    m_usernameWithDomain.clear();
    m_lang.clear();
}

// --- main settings

void GuiConfig::migrateOldSettingsFile()
{
    QString folder = getConfigFolder();
    folder.chop(1);
    const QFileInfo old(folder);
    if (!old.exists() || old.isDir())
        return;

    printToStderr(QStringLiteral("Fixing old config file"));
    const QString saved = folder + QDateTime::currentDateTime().toString("_dd.MM.yyyy_hh:mm:ss.zzz");
    if (!QFile::copy(folder, saved) || !QFile::remove(folder)) {
        printToStderr("Can't move file: " + folder + " to " + saved);
        return;
    }
    if (!QDir().mkpath(folder)) {
        printToStderr("Can't create folder: " + folder);
        return;
    }
    if (!QFile::copy(saved, mainSettingsFile())) {
        printToStderr("Can't copy file: " + saved);
        return;
    }
}

void GuiConfig::loadMain()
{
    migrateOldSettingsFile();

    if (!QFileInfo::exists(mainSettingsFile())) {
        setLang(QStringLiteral("Ru"));
        saveMain();
        return;
    }

    QSettings s(mainSettingsFile(), QSettings::IniFormat);
    s.beginGroup(kMainGroup);
    const QString lang = s.value("Lang", m_lang).toString();
    m_theme = s.value("Theme", m_theme).toString();
    m_logsLevel = s.value("LogsLevel", m_logsLevel).toInt();
    m_experimentalLogic = s.value("ExperimentalLogic", m_experimentalLogic).toBool();
    m_infoHints = s.value("InfoHints", m_infoHints).toBool();
    m_recordsPerPage = s.value("RecordPerPage", m_recordsPerPage).toInt();
    m_updateTablePeriod = s.value("UpdateTablePeriod", m_updateTablePeriod).toInt();
    if (m_app == svm) {
        m_hostname = s.value("Hostname", m_hostname).toString();
        m_username = s.value("Username", m_username).toString();
        m_usernameWithDomain = s.value("UsernameWithDomain", m_usernameWithDomain).toString();
        m_sslMode = s.value("SSLMode", m_sslMode).toString();
        m_useMsAdAuthByDefault = s.value("UseMsAdAuthByDefault", m_useMsAdAuthByDefault).toBool();
    }
    if (m_app == svm || m_app == svc) {
        m_exitWithoutConfirmation = s.value("ExitWithoutConfirmation", m_exitWithoutConfirmation).toBool();
        m_sessionBlocking = s.value("SessionIsBlocked", m_sessionBlocking).toBool();
        m_idleTimeout = saneIdleTimeout(s.value("IdleTimeoutInMinutes", m_idleTimeout).toUInt());
        emit sessionBlockingChanged(m_sessionBlocking);
    }
    s.endGroup();

    setLang(lang);

    if (m_logsLevel > 0) {
        qDebug() << "Main settings:"
                 << "Lang" << m_lang << "Theme" << m_theme << "LogsLevel" << m_logsLevel << "ExperimentalLogic"
                 << m_experimentalLogic << "InfoHints" << m_infoHints << "RecordPerPage" << m_recordsPerPage
                 << "UpdateTablePeriod" << m_updateTablePeriod;
    }
}

void GuiConfig::saveMain()
{
    const QString folder = getConfigFolder();
    if (!QDir().mkpath(folder)) {
        qWarning().noquote() << folder << "coundn`t be created";
        return;
    }

    QSettings s(mainSettingsFile(), QSettings::IniFormat);
    s.beginGroup(kMainGroup);
    s.setValue("Lang", m_lang);
    s.setValue("Theme", m_theme);
    s.setValue("LogsLevel", m_logsLevel);
    s.setValue("ExperimentalLogic", m_experimentalLogic);
    s.setValue("InfoHints", m_infoHints);
    s.setValue("RecordPerPage", m_recordsPerPage);
    s.setValue("UpdateTablePeriod", m_updateTablePeriod);
    if (m_app == svm) {
        s.setValue("Hostname", m_hostname);
        s.setValue("Username", m_username);
        s.setValue("UsernameWithDomain", m_usernameWithDomain);
        s.setValue("SSLMode", m_sslMode);
        s.setValue("UseMsAdAuthByDefault", m_useMsAdAuthByDefault);
    }
    if (m_app == svm || m_app == svc) {
        s.setValue("ExitWithoutConfirmation", m_exitWithoutConfirmation);
        s.setValue("SessionIsBlocked", m_sessionBlocking);
        s.setValue("IdleTimeoutInMinutes", m_idleTimeout);
    }
    s.endGroup();
    s.sync();
    if (s.status() != QSettings::NoError)
        qWarning() << "Can't write the settings file" << mainSettingsFile();
}

// --- language

void GuiConfig::setLang(const QString& lang)
{
    QString file;
    if (lang == QLatin1String("Ru"))
        file = langsFolder() + appName(m_app) + "_ru.qm";
    else if (lang == QLatin1String("En"))
        file = langsFolder() + appName(m_app) + "_en.qm";

    bool loaded = false;
    if (!file.isEmpty() && translator.load(file)) {
        loaded = true;
        if (QCoreApplication::instance()) {
            // Re-install so the fresh translation is consulted first.
            if (translatorInstalled)
                QCoreApplication::removeTranslator(&translator);
            translatorInstalled = QCoreApplication::installTranslator(&translator);
        }
    }
    if (!loaded && translatorInstalled) {
        // No translation for the new language: the old one must not stay active.
        QCoreApplication::removeTranslator(&translator);
        translatorInstalled = false;
    }
    applyQtTranslations(lang);

    emit retranslated(lang != m_lang);
    m_lang = lang;
}

// --- themes

bool GuiConfig::isUseShader() const
{
    return !m_themesList.isEmpty() || m_app == svkey || m_app == svinit;
}

void GuiConfig::applyDarkTheme()
{
    for (const LookValue& v : lookTable())
        look.insert(QLatin1String(v.key), v.dark);
}

void GuiConfig::loadThemesList()
{
    m_themesList
        = QDir(themesFolder())
              .entryList(QStringList {QStringLiteral("*_theme")}, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    if (m_logsLevel > 0)
        qDebug() << "Themes list:" << m_themesList;
}

void GuiConfig::loadTheme()
{
    if (!isUseShader()) {
        applyDarkTheme();
        return;
    }
    const QString file = themesFolder() + m_theme;
    if (!QFileInfo(file).isFile())
        return;

    QSettings s(file, QSettings::IniFormat);
    s.beginGroup(kThemeGroup);
    for (const LookValue& v : lookTable()) {
        const QString key = QLatin1String(v.key);
        if (!s.contains(key))
            continue;
        switch (v.kind) {
        case LookValue::Int: {
            bool ok = false;
            const int value = s.value(key).toInt(&ok);
            if (ok)
                look.insert(key, value);
            else
                qWarning() << "Theme" << m_theme << ": not a number for" << key;
            break;
        }
        case LookValue::Text:
            look.insert(key, s.value(key).toString());
            break;
        case LookValue::Color: {
            // A colour name such as "#00757A" or "white"; INI lists of
            // several values are not colours.
            const QColor colour(s.value(key).toString());
            if (colour.isValid())
                look.insert(key, colour);
            else
                qWarning() << "Theme" << m_theme << ": not a colour for" << key;
            break;
        }
        }
    }
    s.endGroup();
}

void GuiConfig::setTheme(const QString& name)
{
    m_theme = name;
    loadTheme();
}

// --- column settings

QVariantList GuiConfig::loadColumnsViewParameters(const QString& name) const
{
    Q_ASSERT_X(!name.isEmpty(), "GuiConfig::loadColumnsViewParameters", "!name.isEmpty()");
    QVariantList result;
    if (name.isEmpty() || !QFileInfo::exists(columnSettingsFile()))
        return result;

    QSettings s(columnSettingsFile(), QSettings::IniFormat);
    const int size = s.beginReadArray(name);
    for (int i = 0; i < size; ++i) {
        s.setArrayIndex(i);
        result.append(s.value("arg" + QString::number(i + 1), true).toBool());
    }
    s.endArray();
    return result;
}

void GuiConfig::saveColumnsViewParameters(const QString& name, const QVariantList& args)
{
    Q_ASSERT_X(!name.isEmpty(), "GuiConfig::saveColumnsViewParameters", "!name.isEmpty()");
    if (name.isEmpty() || !QDir().mkpath(getConfigFolder()))
        return;

    QSettings s(columnSettingsFile(), QSettings::IniFormat);
    s.beginWriteArray(name, args.size());
    for (int i = 0; i < args.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue("arg" + QString::number(i + 1), args.at(i).toBool());
    }
    s.endArray();
}

QVariantMap GuiConfig::loadColumnsPositions(const QString& name) const
{
    QVariantMap result;
    if (name.isEmpty() || !QFileInfo::exists(columnSettingsFile()))
        return result;

    QSettings s(columnSettingsFile(), QSettings::IniFormat);
    s.beginGroup(name);
    s.beginGroup("Positions");
    for (const QString& key : s.childKeys()) {
        if (key.startsWith("col"))
            result.insert(key.mid(3), s.value(key).toInt());
    }
    s.endGroup();
    s.endGroup();
    return result;
}

void GuiConfig::saveColumnPosition(const QString& name, const QString& role, int position)
{
    if (name.isEmpty() || !QDir().mkpath(getConfigFolder()))
        return;

    QSettings s(columnSettingsFile(), QSettings::IniFormat);
    s.beginGroup(name);
    s.beginGroup("Positions");
    s.setValue("col" + role, position);
    s.endGroup();
    s.endGroup();
}

// --- page hints

void GuiConfig::loadPagesInfo()
{
    pagesInfo.clear();
    if (!QFileInfo::exists(pagesInfoFile()))
        qWarning() << "Couldn't open file with pages info!";

    QSettings s(pagesInfoFile(), QSettings::IniFormat);
    s.setIniCodec("UTF-8");
    const int size = s.beginReadArray("Hints");
    if (size == 0)
        qWarning() << "Wrong size of file with pages info!";
    for (int i = 0; i < size; ++i) {
        s.setArrayIndex(i);
        const QString page = s.value("pageName").toString();
        const QString title = s.value("pageTitle", tr("Help")).toString();
        const QString info = s.value("pageInfo").toString();
        pagesInfo.insert(page, qMakePair(title, info));
    }
    s.endArray();
}

QStringList GuiConfig::getPageInfo(const QString& name) const
{
    const auto it = pagesInfo.constFind(name);
    if (it == pagesInfo.constEnd())
        return QStringList {QString(), QString()};
    return QStringList {it->first, it->second};
}

// --- other main settings

int GuiConfig::updateTablePeriod() const
{
    checkApp("UpdateTablePeriod");
    return m_updateTablePeriod;
}
void GuiConfig::setUpdateTablePeriod(int seconds)
{
    checkApp("UpdateTablePeriod");
    m_updateTablePeriod = seconds;
}
int GuiConfig::recordsPerPage() const
{
    checkApp("RecordPerPage");
    return m_recordsPerPage;
}
void GuiConfig::setRecordsPerPage(int records)
{
    checkApp("RecordPerPage");
    m_recordsPerPage = records;
}
bool GuiConfig::experimentalLogic() const
{
    checkApp("ExperimentalLogic");
    return m_experimentalLogic;
}
bool GuiConfig::infoHints() const
{
    checkApp("InfoHints");
    return m_infoHints;
}
QString GuiConfig::getSSLMode() const
{
    checkApp("SSLMode");
    return m_sslMode;
}
QString GuiConfig::hostname() const
{
    checkApp("Hostname");
    return m_hostname;
}
void GuiConfig::setHostname(const QString& value)
{
    checkApp("Hostname");
    m_hostname = value;
}
QString GuiConfig::username() const
{
    checkApp("Username");
    return m_username;
}
void GuiConfig::setUsername(const QString& value)
{
    checkApp("Username");
    m_username = value;
}
QString GuiConfig::usernameWithDomain() const
{
    checkApp("UsernameWithDomain");
    return m_usernameWithDomain;
}
void GuiConfig::setUsernameWithDomain(const QString& value)
{
    checkApp("UsernameWithDomain");
    m_usernameWithDomain = value;
}
bool GuiConfig::exitWithoutConfirmation() const
{
    checkApp("ExitWithoutConfirmation");
    return m_exitWithoutConfirmation;
}
bool GuiConfig::sessionBlocking() const
{
    checkApp("SessionIsBlocked");
    return m_sessionBlocking;
}
unsigned int GuiConfig::idleTimeout() const
{
    checkApp("IdleTimeoutInMinutes");
    return m_idleTimeout;
}
bool GuiConfig::getUseMsAdAuthByDefault() const
{
    checkApp("UseMsAdAuthByDefault");
    return m_useMsAdAuthByDefault;
}

void GuiConfig::setExperimentalLogic(bool value)
{
    checkApp("ExperimentalLogic");
    if (m_experimentalLogic == value)
        return;
    m_experimentalLogic = value;
    saveMain();
    emit experimentalLogicChanged();
}

void GuiConfig::setInfoHints(bool value)
{
    checkApp("InfoHints");
    if (m_infoHints == value)
        return;
    m_infoHints = value;
    saveMain();
    emit infoHintsChanged();
}

void GuiConfig::setSSLMode(const QString& mode)
{
    checkApp("SSLMode");
    if (m_sslMode == mode)
        return;
    m_sslMode = mode;
    saveMain();
}

void GuiConfig::setUseMsAdAuthByDefault(bool value)
{
    checkApp("UseMsAdAuthByDefault");
    if (m_useMsAdAuthByDefault == value)
        return;
    m_useMsAdAuthByDefault = value;
    saveMain();
}

void GuiConfig::setExitWithoutConfirmation(bool value)
{
    checkApp("ExitWithoutConfirmation");
    if (m_exitWithoutConfirmation == value)
        return;
    m_exitWithoutConfirmation = value;
    saveMain();
}

void GuiConfig::setSessionBlocking(bool value)
{
    checkApp("SessionIsBlocked");
    if (m_sessionBlocking == value)
        return;
    m_sessionBlocking = value;
    saveMain();
    emit sessionBlockingChanged(m_sessionBlocking);
}

void GuiConfig::setIdleTimeout(unsigned int minutes)
{
    checkApp("IdleTimeoutInMinutes");
    minutes = saneIdleTimeout(minutes);
    if (m_idleTimeout == minutes)
        return;
    m_idleTimeout = minutes;
    saveMain();
    emit idleTimeoutChanged();
}

QString GuiConfig::timeZone() const
{
    return QString::fromUtf8(QTimeZone::systemTimeZoneId());
}
