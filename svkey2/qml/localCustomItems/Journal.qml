import QtQuick 2.12

// The journal panel: every line the log writes, as it is written. It exists
// from the start, so it also collects the lines written while it is hidden.
// Its text view (JournalView.qml) is made when the panel is first shown or
// when the root page asks, after the window's first frame; the lines written
// until then wait here.
Rectangle {
    id: journal

    readonly property string text: view.item ? view.item.text : pending.join("\n")
    property int maximumLines: 20000
    property var pending: []

    function append(line) {
        if (view.item) {
            view.item.append(line)
        } else {
            pending.push(line)
            if (pending.length > maximumLines)
                pending.splice(0, Math.floor(maximumLines / 10))
        }
    }

    function makeView() {
        view.active = true
    }

    implicitHeight: GuiConfig.itemHeight() * 5
    color: GuiConfig.backgroundColorOfPageBlock()
    radius: GuiConfig.itemRadius()
    border.width: GuiConfig.itemBorderWidth()
    border.color: GuiConfig.frameColorOfItem()
    onVisibleChanged: if (visible) makeView()

    Connections {
        target: Logger
        function onHasLogMessage(logMessage) { journal.append(logMessage) }
    }

    Loader {
        id: view
        anchors.fill: parent
        anchors.margins: 1
        active: false
        source: "JournalView.qml"
        onLoaded: {
            item.maximumLines = Qt.binding(function () { return journal.maximumLines })
            if (journal.pending.length > 0)
                item.appendLines(journal.pending)
            journal.pending = []
        }
    }
}
