// The journal panel: collected from the start, opened and closed by
// "Journal" or by a page. (tst_gui_look opens it and checks nothing is cut.)

#include "guiharness.h"

class JournalTest : public QObject
{
    Q_OBJECT

    GuiHarness gui;

    QString journalText() const { return gui.find("journalText")->property("text").toString(); }

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
        const QStringList order {"Welcome page loaded", "operator note before start", "start clicked"};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY2(text.indexOf(order[i - 1]) >= 0 && text.indexOf(order[i - 1]) < text.indexOf(order[i]),
                qPrintable(order[i]));
        // Lines keep coming while it is open.
        qInfo("written while open");
        QVERIFY(gui.waitFor([&] { return journalText().contains("written while open"); }));
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
};

SV_GUI_TEST_MAIN(JournalTest, "journal")

#include "tst_gui_journal.moc"
