import QtQuick 2.12
import QtQuick.Controls 2.12
import "../Header"

// Base of the three top-level pages that the root page shows in turn.
// `moveOn` asks the root page for the next page; the root page tells the
// page when the journal opens or closes and when the operator goes back to
// the start.
Page {
    id: page

    // The text handed over by the previous page (the exit page shows it).
    property string resultText: ""

    signal moveOn(bool success, string resultString)
    signal journalOpened(real journalHeight)
    signal journalClosed()
    signal toStart()
    signal needOpenJournal()

    function emitMoveOn(success, resultString) {
        moveOn(success === undefined ? true : success,
               resultString === undefined ? "" : resultString)
    }

    header: PageHeader {}

    background: Rectangle {
        color: GuiConfig.backgroundColorOfDefaultItem()
    }
}
