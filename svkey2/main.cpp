#include "guiconfig.h"
#include "keymaster.h"
#include "logger.h"
#include "myquickview.h"
#include "notifier.h"
#include "windowfocus.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QQmlContext>
#include <QQmlEngine>
#include <QScreen>
#include <QTimer>
#include <QUrl>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral("/opt/sarvelin/rc/icons/Sarvelin-white.ico")));

    MyQuickView* view = new MyQuickView();
    QObject::connect(view->engine(), &QQmlEngine::quit, view, &MyQuickView::closeConfirmed);

    GuiConfig::init(GuiConfig::svkey);
    GuiConfig* config = GuiConfig::getInstance();

    QQmlContext* context = view->rootContext();
    context->setContextProperty(QStringLiteral("GuiConfig"), config);
    context->setContextProperty(QStringLiteral("Logger"), Logger::getInstance());
    context->setContextProperty(QStringLiteral("Notifier"), Notifier::getInstance());

    // The log lives in the settings folder. If that folder could not be
    // created, log to the console and the journal only and say so.
    const QString logFolder = config->getConfigFolder();
    const bool logFolderExists = QDir(logFolder).exists();
    if (logFolderExists) {
        Logger::getInstance()->init(logFolder, Logger::FileAndConsole, 5);
    } else {
        Logger::getInstance()->setLogType(Logger::Console);
        Logger::getInstance()->setLogsLevel(5);
    }
    qInstallMessageHandler(Logger::logger);

    KeyMaster* keyMaster = new KeyMaster();
    context->setContextProperty(QStringLiteral("KeyMaster"), keyMaster);
    context->setContextProperty(QStringLiteral("DrpManager"), keyMaster->drpManager());
    context->setContextProperty(QStringLiteral("CryptKeyHandler"), keyMaster->cryptKeyHandler());

    QObject::connect(config, &GuiConfig::retranslated, view, [view](bool) { view->engine()->retranslate(); });

    view->engine()->addImportPath(QStringLiteral("qrc:/common_gui/qml"));
    // The root page follows the window's size (the window is shown maximised).
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    view->setSource(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    view->setTitle(QStringLiteral("Sarvelin key"));

    // Cover the screen's available area first: without a window manager
    // nothing else would honour the maximised state below.
    if (QScreen* screen = view->screen())
        view->setGeometry(screen->availableGeometry());
    view->show();
    view->setMinimumWidth(800);
    view->setMinimumHeight(600);
    view->showMaximized();
    takeKeyboardFocus(view);

    QObject::connect(view->engine(), &QQmlEngine::quit, &app, &QCoreApplication::quit);

    if (!logFolderExists) {
        // Posted, so that the journal of the root page receives it too.
        QTimer::singleShot(0, [logFolder]() {
            qWarning().noquote() << "The settings folder" << logFolder
                                 << "does not exist and could not be created: the log is written"
                                    " to the console and the journal only";
        });
    }

    const int result = app.exec();

    delete keyMaster;
    delete view;
    return result;
}
