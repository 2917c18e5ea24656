// The notification dialog: the kinds table, the priority rule, the Escape
// and outside-press rules, the close cross, the details strip, the buttons of
// the exit and log-out questions and the reset on close. Drives a real view.
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

    // Which parts each kind shows: a message with its close cross, or the
    // two buttons of a question.
    void kindsTable_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("messageArea");
        QTest::newRow("Info") << int(Info) << "Information" << true;
        QTest::newRow("Crit") << int(Crit) << "Error" << true;
        QTest::newRow("Exit") << int(Exit) << "Do you want to exit?" << false;
        QTest::newRow("Logout") << int(Logout) << "Do you want to logout?" << false;
    }

    void kindsTable()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(bool, messageArea);
        QVERIFY(show(kind, "the message"));
        QTRY_VERIFY(dialog->property("opened").toBool());
        QCOMPARE(item("dialogTitle")->property("text").toString(), title);
        QCOMPARE(shown(item("dialogMessage")), messageArea);
        QCOMPARE(shown(item("dialogCloseButton")), messageArea);
        QCOMPARE(shown(item("dialogButtons")), !messageArea);
        QVERIFY(!shown(item("dialogDetailsStrip")));  // no details given
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

    // Escape and a press outside close a warning but not an error.
    void escapeOrPressOutside_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("closes");
        for (bool escape : {true, false}) {
            const char* how = escape ? "Escape " : "press outside ";
            QTest::newRow(QByteArray(how + QByteArray("Info"))) << int(Info) << escape << true;
            QTest::newRow(QByteArray(how + QByteArray("Exit"))) << int(Exit) << escape << true;
            QTest::newRow(QByteArray(how + QByteArray("Assert"))) << int(Assert) << escape << false;
        }
    }

    void escapeOrPressOutside()
    {
        QFETCH(int, kind);
        QFETCH(bool, escape);
        QFETCH(bool, closes);
        show(kind, "m");
        QTRY_VERIFY(dialog->property("opened").toBool());
        if (escape)
            QTest::keyClick(view, Qt::Key_Escape);
        else
            QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        if (closes) {
            QTRY_VERIFY(!isOpen());
        } else {
            QTest::qWait(100);
            QVERIFY(isOpen());
            QCOMPARE(this->kind(), kind);
        }
        QCOMPARE(view->rootObject()->property("exits").toInt(), 0);
    }

    // Which button is clicked and what the host is asked for afterwards;
    // the cross of an assertion asks to log out.
    void buttons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("exits");
        QTest::addColumn<int>("logouts");
        QTest::newRow("cross of an error") << int(Crit) << "dialogCloseButton" << 0 << 0;
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
        QTest::qWait(100);
        // Still animating: the height is between the two and the text not filled yet.
        const qreal midway = dialog->property("height").toReal();
        QVERIFY2(midway > collapsed && midway < dialog->property("expandedHeight").toReal(), qPrintable(QString::number(midway)));
        QCOMPARE(item("dialogDetailsText")->property("text").toString(), QString());
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

    void longDetailsScroll()
    {
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines << QString("output line %1").arg(i);
        show(Warn, "many", lines.join('\n'));
        waitSettled();
        clickItem(view, item("dialogDetailsStrip"));
        const int limit = GuiConfig::getInstance()->itemHeight() * 4;
        QTRY_COMPARE(dialog->property("height").toReal(), dialog->property("expandedHeight").toReal());
        const qreal grown = dialog->property("expandedHeight").toReal() - dialog->property("collapsedHeight").toReal();
        QCOMPARE(qRound(grown), limit);
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
