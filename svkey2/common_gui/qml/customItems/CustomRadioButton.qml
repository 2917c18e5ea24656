import QtQuick 2.12
import QtQuick.Controls 2.12

// The library's radio button: a ring with a dot in the default item colour.
RadioButton {
    id: control

    font.family: GuiConfig.itemTextFont()
    font.pixelSize: GuiConfig.itemTextSize()
    hoverEnabled: true
    padding: 0
    spacing: GuiConfig.itemSpacing() * 2
    implicitHeight: GuiConfig.itemHeight()

    indicator: Rectangle {
        implicitWidth: GuiConfig.itemHeight() * 0.7
        implicitHeight: implicitWidth
        x: control.leftPadding
        y: (control.height - height) / 2
        radius: width / 2
        color: GuiConfig.backgroundColorOfItemInput()
        border.width: 2
        border.color: control.enabled ? (control.hovered ? GuiConfig.backgroundColorOfHoverItem()
                                                         : GuiConfig.backgroundColorOfDefaultItem())
                                      : GuiConfig.backgroundColorOfDisabledItem()
        Rectangle {
            anchors.centerIn: parent
            width: parent.width / 2
            height: width
            radius: width / 2
            visible: control.checked
            color: parent.border.color
        }
    }

    contentItem: CustomText {
        text: control.text
        leftPadding: control.indicator.width + control.spacing
        elide: Text.ElideRight
    }
}
