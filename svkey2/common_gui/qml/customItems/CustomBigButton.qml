import QtQuick 2.12
import QtQuick.Controls 2.12
import ImageSources 1.0

// A large choice button: icon, main text, an optional description under it
// and an arrow at the right end.
Button {
    id: control

    property url imageSource: ""
    property string description: ""
    property url arrowSource: ImageSources.arrowRight

    implicitHeight: GuiConfig.itemHeight() * 4
    implicitWidth: implicitHeight * 6
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    font.family: GuiConfig.itemTextFont()
    font.pixelSize: GuiConfig.itemTextSize() * 2
    padding: 0
    Accessible.role: Accessible.Button
    Accessible.name: text
    Keys.onReturnPressed: if (enabled) clicked()
    Keys.onEnterPressed: if (enabled) clicked()

    contentItem: Item {
        CustomImage {
            id: icon
            source: control.imageSource
            height: control.height * 0.6
            width: height
            anchors.left: parent.left
            anchors.leftMargin: control.height * 0.3
            anchors.verticalCenter: parent.verticalCenter
        }
        Column {
            anchors.left: icon.right
            anchors.leftMargin: control.height * 0.3
            anchors.right: arrow.left
            anchors.rightMargin: GuiConfig.itemSpacing()
            anchors.verticalCenter: parent.verticalCenter
            spacing: GuiConfig.itemSpacing()
            Text {
                width: parent.width
                text: control.text
                font: control.font
                color: GuiConfig.textColorOfEnabledItem1()
                elide: Text.ElideRight
            }
            Text {
                width: parent.width
                visible: control.description !== ""
                text: control.description
                font.family: GuiConfig.itemTextFont()
                font.pixelSize: GuiConfig.itemTextSize()
                color: GuiConfig.textColorOfEnabledItem1()
                wrapMode: Text.WordWrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
        }
        CustomImage {
            id: arrow
            source: control.arrowSource
            height: control.height * 0.35
            width: height
            anchors.right: parent.right
            anchors.rightMargin: control.height * 0.2
            anchors.verticalCenter: parent.verticalCenter
        }
    }

    background: Rectangle {
        radius: GuiConfig.itemRadius() * 2
        color: !control.enabled ? GuiConfig.backgroundColorOfDisabledItem()
             : control.down ? GuiConfig.backgroundColorOfClickedItem()
             : control.hovered ? GuiConfig.backgroundColorOfHoverItem()
             : GuiConfig.backgroundColorOfDefaultItem()
        // The focus ring, around the button on the block: the main text colour.
        Rectangle {
            objectName: "focusRing"
            anchors.fill: parent
            anchors.margins: -4
            radius: parent.radius + 4
            color: "transparent"
            visible: control.activeFocus
            border.width: 3
            border.color: GuiConfig.textColorOfEnabledItem2()
        }
    }
}
