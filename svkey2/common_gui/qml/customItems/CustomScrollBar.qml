import QtQuick 2.12
import QtQuick.Controls 2.12

// The library's scroll bar in the settings' scroll bar colours.
ScrollBar {
    id: control

    implicitWidth: GuiConfig.itemSpacing() * 2 + GuiConfig.scrollWidth() * 2
    implicitHeight: implicitWidth
    minimumSize: 0.1
    // The mouse's: the keyboard moves through the view's own items.
    focusPolicy: Qt.NoFocus

    background: Rectangle {
        color: GuiConfig.backgroundColorOfScrollbarTrack()
        border.width: control.policy === ScrollBar.AlwaysOn ? 1 : 0
        border.color: GuiConfig.frameColorOfScrollbar()
        radius: width / 2
        visible: control.policy === ScrollBar.AlwaysOn || control.active
    }
    contentItem: Rectangle {
        implicitWidth: control.implicitWidth
        implicitHeight: control.implicitHeight
        radius: Math.min(width, height) / 2
        color: control.pressed ? GuiConfig.backgroundColorOfClickedItem()
                               : GuiConfig.backgroundColorOfScrollbarHandle()
        visible: control.size < 1.0
    }
}
