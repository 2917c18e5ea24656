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
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.RadioButton
    Accessible.name: text

    indicator: Rectangle {
        implicitWidth: GuiConfig.itemHeight() * 0.7
        implicitHeight: implicitWidth
        x: control.leftPadding
        y: (control.height - height) / 2
        radius: width / 2
        color: GuiConfig.backgroundColorOfItemInput()
        border.width: 2
        // The accent colour of blocks: it stands out on a block in either theme.
        border.color: control.enabled ? GuiConfig.textColorOfBlockHeader() : GuiConfig.backgroundColorOfDisabledItem()
        Rectangle {
            objectName: "focusRing"
            anchors.fill: parent
            anchors.margins: -3
            radius: width / 2
            color: "transparent"
            visible: control.activeFocus
            border.width: 2
            border.color: GuiConfig.textColorOfEnabledItem2()
        }
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
