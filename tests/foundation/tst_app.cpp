// The application itself: the real start-up code (main.cpp, built into this
// test under another name) runs its event loop while a probe, started when
// the application object is created, checks the window and drives it. One
// scenario per process; runs in the sandbox (the medium's os-release, lsblk).
#include "guiconfig.h"
#include "logger.h"
#include "notifier.h"
#include "quickhelpers.h"
#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <qpa/qwindowsysteminterface.h>

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

int svkey2_main(int argc, char* argv[]);

namespace {

// What the running scenario does once the event loop runs.
std::function<void()> scenario;
QStringList journal;

void startProbe()
{
    // Runs inside the QApplication constructor (step 1 of the start-up).
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
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
        if (auto* view = qobject_cast<QQuickView*>(w))
            return view;
    }
    return nullptr;
}

QObject* dialogOf(QQuickView* view)
{
    return view && view->rootObject() ? view->rootObject()->findChild<QObject*>("notificationDialog") : nullptr;
}

bool dialogOpen(QObject* dialog)
{
    return dialog && dialog->property("opened").toBool();
}

void windowSystemClose(QQuickView* view)
{
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(view);
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QByteArray savedOsRelease;

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
        windowSystemClose(view);
        QTRY_VERIFY(dialogOpen(dialog));
        QCOMPARE(dialog->property("type").toInt(), int(Exit));
        // Click once the opening animation has put the buttons in place.
        QTRY_COMPARE(dialog->property("height").toReal(), dialog->property("collapsedHeight").toReal());
        QQuickItem* exitButton = findItem(view, "dialogAcceptButton");
        QVERIFY(exitButton);
        QCOMPARE(exitButton->property("text").toString(), QString("Exit"));
        clickItem(view, exitButton);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(insideSandbox(), "the application test writes /etc/os-release: sandbox only");
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
            QVERIFY(!(view->windowStates() & Qt::WindowFullScreen));
            QVERIFY(view->isVisible());

            // The six context objects, and the import path of the widget library.
            QQmlContext* context = view->rootContext();
            for (const char* name : {"GuiConfig", "Logger", "Notifier", "KeyMaster", "DrpManager", "CryptKeyHandler"})
                QVERIFY2(context->contextProperty(name).value<QObject*>() != nullptr, name);
            QCOMPARE(context->contextProperty("Notifier").value<QObject*>(), static_cast<QObject*>(Notifier::getInstance()));
            QVERIFY(view->engine()->importPathList().contains("qrc:/common_gui/qml"));

            // First start: settings folder and file with the language Ru.
            QVERIFY(QFileInfo(settingsFolder() + ".sv_gui_main_settings").isFile());
            QCOMPARE(QSettings(settingsFolder() + ".sv_gui_main_settings", QSettings::IniFormat).value("Main/Lang").toString(),
                     QString("Ru"));

            // On the rescue medium the start-up checks raise nothing.
            QObject* dialog = dialogOf(view);
            QVERIFY(dialog);
            QTest::qWait(400);
            QVERIFY(!dialogOpen(dialog));

            // A close request from the window system only asks.
            windowSystemClose(view);
            QTRY_VERIFY(dialogOpen(dialog));
            QCOMPARE(dialog->property("type").toInt(), int(Exit));
            QQuickItem* title = findItem(view, "dialogTitle");
            QCOMPARE(title->property("text").toString(), QString("Do you want to exit?"));
            QVERIFY(view->isVisible());

            // "Cancel" keeps the program running with nothing changed.
            QTRY_COMPARE(dialog->property("height").toReal(), dialog->property("collapsedHeight").toReal());
            clickItem(view, findItem(view, "dialogRejectButton"));
            QTRY_VERIFY(!dialogOpen(dialog));
            QTest::qWait(200);
            QVERIFY(view->isVisible());

            closeAndConfirm(view);
        };
        QCOMPARE(runApplication(), 0);

        // The whole session reached the log file in the settings folder.
        const QString log = QString::fromUtf8(readFile(settingsFolder() + ".logs"));
        // Two requests from the window system; the quit itself closes the
        // view without another question.
        QCOMPARE(log.count("MyQuickView::close event"), 2);
        QCOMPARE(log.count("Notifier::onHasExitRequest"), 2);
        QVERIFY(journal.join('\n').contains("Notifier::onHasExitRequest"));
    }

    void notificationsThroughTheRootPage()
    {
        scenario = [] {
            QQuickView* view = mainView();
            QVERIFY(view && QTest::qWaitForWindowExposed(view));
            QObject* dialog = dialogOf(view);
            QTest::qWait(300);  // past the start-up checks
            QVERIFY(!dialogOpen(dialog));

            Notifier::getInstance()->showWarning("first warning");
            Notifier::getInstance()->showError("first error", "the details");
            QTRY_VERIFY(dialogOpen(dialog));
            QCOMPARE(dialog->property("type").toInt(), int(Crit));
            QCOMPARE(dialog->property("message").toString(), QString("first error"));
            QCOMPARE(dialog->property("details").toString(), QString("the details"));

            Notifier::getInstance()->showError("second error");
            Notifier::getInstance()->showWarning("late warning");
            QCOMPARE(dialog->property("message").toString(), QString("first error"));

            // Escape does not close an error.
            QTest::keyClick(view, Qt::Key_Escape);
            QTest::qWait(100);
            QVERIFY(dialogOpen(dialog));

            // A close request replaces the error by the exit question.
            closeAndConfirm(view);
        };
        QCOMPARE(runApplication(), 0);

        // Dropped notifications still reach the log and the journal.
        const QString log = QString::fromUtf8(readFile(settingsFolder() + ".logs"));
        for (const char* line : {"Warning: [main.qml::onHasWarning]", "Notifier::onHasWarning: first warning",
                                 "Critical: [main.qml::onHasError]", "Notifier::onHasError: first error the details",
                                 "Notifier::onHasError: second error", "Notifier::onHasWarning: late warning"})
            QVERIFY2(log.contains(line), line);
        QVERIFY(journal.join('\n').contains("Notifier::onHasError: second error"));
    }

    void warningOffTheRescueMedium()
    {
        savedOsRelease = readFile("/etc/os-release");
        QVERIFY(writeFile("/etc/os-release", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"));

        scenario = [] {
            QQuickView* view = mainView();
            QVERIFY(view && QTest::qWaitForWindowExposed(view));
            QObject* dialog = dialogOf(view);
            QTRY_VERIFY(dialogOpen(dialog));
            QCOMPARE(dialog->property("type").toInt(), int(Warn));
            QCOMPARE(dialog->property("message").toString(), QString("You can run this application on Sarvelin key only"));
            // The tool stays usable: the warning closes on Escape.
            QTest::keyClick(view, Qt::Key_Escape);
            QTRY_VERIFY(!dialogOpen(dialog));
            closeAndConfirm(view);
        };
        const int status = runApplication();
        writeFile("/etc/os-release", savedOsRelease);
        QCOMPARE(status, 0);
    }

    void settingsFolderNotCreatable()
    {
        // The home folder lies below a regular file: no folder can be made.
        QFile blocker(home.path() + "/blocker");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString blockedHome = home.path() + "/blocker/home";
        qputenv("HOME", blockedHome.toLocal8Bit());

        scenario = [] {
            QQuickView* view = mainView();
            QVERIFY(view && QTest::qWaitForWindowExposed(view));
            QCOMPARE(view->title(), QString("Sarvelin key"));
            QTRY_VERIFY(journal.join('\n').contains("could not be created"));
            QVERIFY(Logger::getInstance()->logType() == Logger::Console);
            QVERIFY(!Logger::getInstance()->isFileOpen());
            closeAndConfirm(view);
        };
        QCOMPARE(runApplication(), 0);
        QVERIFY(!QFileInfo::exists(blockedHome));
        const QString warning = journal.filter("could not be created").value(0);
        QVERIFY2(warning.startsWith("Warning: ["), qPrintable(warning));
        QVERIFY(warning.contains(blockedHome + "/.svkey2/"));
    }

    // The built executable itself starts, shows its page and logs.
    void realExecutableStarts()
    {
        static int argc = 1;
        static char name[] = "tst_foundation_app";
        static char* argv[] = {name, nullptr};
        QCoreApplication events(argc, argv);
        QTemporaryDir otherHome;
        QProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", otherHome.path());
        app.setProcessEnvironment(env);
        app.start(SVKEY2_BINARY, QStringList());
        QVERIFY(app.waitForStarted(10000));
        const QString log = otherHome.path() + "/.svkey2/.logs";
        QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("]  Debug: ["), 15000);
        QCOMPARE(app.state(), QProcess::Running);
        QVERIFY(QFileInfo(otherHome.path() + "/.svkey2/.sv_gui_main_settings").isFile());
        // The console carries the same lines.
        QString out;
        QTRY_VERIFY2((out += QString::fromLocal8Bit(app.readAllStandardOutput())).contains("Debug: ["), qPrintable(out));
        app.terminate();
        QVERIFY(app.waitForFinished(10000));
    }
};

QTEST_APPLESS_MAIN(TestApp)
#include "tst_app.moc"
