import QtQuick 2.12
import QtQuick.Controls 2.12

// The library's push button: the default item colour, lighter under the
// mouse, darker while pressed, grey while disabled.
Button {
    id: control

    // A light button (white, text in the default item colour) stands out on
    // a background in the default item colour.
    property bool light: false
    property color color: light ? GuiConfig.backgroundColorOfPageBlock() : GuiConfig.backgroundColorOfDefaultItem()
    property color hoverColor: light ? GuiConfig.backgroundColorOfPage() : GuiConfig.backgroundColorOfHoverItem()
    property color pressedColor: light ? GuiConfig.backgroundColorOfHoverTableButton() : GuiConfig.backgroundColorOfClickedItem()
    property color disabledColor: GuiConfig.backgroundColorOfDisabledItem()
    property color textColor: light ? GuiConfig.textColorOfEnabledItem3() : GuiConfig.textColorOfEnabledItem1()
    property color disabledTextColor: GuiConfig.textColorOfDisabledItem1()
    property real radius: GuiConfig.itemRadius()
    // Optional image left of the text.
    property url imageSource: ""

    implicitHeight: GuiConfig.itemHeight()
    implicitWidth: Math.max(GuiConfig.itemHeight() * 3,
                            contentItem.implicitWidth + GuiConfig.itemHeight())
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    font.family: GuiConfig.itemTextFont()
    font.pixelSize: GuiConfig.itemTextSize()
    padding: 0
    leftPadding: GuiConfig.itemSpacing()
    rightPadding: GuiConfig.itemSpacing()
    Accessible.role: Accessible.Button
    Accessible.name: text

    // Return and Enter press the focused button, as Space does.
    function activate() {
        if (enabled && visible)
            clicked()
    }
    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()

    contentItem: Item {
        implicitWidth: row.implicitWidth
        implicitHeight: row.implicitHeight
        Row {
            id: row
            anchors.centerIn: parent
            width: Math.min(implicitWidth, parent.width)
            spacing: GuiConfig.itemSpacing()
            CustomImage {
                id: icon
                visible: control.imageSource.toString() !== ""
                source: control.imageSource
                width: visible ? control.height * 0.6 : 0
                height: width
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                id: label
                text: control.text
                font: control.font
                color: control.enabled ? control.textColor : control.disabledTextColor
                elide: Text.ElideRight
                width: Math.min(implicitWidth, control.availableWidth - (icon.visible ? icon.width + row.spacing : 0))
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }

    background: Rectangle {
        radius: control.radius
        color: !control.enabled ? control.disabledColor
             : control.down ? control.pressedColor
             : control.hovered ? control.hoverColor
             : control.color
        // The focus ring lies outside the button, on what surrounds it: the
        // main text colour on a block, white on the default item colour.
        Rectangle {
            objectName: "focusRing"
            anchors.fill: parent
            anchors.margins: -3
            radius: parent.radius + 3
            color: "transparent"
            visible: control.activeFocus
            border.width: 2
            border.color: control.light ? GuiConfig.textColorOfEnabledItem1() : GuiConfig.textColorOfEnabledItem2()
        }
    }
}
