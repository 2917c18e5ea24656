#ifndef GUICONFIG_H
#define GUICONFIG_H

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// Settings of the suite's graphical applications: the per-user settings
// folder, the main settings file (language and a few switches), the
// interface language, the look of every page (sizes, font, colours,
// optionally replaced from a theme file) and the stored column settings of
// tables. One instance per process, created by init() before any use.
class GuiConfig : public QObject
{
    Q_OBJECT
public:
    enum App { svm = 0, svc = 1, svkey = 2, svinit = 3 };
    Q_ENUM(App)

    static void init(App app);
    static GuiConfig* getInstance();
    // "svm2", "svc2", "svkey2", "sv_init2".
    static QString appName(App app);

    // Folder of the settings (and of the GUI log): home, "/.", app name, "/".
    Q_INVOKABLE QString getConfigFolder() const;
    QString mainSettingsFile() const;
    QString columnSettingsFile() const;
    static QString themesFolder();
    static QString langsFolder();
    static QString pagesInfoFile();

    Q_INVOKABLE int usingApp() const { return m_app; }
    // Whether the running application reads and writes the main setting `key`.
    bool usesSetting(const QString& key) const;

    // --- language
    Q_INVOKABLE QString lang() const { return m_lang; }
    Q_INVOKABLE void setLang(const QString& lang);

    // --- themes
    Q_INVOKABLE QString theme() const { return m_theme; }
    Q_INVOKABLE void setTheme(const QString& name);
    Q_INVOKABLE QStringList themesList() const { return m_themesList; }
    Q_INVOKABLE bool isUseShader() const;
    Q_INVOKABLE void applyDarkTheme();

    // --- column settings of tables
    Q_INVOKABLE QVariantList loadColumnsViewParameters(const QString& name) const;
    Q_INVOKABLE void saveColumnsViewParameters(const QString& name, const QVariantList& args);
    Q_INVOKABLE QVariantMap loadColumnsPositions(const QString& name) const;
    Q_INVOKABLE void saveColumnPosition(const QString& name, const QString& role, int position);

    // --- page hints: getPageInfo returns [title, text] for a page name
    Q_INVOKABLE void loadPagesInfo();
    Q_INVOKABLE QStringList getPageInfo(const QString& name) const;

    Q_INVOKABLE void saveMain();

    // --- look values (theme keys are in the table of guiconfig.cpp), one
    // accessor per line as a table
    // clang-format off
    Q_INVOKABLE int itemHeight() const { return look.value(QStringLiteral("ItemHeight")).toInt(); }
    Q_INVOKABLE int itemSpacing() const { return look.value(QStringLiteral("ItemSpacing")).toInt(); }
    Q_INVOKABLE int itemRadius() const { return look.value(QStringLiteral("ItemRadius")).toInt(); }
    Q_INVOKABLE int itemTextSize() const { return look.value(QStringLiteral("ItemTextSize")).toInt(); }
    Q_INVOKABLE QString itemTextFont() const { return look.value(QStringLiteral("ItemTextFont")).toString(); }
    Q_INVOKABLE QColor textColorOfDisabledItem1() const { return look.value(QStringLiteral("TextColorOfDisabledItem1")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfEnabledItem1() const { return look.value(QStringLiteral("TextColorOfEnabledItem1")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfDisabledItem2() const { return look.value(QStringLiteral("TextColorOfDisabledItem2")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfEnabledItem2() const { return look.value(QStringLiteral("TextColorOfEnabledItem2")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfDisabledItem3() const { return look.value(QStringLiteral("TextColorOfDisabledItem3")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfEnabledItem3() const { return look.value(QStringLiteral("TextColorOfEnabledItem3")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfDisabledItem4() const { return look.value(QStringLiteral("TextColorOfDisabledItem4")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfEnabledItem4() const { return look.value(QStringLiteral("TextColorOfEnabledItem4")).value<QColor>(); }
    Q_INVOKABLE QColor frameColorOfItem() const { return look.value(QStringLiteral("FrameColorOfItem")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfDefaultItem() const { return look.value(QStringLiteral("BackgroundColorOfDefaultItem")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfDisabledItem() const { return look.value(QStringLiteral("BackgroundColorOfDisabledItem")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfHoverItem() const { return look.value(QStringLiteral("BackgroundColorOfHoverItem")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfClickedItem() const { return look.value(QStringLiteral("BackgroundColorOfClickedItem")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfItemInput() const { return look.value(QStringLiteral("BackgroundColorOfItemInput")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfItemLabel() const { return look.value(QStringLiteral("BackgroundColorOfItemLabel")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfHeader() const { return look.value(QStringLiteral("BackgroundColorOfHeader")).value<QColor>(); }
    Q_INVOKABLE QColor lineColorOfHeaderDelimetr() const { return look.value(QStringLiteral("LineColorOfHeaderDelimetr")).value<QColor>(); }
    Q_INVOKABLE int headerHeight() const { return look.value(QStringLiteral("HeaderHeight")).toInt(); }
    Q_INVOKABLE int headerDelimetrLineHeight() const { return look.value(QStringLiteral("HeaderDelimetrLineHeight")).toInt(); }
    Q_INVOKABLE QString headerImagePath() const { return look.value(QStringLiteral("HeaderImagePath")).toString(); }
    Q_INVOKABLE QString headerSmallImagePath() const { return look.value(QStringLiteral("HeaderSmallImagePath")).toString(); }
    Q_INVOKABLE QString aboutSarvelinImagePath() const { return look.value(QStringLiteral("AboutSarvelinImagePath")).toString(); }
    Q_INVOKABLE int menuWidth() const { return look.value(QStringLiteral("MenuWidth")).toInt(); }
    Q_INVOKABLE int menuSmallWidth() const { return look.value(QStringLiteral("MenuSmallWidth")).toInt(); }
    Q_INVOKABLE int menuTopSpaceHeight() const { return look.value(QStringLiteral("MenuTopSpaceHeight")).toInt(); }
    Q_INVOKABLE QColor menuBackgroundColor() const { return look.value(QStringLiteral("MenuBackgroundColor")).value<QColor>(); }
    Q_INVOKABLE QColor menuWarningColor() const { return look.value(QStringLiteral("MenuWarningColor")).value<QColor>(); }
    Q_INVOKABLE int menuButtonHeight() const { return look.value(QStringLiteral("MenuButtonHeight")).toInt(); }
    Q_INVOKABLE int menuButtonMarkerWidth() const { return look.value(QStringLiteral("MenuButtonMarkerWidth")).toInt(); }
    Q_INVOKABLE int menuButtonTextSize() const { return look.value(QStringLiteral("MenuButtonTextSize")).toInt(); }
    Q_INVOKABLE QColor textColorOfMenuButton() const { return look.value(QStringLiteral("TextColorOfMenuButton")).value<QColor>(); }
    Q_INVOKABLE QColor iconColorOfMenuButton() const { return look.value(QStringLiteral("IconColorOfMenuButton")).value<QColor>(); }
    Q_INVOKABLE QColor menuButtonDefaultColor() const { return look.value(QStringLiteral("MenuButtonDefaultColor")).value<QColor>(); }
    Q_INVOKABLE QColor menuButtonUnderMouseColor() const { return look.value(QStringLiteral("MenuButtonUnderMouseColor")).value<QColor>(); }
    Q_INVOKABLE QColor menuButtonPressColor() const { return look.value(QStringLiteral("MenuButtonPressColor")).value<QColor>(); }
    Q_INVOKABLE QColor menuButtonSelectedColor() const { return look.value(QStringLiteral("MenuButtonSelectedColor")).value<QColor>(); }
    Q_INVOKABLE QColor menuButtonSelectedMarkerColor() const { return look.value(QStringLiteral("MenuButtonSelectedMarkerColor")).value<QColor>(); }
    Q_INVOKABLE QColor menuButtonDefaultMarkerColor() const { return look.value(QStringLiteral("MenuButtonDefaultMarkerColor")).value<QColor>(); }
    Q_INVOKABLE int spacingOfPageBlock() const { return look.value(QStringLiteral("PageBlockSpacing")).toInt(); }
    Q_INVOKABLE int marginsSizeOfPageBlock() const { return look.value(QStringLiteral("MarginsSizeOfPageBlock")).toInt(); }
    Q_INVOKABLE int blockRadius() const { return look.value(QStringLiteral("BlockRadius")).toInt(); }
    Q_INVOKABLE int widthOfPageGridColumn() const { return look.value(QStringLiteral("WidthOfPageGridColumn")).toInt(); }
    Q_INVOKABLE QColor backgroundColorOfPage() const { return look.value(QStringLiteral("BackgroundColorOfPage")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfPageBlock() const { return look.value(QStringLiteral("BackgroundColorOfPageBlock")).value<QColor>(); }
    Q_INVOKABLE QColor textColorOfBlockHeader() const { return look.value(QStringLiteral("TextColorOfBlockHeader")).value<QColor>(); }
    Q_INVOKABLE QColor tableViewHeaderColor() const { return look.value(QStringLiteral("TableViewHeaderColor")).value<QColor>(); }
    Q_INVOKABLE QColor tableViewRowColor() const { return look.value(QStringLiteral("TableViewRowColor")).value<QColor>(); }
    Q_INVOKABLE QColor tableViewSelectedRowColor() const { return look.value(QStringLiteral("TableViewSelectedRowColor")).value<QColor>(); }
    Q_INVOKABLE QColor tableViewHoveredRowColor() const { return look.value(QStringLiteral("TableViewHoveredRowColor")).value<QColor>(); }
    Q_INVOKABLE QColor tableViewRowBorderColor() const { return look.value(QStringLiteral("TableViewRowBorderColor")).value<QColor>(); }
    Q_INVOKABLE int tableViewBorderWidth() const { return look.value(QStringLiteral("TableViewBorderWidth")).toInt(); }
    Q_INVOKABLE int tableViewRowHeight() const { return look.value(QStringLiteral("TableViewRowHeight")).toInt(); }
    Q_INVOKABLE QColor backgroundColorOfHoverTableButton() const { return look.value(QStringLiteral("BackgroundColorOfHoverTableButton")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfClickedTableButton() const { return look.value(QStringLiteral("BackgroundColorOfClickedTableButton")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfScrollbarTrack() const { return look.value(QStringLiteral("BackgroundColorOfScrollbarTrack")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfScrollbarHandle() const { return look.value(QStringLiteral("BackgroundColorOfScrollbarHandle")).value<QColor>(); }
    Q_INVOKABLE QColor frameColorOfScrollbar() const { return look.value(QStringLiteral("FrameColorOfScrollbar")).value<QColor>(); }
    Q_INVOKABLE QColor backgroundColorOfScrollbarArrow() const { return look.value(QStringLiteral("BackgroundColorOfScrollbarArrow")).value<QColor>(); }
    // clang-format on
    // Fixed look values that no theme changes.
    Q_INVOKABLE int itemBorderWidth() const { return 1; }
    Q_INVOKABLE int scrollWidth() const { return 2; }
    Q_INVOKABLE int itemHeightWithSpacings() const { return itemHeight() + 2 * itemSpacing(); }
    Q_INVOKABLE QColor colorOfErrorStatus() const { return QColor(0xF2, 0xB2, 0xB2); }
    Q_INVOKABLE QColor borderColorOfErrorStatus() const { return QColor(0xEF, 0x2D, 0x49); }
    Q_INVOKABLE QColor colorOfSuccessStatus() const { return QColor(0xD5, 0xFA, 0xD5); }
    Q_INVOKABLE QColor borderColorOfSuccessStatus() const { return QColor(0x32, 0x83, 0x4D); }
    Q_INVOKABLE QColor colorOfOFFStatus() const { return QColor(0xD9, 0xD9, 0xD9); }
    Q_INVOKABLE QColor borderColorOfOFFStatus() const { return QColor(0x7F, 0x7F, 0x7F); }
    Q_INVOKABLE QColor colorOfWarningStatus() const { return QColor(0xED, 0xE0, 0x89); }
    Q_INVOKABLE QColor borderColorOfWarningStatus() const { return QColor(0xB5, 0x89, 0x27); }
    Q_INVOKABLE QColor colorOfProcessStatus1() const { return QColor(0xE5, 0xE5, 0xFA); }
    Q_INVOKABLE QColor colorOfProcessStatus2() const { return QColor(0xE8, 0xE8, 0xFA); }
    Q_INVOKABLE QColor colorOfProcessStatus3() const { return QColor(0xFF, 0xFF, 0xFF); }
    Q_INVOKABLE QColor borderColorOfProcessStatus() const { return QColor(0x84, 0x9B, 0xC8); }
    Q_INVOKABLE QColor textColorStatus() const { return QColor(0x00, 0x00, 0x00); }

    // --- other main settings (an application that does not use a setting
    // must not call its accessor or setter: "Wrong type of app")
    Q_INVOKABLE int updateTablePeriod() const;
    Q_INVOKABLE void setUpdateTablePeriod(int seconds);
    Q_INVOKABLE int recordsPerPage() const;
    Q_INVOKABLE void setRecordsPerPage(int records);
    Q_INVOKABLE bool experimentalLogic() const;
    Q_INVOKABLE void setExperimentalLogic(bool value);
    Q_INVOKABLE bool infoHints() const;
    Q_INVOKABLE void setInfoHints(bool value);
    Q_INVOKABLE int logsLevel() const { return m_logsLevel; }
    Q_INVOKABLE bool showPrevLoginDialog() const { return m_showPrevLoginDialog; }
    Q_INVOKABLE void setShowPrevLoginDialog(bool value) { m_showPrevLoginDialog = value; }
    Q_INVOKABLE QString getSSLMode() const;
    Q_INVOKABLE void setSSLMode(const QString& mode);
    Q_INVOKABLE QString hostname() const;
    Q_INVOKABLE void setHostname(const QString& value);
    Q_INVOKABLE QString username() const;
    Q_INVOKABLE void setUsername(const QString& value);
    Q_INVOKABLE QString usernameWithDomain() const;
    Q_INVOKABLE void setUsernameWithDomain(const QString& value);
    Q_INVOKABLE bool exitWithoutConfirmation() const;
    Q_INVOKABLE void setExitWithoutConfirmation(bool value);
    Q_INVOKABLE bool sessionBlocking() const;
    Q_INVOKABLE void setSessionBlocking(bool value);
    Q_INVOKABLE unsigned int idleTimeout() const;
    Q_INVOKABLE void setIdleTimeout(unsigned int minutes);
    Q_INVOKABLE bool getUseMsAdAuthByDefault() const;
    Q_INVOKABLE void setUseMsAdAuthByDefault(bool value);
    Q_INVOKABLE QString timeZone() const;
    Q_INVOKABLE bool isDeveloperMode() const { return false; }
    Q_INVOKABLE bool isUsedMsAd() const { return true; }

signals:
    void retranslated(bool isLanguageChanged);
    void experimentalLogicChanged();
    void infoHintsChanged();
    void sessionBlockingChanged(bool isBlocked);
    void idleTimeoutChanged();

private:
    explicit GuiConfig(App app, QObject* parent = nullptr);
    Q_DISABLE_COPY(GuiConfig)

    void setDefaults();
    void migrateOldSettingsFile();
    void loadMain();
    void loadThemesList();
    void loadTheme();
    void checkApp(const char* key) const;

    static GuiConfig* instance;

    App m_app;
    QHash<QString, QVariant> look;
    QString m_theme;
    QStringList m_themesList;
    QString m_lang;
    QTranslator translator;
    bool translatorInstalled = false;
    QHash<QString, QPair<QString, QString>> pagesInfo;

    int m_logsLevel = 0;
    bool m_experimentalLogic = false;
    bool m_infoHints = true;
    int m_recordsPerPage = 50;
    int m_updateTablePeriod = 5;
    bool m_showPrevLoginDialog = true;
    QString m_hostname;
    QString m_username;
    QString m_usernameWithDomain;
    QString m_sslMode;
    bool m_useMsAdAuthByDefault = false;
    bool m_exitWithoutConfirmation = false;
    bool m_sessionBlocking = false;
    unsigned int m_idleTimeout = 5;
};

#endif // GUICONFIG_H
