// The journal panel and its footer: collected from the start, sized and
// placed between the step stack and the footer, opened and closed by
// "Journal" or by a page.

#include "guiharness.h"
#include "guiconfig.h"

class JournalTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QString journalText() const { return gui.find("journalText")->property("text").toString(); }
    qreal bottomOf(const char* name) const { return GuiHarness::sceneRect(gui.find(name)).bottom(); }

private slots:
    void init()
    {
        QVERIFY(gui.start(QSize(800, 600), {"lo", "eth0"}));
        QVERIFY(gui.waitVisible("welcomePage"));
    }
    void cleanup() { gui.stop(); }

    void messagesBeforeStartAreInTheJournal()
    {
        qInfo("operator note before start");
        qWarning("a warning before start");
        QVERIFY2(!gui.findVisible("journal"), "the journal is hidden at first");
        QVERIFY(gui.startWork());
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        const QString text = journalText();
        QVERIFY2(text.contains("Warning: ") && text.contains("a warning before start"), qPrintable(text.left(400)));
        // One line per message, in the order written.
        const QStringList order{"Welcome page loaded", "operator note before start", "start clicked"};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY2(text.indexOf(order[i - 1]) >= 0 && text.indexOf(order[i - 1]) < text.indexOf(order[i]),
                     qPrintable(order[i]));
        // Lines keep coming while it is open.
        qInfo("written while open");
        QVERIFY(gui.waitFor([&] { return journalText().contains("written while open"); }));
    }

    void sizeAndMarginsAroundTheStack()
    {
        QVERIFY(gui.startWork());
        const int itemHeight = GuiConfig::getInstance()->itemHeight();
        const int spacing = GuiConfig::getInstance()->itemSpacing();
        // Closed: the stack ends one item height above the window's bottom,
        // where the footer begins.
        const auto checkClosed = [&] {
            QCOMPARE(gui.find("journalFooter")->height(), qreal(itemHeight));
            QCOMPARE(bottomOf("journalFooter"), 600.0);
            QCOMPARE(bottomOf("stepStack"), 600.0 - itemHeight);
            QCOMPARE(gui.find("journalArrow")->rotation(), 180.0);
        };
        checkClosed();

        QVERIFY(gui.clickName("journalButton"));
        QQuickItem* journal = gui.waitVisible("journal");
        QVERIFY(journal);
        const QRectF j = GuiHarness::sceneRect(journal);
        QCOMPARE(j, QRectF(0, j.top(), 800, 5 * itemHeight));
        // One item spacing under it (to the footer) and over it (to the stack).
        QCOMPARE(j.bottom() + spacing, GuiHarness::sceneRect(gui.find("journalFooter")).top());
        QCOMPARE(bottomOf("stepStack") + spacing, j.top());
        QCOMPARE(gui.find("journalArrow")->rotation(), 0.0);
        QVERIFY(gui.find("journalScrollBar")->isVisible());
        QCOMPARE(gui.find("journalText")->property("readOnly").toBool(), true);

        // A step pushed while it is open keeps its buttons above it.
        QVERIFY(gui.clickName("backupButton"));
        QQuickItem* forward = gui.waitVisible("forwardButton");
        QVERIFY(forward);
        QVERIFY(GuiHarness::sceneRect(forward).bottom() <= j.top());

        // Closing gives the stack its room back.
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitFor([&] { return !gui.findVisible("journal"); }));
        checkClosed();
    }

    void pageAsksToOpenTheJournal()
    {
        QVERIFY(gui.startWork());
        QVERIFY(gui.clickName("backupButton"));
        QQuickItem* page = gui.waitVisible("backupChoosingDevicePage");
        QVERIFY(page && !gui.findVisible("journal"));
        // A step page's needOpenJournal reaches the root page through the
        // stack and the work window; asking again while open keeps it open.
        for (int i = 0; i < 2; ++i) {
            QVERIFY(QMetaObject::invokeMethod(page, "needOpenJournal"));
            QVERIFY(gui.waitVisible("journal"));
            QCOMPARE(gui.root()->property("journalOpen").toBool(), true);
        }
    }

    void placeholderWhileEmpty()
    {
        QVERIFY(gui.startWork());
        gui.find("journalText")->setProperty("text", QString());
        QVERIFY(gui.clickName("journalButton"));
        QVERIFY(gui.waitVisible("journal"));
        QVERIFY(gui.visibleTexts(gui.find("journal")).contains(GuiHarness::tr("Journal", "No events have happened yet")));
    }
};

SV_GUI_TEST_MAIN(JournalTest, "journal")

#include "tst_gui_journal.moc"
