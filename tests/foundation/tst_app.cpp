// The application's real start-up code (main.cpp under another name) runs
// while a probe checks the window and drives it; one scenario per process.
#include "guiconfig.h"
#include "logger.h"
#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <qpa/qwindowsysteminterface.h>

#include <QGuiApplication>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>

int svkey2_main(int argc, char* argv[]);

namespace {

// What the running scenario does once the event loop runs.
std::function<void()> scenario;
QStringList journal;

void startProbe()
{
    QObject::connect(Logger::getInstance(), &Logger::hasLogMessage, [](const QString& line) { journal << line; });
    QTimer::singleShot(0, qApp, [] {
        if (scenario)
            scenario();
        // A scenario that returns with the program still running after a
        // while has failed a check: leave with a status the test recognises.
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    });
}
Q_COREAPP_STARTUP_FUNCTION(startProbe)

QQuickView* mainView()
{
    return qobject_cast<QQuickView*>(QGuiApplication::topLevelWindows().value(0));
}

QObject* dialogOf(QQuickView* view)
{
    return view && view->rootObject() ? view->rootObject()->findChild<QObject*>("notificationDialog") : nullptr;
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

    int runApplication()
    {
        static char name[] = "svkey2";
        char* argv[] = {name, nullptr};
        return svkey2_main(1, argv);
    }

    QString settingsFolder() const { return home.path() + "/.svkey2/"; }

    // Opens the exit question through the window system and confirms it.
    static void closeAndConfirm(QQuickView* view)
    {
        QObject* dialog = dialogOf(view);
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(view);
        QTRY_VERIFY(dialog->property("opened").toBool());
        QCOMPARE(dialog->property("type").toInt(), 4); // the exit question
        // Click once the opening animation has put the buttons in place.
        QTRY_COMPARE(dialog->property("height").toReal(), dialog->property("collapsedHeight").toReal());
        // Popups live in the window's overlay: search the visual tree.
        QQuickItem* exitButton = nullptr;
        for (QList<QQuickItem*> items {view->contentItem()}; !items.isEmpty() && !exitButton;) {
            QQuickItem* item = items.takeFirst();
            exitButton = item->objectName() == "dialogAcceptButton" ? item : nullptr;
            items += item->childItems();
        }
        QVERIFY(exitButton);
        QTest::mouseClick(view, Qt::LeftButton, {},
            exitButton->mapToScene({exitButton->width() / 2, exitButton->height() / 2}).toPoint());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(insideSandbox(), "the application test reads the medium's /etc/os-release: sandbox only");
        QVERIFY(home.isValid());
        qputenv("HOME", home.path().toLocal8Bit());
        journal.clear();
    }

    void windowAndExitQuestion()
    {
        scenario = [this] {
            QQuickView* view = mainView();
            QVERIFY(view);
            QVERIFY(QTest::qWaitForWindowExposed(view));
            QCOMPARE(view->title(), QString("Sarvelin key"));
            QCOMPARE(view->minimumSize(), QSize(800, 600));
            QVERIFY(view->windowStates() & Qt::WindowMaximized);

            for (const char* name : {"GuiConfig", "Logger", "Notifier", "KeyMaster", "DrpManager", "CryptKeyHandler"})
                QVERIFY2(view->rootContext()->contextProperty(name).value<QObject*>() != nullptr, name);

            QVERIFY(QFileInfo(settingsFolder() + ".sv_gui_main_settings").isFile());

            // On the rescue medium the start-up checks raise nothing.
            QTest::qWait(400);
            QObject* dialog = dialogOf(view);
            QVERIFY(dialog);
            QVERIFY(!dialog->property("opened").toBool());

            // A close request from the window system only asks ("Cancel" is
            // clicked on the real pages by tst_gui_notifications).
            closeAndConfirm(view);
        };
        QCOMPARE(runApplication(), 0);

        // The session's log file: the quit closed the view without another question.
        const QString log = QString::fromUtf8(readFile(settingsFolder() + ".logs"));
        QCOMPARE(log.count("MyQuickView::close event"), 1);
        QCOMPARE(log.count("Notifier::onHasExitRequest"), 1);
        QVERIFY(journal.join('\n').contains("Notifier::onHasExitRequest"));
    }

    void settingsFolderNotCreatable()
    {
        // The home folder lies below a regular file: no folder can be made.
        QVERIFY(writeFile(home.path() + "/blocker", ""));
        const QString blockedHome = home.path() + "/blocker/home";
        qputenv("HOME", blockedHome.toLocal8Bit());

        scenario = [] {
            QQuickView* view = mainView();
            QVERIFY(view && QTest::qWaitForWindowExposed(view));
            QTRY_VERIFY(journal.join('\n').contains("could not be created"));
            QVERIFY(Logger::getInstance()->logType() == Logger::Console);
            QVERIFY(!Logger::getInstance()->isFileOpen());
            QCOMPARE(GuiConfig::getInstance()->lang(), QString("Ru"));
            QCOMPARE(GuiConfig::getInstance()->itemHeight(), 30);
            closeAndConfirm(view);
        };
        QCOMPARE(runApplication(), 0);
        QVERIFY(!QFileInfo::exists(blockedHome));
        const QString warning = journal.filter("could not be created").value(0);
        QVERIFY2(warning.startsWith("Warning: ["), qPrintable(warning));
        QVERIFY(warning.contains(blockedHome + "/.svkey2/"));
    }
};

// Without an argument, each scenario in turn in a process of its own.
int main(int argc, char* argv[])
{
    if (argc > 1) {
        TestApp test;
        return QTest::qExec(&test, argc, argv);
    }
    int failed = 0;
    for (const char* name : {"windowAndExitQuestion", "settingsFolderNotCreatable"})
        failed += QProcess::execute(QString::fromLocal8Bit(argv[0]), {name}) != 0;
    return failed;
}
#include "tst_app.moc"
