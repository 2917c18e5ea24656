import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0

// The scrolling text of the journal panel (Journal.qml makes it when it is
// first needed and hands over the lines written until then).
Flickable {
    id: flick

    readonly property alias text: area.text
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

    // The lines written before the view existed, at once.
    function appendLines(lines) {
        var kept = lines.length > maximumLines ? lines.slice(lines.length - maximumLines) : lines
        area.text = kept.join("\n")
        lineCount = kept.length
        Qt.callLater(function () { flick.contentY = Math.max(0, flick.contentHeight - flick.height) })
    }

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
        activeFocusOnTab: false
        Accessible.name: qsTranslate("JournalFooter", "Journal")
        selectByMouse: true
        wrapMode: TextEdit.Wrap
        textFormat: TextEdit.PlainText
        rightPadding: GuiConfig.itemSpacing() * 4
        placeholderText: qsTranslate("Journal", "No events have happened yet")
        placeholderTextColor: GuiConfig.textColorOfEnabledItem4()
        font.family: "DejaVu Sans Mono"
        font.pixelSize: Math.max(10, GuiConfig.itemTextSize() - 2)
        color: GuiConfig.textColorOfEnabledItem2()
        selectionColor: GuiConfig.backgroundColorOfDefaultItem()
        selectedTextColor: GuiConfig.textColorOfEnabledItem1()
        background: null
    }
}
