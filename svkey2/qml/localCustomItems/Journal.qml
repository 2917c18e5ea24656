import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0

// The journal panel: every line the log writes, as it is written. It exists
// from the start, so it also collects the lines written while it is hidden.
Rectangle {
    id: journal

    property alias text: area.text
    readonly property alias textArea: area
    property int maximumLines: 20000
    property int lineCount: 0

    function append(line) {
        // Keep to the bottom while the operator has not scrolled up.
        var atEnd = flick.contentY >= flick.contentHeight - flick.height - 2
        area.append(line)
        lineCount++
        if (lineCount > maximumLines) {
            // Drop the oldest tenth so the panel stays responsive.
            var dropped = Math.floor(maximumLines / 10)
            var lines = area.text.split("\n")
            area.text = lines.slice(dropped).join("\n")
            lineCount = lines.length - dropped
        }
        if (atEnd)
            Qt.callLater(function () { flick.contentY = Math.max(0, flick.contentHeight - flick.height) })
    }

    implicitHeight: GuiConfig.itemHeight() * 5
    color: GuiConfig.backgroundColorOfPageBlock()
    radius: GuiConfig.itemRadius()
    border.width: GuiConfig.itemBorderWidth()
    border.color: GuiConfig.frameColorOfItem()

    Connections {
        target: Logger
        function onHasLogMessage(logMessage) { journal.append(logMessage) }
    }

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.margins: 1
        contentWidth: width
        contentHeight: area.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        ScrollBar.vertical: CustomScrollBar {
            objectName: "journalScrollBar"
            policy: ScrollBar.AlwaysOn
        }

        TextArea.flickable: TextArea {
            id: area
            objectName: "journalText"
            readOnly: true
            selectByMouse: true
            wrapMode: TextEdit.Wrap
            textFormat: TextEdit.PlainText
            rightPadding: GuiConfig.itemSpacing() * 4
            placeholderText: qsTr("No events have happened yet")
            placeholderTextColor: GuiConfig.textColorOfEnabledItem4()
            font.family: "DejaVu Sans Mono"
            font.pixelSize: Math.max(10, GuiConfig.itemTextSize() - 2)
            color: GuiConfig.textColorOfEnabledItem2()
            selectionColor: GuiConfig.backgroundColorOfDefaultItem()
            selectedTextColor: GuiConfig.textColorOfEnabledItem1()
            background: null
        }
    }
}
