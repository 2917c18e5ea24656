import QtQuick 2.12
import QtQuick.Controls 2.12
import ImageSources 1.0

// The library's check box: a square in the default item colour with a tick.
CheckBox {
    id: control

    property real boxSize: GuiConfig.itemHeight() * 0.8

    font.family: GuiConfig.itemTextFont()
    font.pixelSize: GuiConfig.itemTextSize()
    hoverEnabled: true
    padding: 0
    spacing: GuiConfig.itemSpacing() * 2
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.CheckBox
    Accessible.name: text

    indicator: Rectangle {
        implicitWidth: control.boxSize
        implicitHeight: control.boxSize
        x: control.leftPadding
        y: (control.height - height) / 2
        radius: GuiConfig.itemRadius() / 2
        color: control.checked ? (control.enabled ? GuiConfig.backgroundColorOfDefaultItem()
                                                  : GuiConfig.backgroundColorOfDisabledItem())
                               : GuiConfig.backgroundColorOfItemInput()
        // The border stays when checked: the fill alone does not stand out on a dark block.
        border.width: GuiConfig.itemBorderWidth() + (control.hovered ? 1 : 0)
        border.color: control.hovered ? GuiConfig.backgroundColorOfHoverItem() : GuiConfig.frameColorOfItem()
        Rectangle {
            objectName: "focusRing"
            anchors.fill: parent
            anchors.margins: -3
            radius: parent.radius + 3
            color: "transparent"
            visible: control.activeFocus
            border.width: 2
            border.color: GuiConfig.textColorOfEnabledItem2()
        }
        CustomImage {
            anchors.centerIn: parent
            width: parent.width * 0.8
            height: width
            visible: control.checked
            source: ImageSources.check
        }
    }

    contentItem: CustomText {
        text: control.text
        leftPadding: control.text === "" ? 0 : control.indicator.width + control.spacing
        elide: Text.ElideRight
    }
}
