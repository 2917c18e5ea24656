import QtQuick 2.12
import ImageSources 1.0

// A cell of the library's table and tree views: a boolean value shows as a
// check box, anything else as elided text. A click on the check box emits
// `toggled` with the value the operator asks for; the cell itself changes
// only when the model does.
Item {
    id: cell

    property var value
    property color textColor: GuiConfig.textColorOfEnabledItem2()
    property int horizontalAlignment: Text.AlignLeft
    readonly property bool isBoolean: typeof value === "boolean"
    readonly property real padding: GuiConfig.itemSpacing() * 2

    signal toggled(bool checked)

    implicitHeight: GuiConfig.tableViewRowHeight()
    implicitWidth: Math.ceil((isBoolean ? box.width : text.implicitWidth) + 2 * padding) + 2

    Text {
        id: text
        visible: !cell.isBoolean
        anchors.fill: parent
        anchors.leftMargin: cell.padding
        anchors.rightMargin: cell.padding
        text: cell.value === undefined || cell.value === null ? "" : String(cell.value)
        font.family: GuiConfig.itemTextFont()
        font.pixelSize: GuiConfig.itemTextSize()
        color: cell.textColor
        elide: Text.ElideRight
        horizontalAlignment: cell.horizontalAlignment
        verticalAlignment: Text.AlignVCenter
    }

    Rectangle {
        id: box
        objectName: "cellCheckBox"
        visible: cell.isBoolean
        anchors.centerIn: parent
        width: GuiConfig.itemHeight() * 0.8
        height: width
        radius: GuiConfig.itemRadius() / 2
        color: cell.value === true ? GuiConfig.backgroundColorOfDefaultItem() : GuiConfig.backgroundColorOfItemInput()
        border.width: GuiConfig.itemBorderWidth() + (boxArea.containsMouse ? 1 : 0)
        border.color: boxArea.containsMouse ? GuiConfig.backgroundColorOfHoverItem() : GuiConfig.frameColorOfItem()
        Image {
            anchors.centerIn: parent
            width: parent.width * 0.8
            height: width
            sourceSize.width: width
            sourceSize.height: height
            visible: cell.value === true
            source: ImageSources.check
        }
        MouseArea {
            id: boxArea
            anchors.fill: parent
            hoverEnabled: true
            enabled: cell.isBoolean
            onClicked: cell.toggled(!cell.value)
        }
    }
}
