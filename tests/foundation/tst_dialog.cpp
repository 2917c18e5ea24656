// The notification dialog: the top of the priority rule (also under an
// animated style), the log-out buttons, the details strip and the reset on
// close, in a real view. (The lower kinds, Escape, a press outside and the
// exit question are tried on the real pages by tst_gui_notifications.)
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

    // Above the exit question only the assertion shows (the lower kinds are
    // walked through on the real pages by tst_gui_notifications).
    void priorityRuleAtTheTop()
    {
        QVERIFY(show(Exit, ""));
        QVERIFY(!show(Exit, ""));
        QVERIFY(!show(Crit, "e"));
        QCOMPARE(kind(), int(Exit));
        QVERIFY(show(Assert, "a"));
        QCOMPARE(kind(), int(Assert));
        QVERIFY(!show(Exit, ""));
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

    // The cross of an assertion and the log-out question's button ask to log
    // out (the exit question's buttons are clicked on the real pages).
    void buttons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("button");
        QTest::newRow("cross of an assertion") << int(Assert) << "dialogCloseButton";
        QTest::newRow("log-out: Log out") << int(Logout) << "dialogAcceptButton";
    }

    void buttons()
    {
        QFETCH(int, kind);
        QFETCH(QString, button);
        show(kind, kind == Logout ? "" : "m");
        waitSettled();
        clickItem(view, item(qPrintable(button)));
        QTRY_VERIFY(!isOpen());
        QCOMPARE(view->rootObject()->property("exits").toInt(), 0);
        QCOMPARE(view->rootObject()->property("logouts").toInt(), 1);
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
