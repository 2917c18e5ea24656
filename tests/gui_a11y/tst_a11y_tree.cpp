// What a screen reader gets: every page and dialog of both scenarios read
// over the platform's accessibility interface (AT-SPI, through
// atspi_tree.py), on a real X screen with the accessibility bus running.
// Every control that takes the keyboard has a name and a role that says what
// it is; a notification is read as an alert, a question as a dialog; no
// typed password is readable.

#include "guiharness.h"

#include "notifier.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <memory>

class AccessibilityTreeTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;
    const QString secret = "s3cret-Typed";
    QStringList faults;

    // The tree as read now, one element a line (the event loop keeps serving
    // the reader meanwhile). One reader answers every request; the
    // application joins the bus some time after its window shows, and a fresh
    // reader sees it once it has.
    std::unique_ptr<QProcess> reader;
    QList<QJsonObject> readTree()
    {
        for (int attempt = 0; attempt < 20; ++attempt, QTest::qWait(250)) {
            if (!reader) {
                reader.reset(new QProcess);
                // Debian's interpreter, which has Debian's AT-SPI module.
                reader->start("/usr/bin/python3", {QString(SV_A11Y_DIR) + "/atspi_tree.py"});
            }
            QByteArray out;
            reader->write(QByteArray::number(QCoreApplication::applicationPid()) + "\n");
            const bool answered = gui.waitFor(
                [&] { return (out += reader->readAllStandardOutput()).endsWith("\n.\n") || out == ".\n"; }, 60000);
            QList<QJsonObject> tree;
            for (const QByteArray& line : out.split('\n'))
                if (!line.isEmpty() && line != ".")
                    tree << QJsonDocument::fromJson(line).object();
            if (tree.isEmpty() && attempt == 19)
                faults << "nothing read: " + QString::fromUtf8(reader->readAllStandardError());
            if (tree.isEmpty() || !answered)
                reader.reset();
            if (!tree.isEmpty())
                return tree;
        }
        return {};
    }

    // Reads the tree at `where` and notes every fault; returns the tree.
    QList<QJsonObject> check(const QString& where)
    {
        gui.waitFrame();
        const QList<QJsonObject> tree = readTree();
        static const QStringList vague {"unknown", "filler", "panel", "redundant object", "invalid", "unknown role"};
        int operable = 0;
        for (const QJsonObject& e : tree) {
            const QStringList states = e["states"].toVariant().toStringList();
            const QString role = e["role"].toString(), name = e["name"].toString();
            const QString who = where + ": " + role + " \"" + name + "\" (text \"" + e["text"].toString() + "\") at "
                + e["path"].toString();
            if (e["text"].toString().contains(secret) || name.contains(secret)
                || e["description"].toString().contains(secret))
                faults << who + " shows the typed password";
            // Scroll bars are the mouse's: the keyboard scrolls a view by moving in it.
            if (!states.contains("focusable") || !states.contains("enabled") || !states.contains("showing")
                || role == "scroll bar")
                continue;
            ++operable;
            if (name.trimmed().isEmpty())
                faults << who + " has no name";
            if (vague.contains(role))
                faults << who + " has no role";
        }
        if (operable == 0)
            faults << where + ": no operable control read";
        gui.shot(where);
        return tree;
    }

    // Whether the tree holds an element of `role` named `name`; a fault
    // listing the tree if not.
    bool has(const QList<QJsonObject>& tree, const QString& role, const QString& name)
    {
        QStringList read;
        for (const QJsonObject& e : tree) {
            if (e["role"].toString() == role && e["name"].toString() == name)
                return true;
            read << e["role"].toString() + " \"" + e["name"].toString() + "\" "
                    + e["states"].toVariant().toStringList().join(',');
        }
        faults << "no " + role + " \"" + name + "\" in:\n  " + read.join("\n  ");
        return false;
    }

    QObject* page() const { return gui.findVisible("stepStack")->property("currentItem").value<QObject*>(); }
    // The next step, as its "forward" would, whatever its conditions; the
    // run pages' timers are kept from starting the run.
    bool step()
    {
        if (!QMetaObject::invokeMethod(
                page(), "emitMoveOn", Q_ARG(QVariant, true), Q_ARG(QVariant, QVariantList {secret})))
            return false;
        for (QObject* child : page()->findChildren<QObject*>())
            if (child->inherits("QQmlTimer"))
                child->setProperty("running", false);
        gui.waitFrame();
        return true;
    }

private slots:
    void initTestCase() { QVERIFY2(GuiHarness::insideSandbox(), "reads the system files of the simulated medium"); }

    void everyPageAndDialog()
    {
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        check("welcome");
        QVERIFY(gui.startWork());
        check("selection");

        QVERIFY(gui.clickName("backupButton") && gui.waitVisible("backupChoosingDevicePage"));
        for (const QString name : {"backup-device", "backup-disk-info", "backup-confirm", "backup-run"}) {
            check(name);
            if (name != "backup-run")
                QVERIFY(step());
        }
        // Back to the welcome page, as "To Start" does, and on to the restore.
        QVERIFY(QMetaObject::invokeMethod(gui.findVisible("stepStack"), "clear"));
        QVERIFY(QMetaObject::invokeMethod(gui.root(), "loadPage", Q_ARG(QVariant, 0), Q_ARG(QVariant, QString())));
        QVERIFY(gui.waitVisible("welcomePage"));
        QVERIFY(gui.startWork() && gui.clickName("restoreButton") && gui.waitVisible("restoreChoosingServerPage"));
        QVERIFY(gui.click(gui.find("field", gui.findVisible("keyPasswordField"))));
        gui.typeText(secret);
        check("restore-server");
        QVERIFY(step());
        check("restore-backups");
        QVERIFY(step() && gui.waitVisible("restoreSettingsPage"));
        QVERIFY(gui.click(gui.find("field", gui.findVisible("clientPasswordField"))));
        gui.typeText(secret);
        check("restore-settings");
        for (const QString dialog : {"cryptKeyDialog", "drpDialog"}) {
            QObject* popup = gui.root()->findChild<QObject*>(dialog);
            QVERIFY(QMetaObject::invokeMethod(popup, "open"));
            QVERIFY(gui.waitFor([&] { return popup->property("opened").toBool(); }));
            has(check(dialog), "dialog", popup->property("title").toString());
            QVERIFY(QMetaObject::invokeMethod(popup, "reject"));
            QVERIFY(gui.waitFor([&] { return !popup->property("visible").toBool(); }));
        }
        QVERIFY(step());
        check("restore-confirm");
        QVERIFY(step() && gui.waitVisible("restoreProcessPage"));
        QObject* question = gui.root()->findChild<QObject*>("lvmQuestionDialog");
        QVERIFY(QMetaObject::invokeMethod(question, "show", Q_ARG(QVariant, "Remove vg0 and restore?")));
        QVERIFY(gui.waitFor([&] { return question->property("opened").toBool(); }));
        has(check("lvm-question"), "dialog", GuiHarness::tr("CustomQuestionDialog", "Confirmation"));
        QVERIFY(QMetaObject::invokeMethod(question, "reject"));

        // Notifications: an error is read as an alert, the exit question as a dialog.
        Notifier::getInstance()->showError("a failure to be read out", "its details");
        QTest::qWait(350);
        has(check("error"), "alert", GuiHarness::tr("CustomSmallDialog", "Error"));
        Notifier::getInstance()->showExit();
        QTest::qWait(350);
        has(check("exit-question"), "dialog", GuiHarness::tr("CustomSmallDialog", "Do you want to exit?"));
        QVERIFY(gui.clickName("dialogRejectButton"));

        for (const QString& fault : faults)
            qWarning().noquote() << fault;
        QVERIFY2(faults.isEmpty(), qPrintable(QString("%1 faults, listed above").arg(faults.size())));
    }
};

SV_GUI_TEST_MAIN(AccessibilityTreeTest, "a11y-tree")

#include "tst_a11y_tree.moc"
