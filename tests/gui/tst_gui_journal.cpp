// The journal panel and its footer: collected from the start, sized and
// placed between the step stack and the footer, opened and closed by
// "Journal" or by a page.

#include "guiharness.h"
#include "guiconfig.h"

#include <QApplication>
#include <QTest>

class JournalTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    static int itemHeight() { return GuiConfig::getInstance()->itemHeight(); }
    static int spacing() { return GuiConfig::getInstance()->itemSpacing(); }
    QString journalText() const { return gui.find("journalText")->property("text").toString(); }

private slots:
    void init() { QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"})); }
    void cleanup() { gui.stop(); }

    void messagesBeforeStartAreInTheJournal()
    {
        QVERIFY(gui.waitVisible("welcomePage"));
        qInfo("operator note before start");
        qWarning("a warning before start");
        QVERIFY2(!gui.findVisible("journal"), "the journal is hidden at first");
        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.waitVisible("journalFooter"));
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        const QString text = journalText();
        QVERIFY2(text.contains("Welcome page loaded"), qPrintable(text.left(400)));
        QVERIFY(text.contains("operator note before start"));
        QVERIFY(text.contains("Warning: ") && text.contains("a warning before start"));
        QVERIFY(text.contains("start clicked"));
        // One line per message, in the order written.
        QVERIFY(text.indexOf("Welcome page loaded") < text.indexOf("operator note before start"));
        QVERIFY(text.indexOf("operator note before start") < text.indexOf("start clicked"));
        gui.shot("journal-with-early-messages");

        // Lines keep coming while it is open.
        qInfo("written while open");
        QVERIFY(gui.waitFor([&] { return journalText().contains("written while open"); }));
    }

    void sizeAndMarginsAroundTheStack()
    {
        QVERIFY(gui.clickName("startButton"));
        QQuickItem* stack = gui.waitVisible("stepStack");
        QQuickItem* footer = gui.waitVisible("journalFooter");
        QVERIFY(stack && footer);
        const QRectF window(0, 0, 800, 600);

        // Closed: the stack ends one item height above the window's bottom,
        // where the footer begins.
        QCOMPARE(footer->height(), qreal(itemHeight()));
        QCOMPARE(GuiHarness::sceneRect(footer).bottom(), window.bottom());
        QCOMPARE(GuiHarness::sceneRect(stack).bottom(), window.bottom() - itemHeight());
        QCOMPARE(gui.find("journalArrow")->rotation(), 180.0);

        QVERIFY(gui.clickName("journalButton"));
        QQuickItem* journal = gui.waitVisible("journal");
        QVERIFY(journal);
        const QRectF j = GuiHarness::sceneRect(journal);
        QCOMPARE(j.height(), qreal(5 * itemHeight()));
        QCOMPARE(j.width(), window.width());
        QCOMPARE(j.left(), 0.0);
        // One item spacing under it (to the footer) and over it (to the stack).
        QCOMPARE(j.bottom() + spacing(), GuiHarness::sceneRect(footer).top());
        QCOMPARE(GuiHarness::sceneRect(stack).bottom() + spacing(), j.top());
        QCOMPARE(gui.root()->property("journalHeight").toReal(), qreal(5 * itemHeight() + 2 * spacing()));
        QCOMPARE(gui.find("journalArrow")->rotation(), 0.0);
        QQuickItem* scrollBar = gui.find("journalScrollBar");
        QVERIFY(scrollBar && scrollBar->isVisible());
        QCOMPARE(scrollBar->property("policy").toInt(), 2); // always on
        QCOMPARE(gui.find("journalText")->property("readOnly").toBool(), true);
        gui.shot("journal-open");

        // Closing gives the stack its room back.
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitFor([&] { return !gui.findVisible("journal"); }));
        QCOMPARE(GuiHarness::sceneRect(stack).bottom(), window.bottom() - itemHeight());
        QCOMPARE(gui.find("journalArrow")->rotation(), 180.0);
    }

    void stepPagesStayAboveTheOpenJournal()
    {
        // With the journal open before a step is pushed, the step's buttons
        // stay above it.
        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.clickName("journalButton"));
        QQuickItem* journal = gui.waitVisible("journal");
        QVERIFY(gui.clickName("backupButton"));
        QQuickItem* forward = gui.waitVisible("forwardButton");
        QVERIFY(forward);
        QVERIFY(GuiHarness::sceneRect(forward).bottom() <= GuiHarness::sceneRect(journal).top());
        QVERIFY(gui.click(forward));
        QVERIFY(gui.waitVisible("backupDiskInfoPage"));
    }

    void pageAsksToOpenTheJournal()
    {
        QVERIFY(gui.clickName("startButton"));
        QVERIFY(gui.clickName("backupButton"));
        QQuickItem* page = gui.waitVisible("backupChoosingDevicePage");
        QVERIFY(page);
        QVERIFY(!gui.findVisible("journal"));
        // A step page's needOpenJournal reaches the root page through the
        // stack and the work window.
        QVERIFY(QMetaObject::invokeMethod(page, "needOpenJournal"));
        QVERIFY(gui.waitVisible("journal"));
        QCOMPARE(gui.root()->property("journalOpen").toBool(), true);
        // Asking again while open keeps it open.
        QVERIFY(QMetaObject::invokeMethod(page, "needOpenJournal"));
        QTest::qWait(50);
        QVERIFY(gui.findVisible("journal"));
    }

    void placeholderWhileEmpty()
    {
        QQuickItem* area = gui.find("journalText");
        QVERIFY(area);
        QCOMPARE(area->property("placeholderText").toString(),
                 QCoreApplication::translate("Journal", "No events have happened yet"));
        QVERIFY(gui.clickName("startButton"));
        area->setProperty("text", QString());
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        QVERIFY(gui.visibleTexts(gui.find("journal")).contains(
            QCoreApplication::translate("Journal", "No events have happened yet")));
        gui.shot("journal-empty");
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GuiHarness::initProcess(QStringLiteral("journal"));
    JournalTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gui_journal.moc"
