// The shared widget library: the filtering combo box, labelled inputs
// (password, required marker, validators, read-only), the table view
// (columns, fitting, selection, check box cells), the tree view and the
// question dialog.

#include "guiharness.h"
#include "guiconfig.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QQmlContext>
#include <QStandardItemModel>
#include <QTest>

class WidgetsTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;
    QStandardItemModel treeModel;

    QQuickItem* page() const { return gui.root(); }
    QVariant pageProperty(const char* name) const { return page()->property(name); }

    // The middle of a table row's cell in column `x` (scene coordinates).
    QPointF rowPoint(QQuickItem* table, int row, qreal x = 200) const
    {
        const QRectF r = GuiHarness::sceneRect(table);
        const int header = GuiConfig::getInstance()->itemHeight();
        const int rowHeight = GuiConfig::getInstance()->tableViewRowHeight();
        return QPointF(r.left() + x, r.top() + 1 + header + row * rowHeight + rowHeight / 2.0);
    }
    // Rows a tree view shows (expanded branches included).
    static int shownRows(QQuickItem* tree)
    {
        QObject* list = tree->property("__listView").value<QObject*>();
        return list ? list->property("count").toInt() : -1;
    }
    void clickAt(QPointF scenePoint) const
    {
        QTest::mouseClick(gui.view(), Qt::LeftButton, Qt::NoModifier, scenePoint.toPoint());
        QTest::qWait(40);
    }

private slots:
    void initTestCase()
    {
        // name/fstype roles as the device tree has them.
        treeModel.setItemRoleNames({{Qt::UserRole + 1, "name"}, {Qt::UserRole + 2, "fstype"}});
        auto* disk = new QStandardItem();
        disk->setData("sda", Qt::UserRole + 1);
        disk->setData("", Qt::UserRole + 2);
        for (const char* part : {"sda1", "sda2-with-a-rather-long-partition-name"}) {
            auto* p = new QStandardItem();
            p->setData(part, Qt::UserRole + 1);
            p->setData("ext4", Qt::UserRole + 2);
            disk->appendRow(p);
        }
        treeModel.appendRow(disk);
    }
    void init()
    {
        gui.extraContext.insert("testTreeModel", &treeModel);
        QVERIFY(gui.start(QSize(1000, 620), {},
                          QUrl::fromLocalFile(QStringLiteral(SV_GUI_TEST_DIR "/qml/WidgetsPage.qml"))));
    }
    void cleanup() { gui.stop(); }

    void comboFiltersOneSecondAfterTyping()
    {
        QQuickItem* combo = gui.findVisible("combo");
        QVERIFY(combo);
        QCOMPARE(combo->property("currentText").toString(), QString("eth0"));
        // Taking the first entry at creation counts as a change of the text.
        QCOMPARE(pageProperty("comboTexts").toStringList(), QStringList{"eth0"});
        QQuickItem* field = gui.find("editField", combo);
        QVERIFY(gui.click(field));
        field->setProperty("text", QString());
        QElapsedTimer sinceTyping;
        gui.typeText("wl");
        sinceTyping.start();
        QTest::qWait(400);
        QVERIFY2(!combo->property("popupOpened").toBool(), "the list waits one second after the last key");
        QVERIFY(gui.waitFor([&] { return combo->property("popupOpened").toBool(); }, 2000));
        QVERIFY2(sinceTyping.elapsed() >= 900, qPrintable(QString::number(sinceTyping.elapsed())));
        QCOMPARE(combo->property("shownEntries").toStringList(), QStringList{"wlan0"});
        gui.shot("combo-filtered");
        QVERIFY(gui.click(gui.waitVisible("entry_wlan0")));
        QCOMPARE(combo->property("currentText").toString(), QString("wlan0"));
        QCOMPARE(field->property("text").toString(), QString("wlan0"));
        QCOMPARE(pageProperty("activations").toInt(), 1);
        QCOMPARE(pageProperty("comboTexts").toStringList(), (QStringList{"eth0", "wlan0"}));

        // Case does not matter; several matches stay listed.
        QVERIFY(gui.click(field));
        field->setProperty("text", QString());
        gui.typeText("ETH");
        QVERIFY(gui.waitFor([&] { return combo->property("popupOpened").toBool(); }, 2000));
        QCOMPARE(combo->property("shownEntries").toStringList(), (QStringList{"eth0", "eth1"}));

        // Text that names no entry is put back on Escape.
        gui.pressKey(Qt::Key_Escape);
        QVERIFY(!combo->property("popupOpened").toBool() || gui.waitFor([&] { return !combo->property("popupOpened").toBool(); }));
        gui.pressKey(Qt::Key_Escape);
        QCOMPARE(field->property("text").toString(), QString("wlan0"));
        QCOMPARE(combo->property("currentText").toString(), QString("wlan0"));

        // Typing nonsense and leaving the field puts the entry back.
        QVERIFY(gui.click(field));
        field->setProperty("text", QString());
        gui.typeText("zzz");
        QVERIFY(gui.click(gui.findVisible("askButton"), QPointF(0, 0)) || true);
        question_close();
        QCOMPARE(field->property("text").toString(), QString("wlan0"));
        QCOMPARE(combo->property("currentText").toString(), QString("wlan0"));
    }

    void passwordFieldShowsAndHides()
    {
        QQuickItem* box = gui.findVisible("passwordField");
        QQuickItem* field = gui.find("field", box);
        QVERIFY(gui.click(field));
        gui.typeText("s3cret");
        QCOMPARE(field->property("text").toString(), QString("s3cret"));
        QCOMPARE(field->property("echoMode").toInt(), 2); // password
        QVERIFY(gui.visibleTexts(box).contains("*"));    // required marker
        QVERIFY(gui.clickName("showPasswordButton", box));
        QCOMPARE(field->property("echoMode").toInt(), 0); // normal
        gui.shot("password-shown");
        QVERIFY(gui.clickName("showPasswordButton", box));
        QCOMPARE(field->property("echoMode").toInt(), 2);
        // The marker belongs to required fields only.
        QVERIFY(!gui.visibleTexts(gui.findVisible("portField")).contains("*"));
    }

    void validatorAndReadOnly()
    {
        QQuickItem* port = gui.find("field", gui.findVisible("portField"));
        QVERIFY(gui.click(port));
        gui.typeText("12ab3456789");
        QCOMPARE(port->property("text").toString(), QString("12345"));
        QQuickItem* fixed = gui.find("field", gui.findVisible("readOnlyField"));
        QVERIFY(gui.click(fixed));
        gui.typeText("abc");
        QCOMPARE(fixed->property("text").toString(), QString("fixed"));
    }

    void tableColumnsFitAndSelect()
    {
        QQuickItem* table = gui.findVisible("table");
        QVERIFY(table);
        QTest::qWait(150); // columns are fitted once the rows exist
        QCOMPARE(table->property("columnCount").toInt(), 4);
        QVariant column;
        QVERIFY(QMetaObject::invokeMethod(table, "getColumn", Q_RETURN_ARG(QVariant, column), Q_ARG(QVariant, 2)));
        QObject* hidden = column.value<QObject*>();
        QVERIFY(hidden);
        QCOMPARE(hidden->property("title").toString(), QString("Hidden"));
        QCOMPARE(hidden->property("visible").toBool(), false);
        QCOMPARE(hidden->property("movable").toBool(), false);
        // Fitted: no header and no cell is cut.
        const QStringList cut = gui.clippedTexts(table);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
        gui.shot("table");

        QCOMPARE(table->property("selectedRow").toInt(), -1);
        clickAt(rowPoint(table, 1));
        QCOMPARE(table->property("selectedRow").toInt(), 1);
        clickAt(rowPoint(table, 2));
        QCOMPARE(table->property("selectedRow").toInt(), 2);
        QObject* selection = table->property("selection").value<QObject*>();
        QCOMPARE(selection->property("count").toInt(), 1);

        // Check box cells: a click asks for the opposite value; the model decides.
        QQuickItem* box = gui.findVisible("cellCheckBox", table);
        QVERIFY(box);
        QVERIFY(gui.click(box));
        const QVariantList toggle = pageProperty("lastToggle").toList();
        QCOMPARE(toggle.size(), 3);
        QCOMPARE(toggle[0].toInt(), 0);
        QCOMPARE(toggle[1].toString(), QString("need"));
        QCOMPARE(toggle[2].toBool(), false);
        QVERIFY(gui.click(box));
        QCOMPARE(pageProperty("lastToggle").toList()[2].toBool(), true);
    }

    void multipleSelection()
    {
        QQuickItem* table = gui.findVisible("multiTable");
        QTest::qWait(100);
        clickAt(rowPoint(table, 0, 100));
        clickAt(rowPoint(table, 2, 100));
        QObject* selection = table->property("selection").value<QObject*>();
        QCOMPARE(selection->property("count").toInt(), 2);
        QCOMPARE(table->property("selectedRow").toInt(), 2);
        clickAt(rowPoint(table, 2, 100)); // unselect the last one
        QCOMPARE(selection->property("count").toInt(), 1);
        QCOMPARE(table->property("selectedRow").toInt(), 0);
    }

    void treeSelectsAndFitsOnExpand()
    {
        QQuickItem* tree = gui.findVisible("tree");
        QVERIFY(tree);
        QVERIFY(gui.waitFor([&] { return shownRows(tree) == 1; }));
        QTest::qWait(100);
        const QModelIndex disk = treeModel.index(0, 0);
        QVERIFY(QMetaObject::invokeMethod(tree, "expand", Q_ARG(QVariant, QVariant::fromValue(disk))));
        QVERIFY(gui.waitFor([&] { return shownRows(tree) == 3; }));
        QTest::qWait(150);
        const QStringList cut = gui.clippedTexts(tree);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
        gui.shot("tree-expanded");
        clickAt(rowPoint(tree, 2, 250));
        const QModelIndex chosen = pageProperty("lastTreeIndex").value<QModelIndex>();
        QVERIFY(chosen.isValid());
        QCOMPARE(chosen.data(Qt::UserRole + 1).toString(), QString("sda2-with-a-rather-long-partition-name"));
    }

    void questionDialogAnswers()
    {
        QVERIFY(gui.clickName("askButton"));
        QObject* q = gui.root()->findChild<QObject*>("question");
        QVERIFY(q);
        QVERIFY(gui.waitFor([&] { return q->property("opened").toBool(); }));
        QCOMPARE(gui.findVisible("title")->property("text").toString(),
                 QCoreApplication::translate("CustomQuestionDialog", "Confirmation"));
        QVERIFY(gui.visibleTexts().contains("Drop the old key file?"));
        gui.shot("question");
        // Only its buttons and its cross close it.
        gui.pressKey(Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(q->property("opened").toBool());
        QVERIFY(gui.clickName("yesButton"));
        QVERIFY(gui.waitFor([&] { return !q->property("opened").toBool(); }));
        QCOMPARE(pageProperty("questionAnswer").toInt(), 1);
        QVERIFY(gui.clickName("askButton"));
        QVERIFY(gui.waitFor([&] { return q->property("opened").toBool(); }));
        QVERIFY(gui.clickName("cancelButton"));
        QVERIFY(gui.waitFor([&] { return !q->property("opened").toBool(); }));
        QCOMPARE(pageProperty("questionAnswer").toInt(), -1);
        page()->setProperty("questionAnswer", 0);
        QVERIFY(gui.clickName("askButton"));
        QVERIFY(gui.waitFor([&] { return q->property("opened").toBool(); }));
        QVERIFY(gui.clickName("closeButton"));
        QVERIFY(gui.waitFor([&] { return !q->property("opened").toBool(); }));
        QCOMPARE(pageProperty("questionAnswer").toInt(), -1);
    }

    void fileDialogOpensInTheGivenFolder()
    {
        QObject* chooser = gui.root()->findChild<QObject*>("fileDialog");
        QVERIFY(chooser);
        QCOMPARE(chooser->property("title").toString(),
                 QCoreApplication::translate("CustomFileDialog", "Please choose a file"));
        // It starts in the home folder until told otherwise.
        QCOMPARE(chooser->property("folder").toUrl().toLocalFile(), QDir::homePath());
        QVERIFY(QMetaObject::invokeMethod(chooser, "show", Q_ARG(QVariant, QString("/usr/share"))));
        QVERIFY(gui.waitFor([&] { return chooser->property("visible").toBool(); }));
        QCOMPARE(chooser->property("folder").toUrl().toLocalFile(), QString("/usr/share"));
        QVERIFY(QMetaObject::invokeMethod(chooser, "close"));
        QVERIFY(gui.waitFor([&] { return !chooser->property("visible").toBool(); }));
    }

    // Last: it leaves stored column settings behind.
    void storedColumnVisibility()
    {
        gui.stop();
        GuiConfig::getInstance()->saveColumnsViewParameters("widgetsMultiTable", {true, false});
        QVERIFY(gui.start(QSize(1000, 620), {},
                          QUrl::fromLocalFile(QStringLiteral(SV_GUI_TEST_DIR "/qml/WidgetsPage.qml"))));
        QQuickItem* table = gui.findVisible("multiTable");
        QVariant first, second;
        QVERIFY(QMetaObject::invokeMethod(table, "getColumn", Q_RETURN_ARG(QVariant, first), Q_ARG(QVariant, 0)));
        QVERIFY(QMetaObject::invokeMethod(table, "getColumn", Q_RETURN_ARG(QVariant, second), Q_ARG(QVariant, 1)));
        QCOMPARE(first.value<QObject*>()->property("visible").toBool(), true);
        QCOMPARE(second.value<QObject*>()->property("visible").toBool(), false);
        // A table without a settings name keeps its own visibility.
        QVariant type;
        QVERIFY(QMetaObject::invokeMethod(gui.findVisible("table"), "getColumn", Q_RETURN_ARG(QVariant, type), Q_ARG(QVariant, 3)));
        QCOMPARE(type.value<QObject*>()->property("visible").toBool(), true);
    }

private:
    void question_close()
    {
        QObject* q = gui.root()->findChild<QObject*>("question");
        if (q && q->property("opened").toBool())
            QMetaObject::invokeMethod(q, "reject");
        QTest::qWait(50);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GuiHarness::initProcess(QStringLiteral("widgets"));
    WidgetsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gui_widgets.moc"
