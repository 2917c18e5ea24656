// The notification dialog: the priority rule (also under an animated
// style), the close cross, the details strip, the buttons of the exit and
// log-out questions and the reset on close. Drives a real view. (Escape and a
// press outside are tried on the real pages by tst_gui_notifications.)
#include "guiconfig.h"
#include "quickhelpers.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickView>
#include <QTemporaryDir>
#include <QtTest>

class TestDialog : public QObject
{
    Q_OBJECT

    QQuickView* view = nullptr;
    QObject* dialog = nullptr;

    bool show(int kind, const QString& msg, const QString& details = QString())
    {
        QVariant result;
        QMetaObject::invokeMethod(view->rootObject(), "show", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, kind),
                                  Q_ARG(QVariant, msg), Q_ARG(QVariant, details));
        return result.toBool();
    }
    // Waits until the dialog is open and its opening animation has ended.
    void waitSettled()
    {
        QTRY_VERIFY(dialog->property("opened").toBool());
        QTRY_COMPARE(dialog->property("height").toReal(), dialog->property("collapsedHeight").toReal());
    }
    bool isOpen() const { return dialog->property("opened").toBool() || dialog->property("visible").toBool(); }
    int kind() const { return dialog->property("type").toInt(); }
    QString message() const { return dialog->property("message").toString(); }
    QQuickItem* item(const char* name) const { return findItem(view, name); }
    void close() { QMetaObject::invokeMethod(dialog, "reject"); }

private slots:
    void initTestCase()
    {
        view = new QQuickView;
        view->rootContext()->setContextProperty("GuiConfig", GuiConfig::getInstance());
        view->engine()->addImportPath("qrc:/common_gui/qml");
        view->setSource(QUrl::fromLocalFile(QFINDTESTDATA("dialog_host.qml")));
        QVERIFY2(view->status() == QQuickView::Ready, qPrintable(view->errors().isEmpty() ? QString() : view->errors().first().toString()));
        view->show();
        view->requestActivate();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QVERIFY(QTest::qWaitForWindowActive(view));
        dialog = view->rootObject()->findChild<QObject*>("dialog");
        QVERIFY(dialog);
        QVERIFY(!isOpen());
        QCOMPARE(dialog->property("width").toInt(), 480);
    }

    void cleanupTestCase() { delete view; }

    void cleanup()
    {
        close();
        QTRY_VERIFY(!isOpen());
        view->rootObject()->setProperty("exits", 0);
        view->rootObject()->setProperty("logouts", 0);
    }

    void priorityRule()
    {
        QVERIFY(show(Warn, "w"));
        QVERIFY(show(Crit, "e1"));  // an error replaces a warning
        QCOMPARE(kind(), int(Crit));
        QCOMPARE(message(), QString("e1"));
        QVERIFY(!show(Crit, "e2"));  // a second error is dropped
        QVERIFY(!show(Warn, "w2"));
        QVERIFY(!show(Info, "i"));
        QCOMPARE(message(), QString("e1"));
        QVERIFY(show(Exit, ""));  // the exit question replaces the error
        QCOMPARE(kind(), int(Exit));
        QVERIFY(!show(Exit, ""));
        QVERIFY(show(Assert, "a"));  // only the assertion is higher
        QCOMPARE(kind(), int(Assert));
        close();  // once closed, any kind shows again
        QTRY_VERIFY(!isOpen());
        QVERIFY(show(Info, "after"));
        QCOMPARE(kind(), int(Info));
    }

    // The rule holds while an opening transition runs (the dialog is shown
    // but not yet "opened"), and a dialog that is closing takes a new one.
    void priorityRuleWhileAnimating()
    {
        QObject* animated = view->rootObject()->findChild<QObject*>("animatedDialog");
        const auto showAnimated = [this](int kind, const QString& msg) {
            QVariant result;
            QMetaObject::invokeMethod(view->rootObject(), "showAnimated", Q_RETURN_ARG(QVariant, result),
                                      Q_ARG(QVariant, kind), Q_ARG(QVariant, msg));
            return result.toBool();
        };
        QVERIFY(showAnimated(Crit, "error first"));
        QVERIFY(!animated->property("opened").toBool());
        QVERIFY(!showAnimated(Warn, "warning after it"));
        QCOMPARE(animated->property("message").toString(), QString("error first"));
        QTRY_VERIFY(animated->property("opened").toBool());
        QMetaObject::invokeMethod(animated, "reject");
        QVERIFY(animated->property("visible").toBool());
        QVERIFY(showAnimated(Info, "while closing"));
        QTest::qWait(400);
        QVERIFY(animated->property("opened").toBool());
        QCOMPARE(animated->property("message").toString(), QString("while closing"));
        QMetaObject::invokeMethod(animated, "reject");
        QTRY_VERIFY(!animated->property("visible").toBool());
    }

    // Which button is clicked and what the host is asked for afterwards;
    // the cross of an assertion asks to log out.
    void buttons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("exits");
        QTest::addColumn<int>("logouts");
        QTest::newRow("cross of an assertion") << int(Assert) << "dialogCloseButton" << 0 << 1;
        QTest::newRow("exit: Cancel") << int(Exit) << "dialogRejectButton" << 0 << 0;
        QTest::newRow("exit: Exit") << int(Exit) << "dialogAcceptButton" << 1 << 0;
        QTest::newRow("log-out: Log out") << int(Logout) << "dialogAcceptButton" << 0 << 1;
    }

    void buttons()
    {
        QFETCH(int, kind);
        QFETCH(QString, button);
        QFETCH(int, exits);
        QFETCH(int, logouts);
        show(kind, kind == Exit || kind == Logout ? "" : "m");
        waitSettled();
        clickItem(view, item(qPrintable(button)));
        QTRY_VERIFY(!isOpen());
        QCOMPARE(view->rootObject()->property("exits").toInt(), exits);
        QCOMPARE(view->rootObject()->property("logouts").toInt(), logouts);
    }

    void detailsStrip()
    {
        const QString details = "mount: /mnt: wrong fs type, bad option, bad superblock on /dev/sdb1.\n"
                                "dmesg(1) may have more information after failed mount system call.";
        show(Crit, "Can't mount /dev/sdb1 on /mnt", details);
        QTRY_VERIFY(dialog->property("opened").toBool());
        QQuickItem* strip = item("dialogDetailsStrip");
        QVERIFY(shown(strip));
        QVERIFY(item("dialogDetailsArrow")->property("source").toUrl().toString().endsWith("arrowDown.svg"));
        const qreal collapsed = dialog->property("collapsedHeight").toReal();
        QTRY_COMPARE(dialog->property("height").toReal(), collapsed);
        QCOMPARE(item("dialogDetailsText")->property("text").toString(), QString());  // not filled before

        clickItem(view, strip);
        QVERIFY(dialog->property("expanded").toBool());
        QTRY_COMPARE(dialog->property("height").toReal(), dialog->property("expandedHeight").toReal());
        QTRY_COMPARE(item("dialogDetailsText")->property("text").toString(), details);
        QVERIFY(item("dialogDetailsArrow")->property("source").toUrl().toString().endsWith("arrowUp.svg"));

        clickItem(view, strip);
        QVERIFY(!dialog->property("expanded").toBool());
        QTRY_COMPARE(dialog->property("height").toReal(), collapsed);

        // Closing resets it: the next notification starts collapsed, without
        // the old details.
        clickItem(view, strip);
        QTRY_VERIFY(dialog->property("detailsFilled").toBool());
        close();
        QTRY_VERIFY(!isOpen());
        QCOMPARE(kind(), int(Ques));
        QCOMPARE(dialog->property("details").toString(), QString());
        QVERIFY(!dialog->property("expanded").toBool());
        show(Info, "next");
        QTRY_VERIFY(dialog->property("opened").toBool());
        QVERIFY(!shown(item("dialogDetailsStrip")));
        QCOMPARE(item("dialogDetailsText")->property("text").toString(), QString());
    }
};

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QGuiApplication app(argc, argv);
    GuiConfig::init(GuiConfig::svkey);
    TestDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialog.moc"
