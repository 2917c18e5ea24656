// The shared widget library: the filtering combo box, the question dialog's
// rejections and the notification dialog alone (the top of its priority
// rule, also under an animated style, and its log-out requests). The table
// view is used on the real pages: its check box cells by the backup walk, its
// selection by tst_key and the restore walk.

#include "guiharness.h"

#include <QElapsedTimer>

namespace {
enum Kind { Ques, Info, Warn, Crit, Exit, Logout, Assert };

bool showIn(QObject* dialog, int kind, const QString& msg)
{
    QVariant shown;
    QMetaObject::invokeMethod(dialog, "show", Q_RETURN_ARG(QVariant, shown), Q_ARG(QVariant, kind),
        Q_ARG(QVariant, msg), Q_ARG(QVariant, QString()), Q_ARG(QVariant, QVariantList()));
    return shown.toBool();
}
} // namespace

class WidgetsTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QVariant pageProperty(const char* name) const { return gui.root()->property(name); }
    bool waitBool(QObject* object, const char* property, bool value = true) const
    {
        return gui.waitFor([=] { return object->property(property).toBool() == value; }, 2000);
    }

private slots:
    // One page for all cases: each works on its own widget.
    void initTestCase()
    {
        QVERIFY(gui.start(
            QSize(1000, 620), {}, QUrl::fromLocalFile(QStringLiteral(SV_GUI_TEST_DIR "/qml/WidgetsPage.qml"))));
    }
    void cleanupTestCase() { gui.stop(); }

    void comboFiltersOneSecondAfterTyping()
    {
        QQuickItem* combo = gui.findVisible("combo");
        QVERIFY(combo);
        QCOMPARE(combo->property("currentText").toString(), QString("eth0"));
        // Taking the first entry at creation counts as a change of the text.
        QCOMPARE(pageProperty("comboTexts").toStringList(), QStringList {"eth0"});
        QQuickItem* field = gui.find("editField", combo);
        const auto typeAnew = [&](const QString& text) {
            QVERIFY(gui.click(field));
            field->setProperty("text", QString());
            gui.typeText(text);
        };
        typeAnew("wl");
        QElapsedTimer sinceTyping;
        sinceTyping.start();
        QTest::qWait(400);
        QVERIFY2(!combo->property("popupOpened").toBool(), "the list waits one second after the last key");
        QVERIFY(waitBool(combo, "popupOpened"));
        QVERIFY2(sinceTyping.elapsed() >= 900, qPrintable(QString::number(sinceTyping.elapsed())));
        QCOMPARE(combo->property("shownEntries").toStringList(), QStringList {"wlan0"});
        gui.shot("combo-filtered");
        QVERIFY(gui.click(gui.waitVisible("entry_wlan0")));
        QCOMPARE(combo->property("currentText").toString(), QString("wlan0"));
        QCOMPARE(field->property("text").toString(), QString("wlan0"));
        QCOMPARE(pageProperty("activations").toInt(), 1);
        QCOMPARE(pageProperty("comboTexts").toStringList(), (QStringList {"eth0", "wlan0"}));

        // Case does not matter; several matches stay listed.
        typeAnew("ETH");
        QVERIFY(waitBool(combo, "popupOpened"));
        QCOMPARE(combo->property("shownEntries").toStringList(), (QStringList {"eth0", "eth1"}));
        // Text that names no entry is put back on Escape, and when the field loses focus.
        gui.pressKey(Qt::Key_Escape);
        QVERIFY(waitBool(combo, "popupOpened", false));
        gui.pressKey(Qt::Key_Escape);
        QCOMPARE(field->property("text").toString(), QString("wlan0"));
        typeAnew("zzz");
        QVERIFY(gui.click(gui.find("field", gui.findVisible("portField"))));
        QCOMPARE(field->property("text").toString(), QString("wlan0"));
        QCOMPARE(combo->property("currentText").toString(), QString("wlan0"));
    }

    // Its Cancel button and its cross reject it (yes and Escape are answered
    // on the restore pages).
    void questionDialogRejects()
    {
        QObject* question = gui.root()->findChild<QObject*>("question");
        for (const char* button : {"cancelButton", "closeButton"}) {
            gui.root()->setProperty("questionAnswer", 0);
            QVERIFY(question && gui.clickName("askButton") && waitBool(question, "opened"));
            QVERIFY(gui.visibleTexts().contains("Drop the old key file?"));
            QVERIFY(gui.clickName(button) && waitBool(question, "opened", false));
            QCOMPARE(pageProperty("questionAnswer").toInt(), -1);
        }
    }

    // Above the exit question only the assertion shows (the lower kinds are
    // walked on the real pages by tst_gui_notifications); the assertion's
    // cross and the log-out question's button ask to log out, never to exit.
    void notificationDialogTopKindsAndLogOut()
    {
        QObject* dialog = gui.root()->findChild<QObject*>("smallDialog");
        QVERIFY(showIn(dialog, Exit, ""));
        QVERIFY(!showIn(dialog, Exit, ""));
        QVERIFY(!showIn(dialog, Crit, "e"));
        QCOMPARE(dialog->property("type").toInt(), int(Exit));
        QVERIFY(showIn(dialog, Assert, "a"));
        QCOMPARE(dialog->property("type").toInt(), int(Assert));
        QVERIFY(!showIn(dialog, Exit, ""));
        for (const char* button : {"dialogCloseButton", "dialogAcceptButton"}) {
            if (QByteArray(button) == "dialogAcceptButton")
                QVERIFY(showIn(dialog, Logout, ""));
            QVERIFY(gui.waitFor([&] {
                return dialog->property("opened").toBool()
                    && dialog->property("height").toReal() == dialog->property("collapsedHeight").toReal();
            }));
            QVERIFY(gui.clickName(button));
            QVERIFY(gui.waitFor([&] { return !dialog->property("visible").toBool(); }));
        }
        QCOMPARE(pageProperty("logouts").toInt(), 2);
        QCOMPARE(pageProperty("exits").toInt(), 0);
    }

    // The rule holds while an opening transition runs (the dialog is shown
    // but not yet "opened"), and a dialog that is closing takes a new one.
    void notificationDialogWhileAnimating()
    {
        QObject* animated = gui.root()->findChild<QObject*>("animatedDialog");
        QVERIFY(showIn(animated, Crit, "error first"));
        QVERIFY(!animated->property("opened").toBool());
        QVERIFY(!showIn(animated, Warn, "warning after it"));
        QCOMPARE(animated->property("message").toString(), QString("error first"));
        QVERIFY(waitBool(animated, "opened"));
        QMetaObject::invokeMethod(animated, "reject");
        QVERIFY(animated->property("visible").toBool());
        QVERIFY(showIn(animated, Info, "while closing"));
        QTest::qWait(400);
        QVERIFY(animated->property("opened").toBool());
        QCOMPARE(animated->property("message").toString(), QString("while closing"));
        QMetaObject::invokeMethod(animated, "reject");
        QVERIFY(waitBool(animated, "visible", false));
    }
};

SV_GUI_TEST_MAIN(WidgetsTest, "widgets")

#include "tst_gui_widgets.moc"
