import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import QtQuick.Window 2.12
import customItems 1.0
import ImageSources 1.0

// The library's dialog frame: a modal popup centred over the window, with a
// header that holds an icon tile (85 by 85, a third of it outside the top-left
// corner), the title and a close cross, the content in the middle and an
// optional row of buttons at the bottom right.
//
// `accept()` and `reject()` emit their signal and close; the cross rejects.
// Unless `closableByOutside` is set, only these close it (no Escape, no press
// outside); closing by Escape or a press outside counts as rejecting.
Popup {
    id: dialog

    property string title: ""
    property url iconSource: ImageSources.information
    property color iconBackgroundColor: GuiConfig.backgroundColorOfDefaultItem()
    property bool closableByOutside: false
    property bool closeButtonVisible: true
    readonly property real tileSize: 85
    // Items placed in the button row at the bottom right.
    property alias buttons: buttonRow.data
    default property alias content: body.data
    readonly property alias body: body
    // Return, where no button has the focus, presses this button (if enabled).
    property Item defaultButton: null
    // The item that gets the keyboard when the dialog opens (else the first
    // button); the item that had it before gets it back when it closes.
    property Item initialFocus: null
    property Item focusBefore: null

    signal accepted()
    signal rejected()

    property bool __answered: false

    function accept() { __answered = true; accepted(); close() }
    function reject() { __answered = true; rejected(); close() }

    parent: Overlay.overlay
    x: Math.round((parent ? parent.width - width : 0) / 2)
    y: Math.round((parent ? parent.height - height : 0) / 2)
    width: 480
    modal: true
    focus: true
    padding: 0
    closePolicy: closableByOutside ? (Popup.CloseOnEscape | Popup.CloseOnPressOutside) : Popup.NoAutoClose

    onAboutToShow: {
        __answered = false
        focusBefore = parent && parent.Window.window ? parent.Window.window.activeFocusItem : null
    }
    onOpened: {
        var first = initialFocus ? initialFocus : buttonRow.children.length > 0 ? buttonRow.children[0] : closeButton
        if (typeof first.takeFocus === "function")
            first.takeFocus()
        else
            first.forceActiveFocus(Qt.TabFocusReason)
    }
    onClosed: {
        if (!__answered)
            rejected()
        __answered = false
        if (focusBefore && focusBefore.visible)
            focusBefore.forceActiveFocus(Qt.TabFocusReason)
        focusBefore = null
    }

    background: Rectangle {
        color: GuiConfig.backgroundColorOfPageBlock()
        radius: GuiConfig.blockRadius()
        border.width: GuiConfig.itemBorderWidth()
        border.color: GuiConfig.frameColorOfItem()
    }

    contentItem: Item {
        implicitHeight: header.height + body.implicitHeight + footer.height + GuiConfig.itemSpacing() * 2
        Accessible.role: Accessible.Dialog
        Accessible.name: dialog.title
        function pressDefault(event) {
            event.accepted = dialog.defaultButton !== null
            if (dialog.defaultButton && dialog.defaultButton.enabled)
                dialog.defaultButton.clicked()
        }
        Keys.onReturnPressed: pressDefault(event)
        Keys.onEnterPressed: pressDefault(event)

        Item {
            id: header
            width: parent.width
            height: dialog.tileSize * 2 / 3 + GuiConfig.itemSpacing()

            Rectangle {
                id: tile
                objectName: "iconTile"
                x: -dialog.tileSize / 3
                y: -dialog.tileSize / 3
                width: dialog.tileSize
                height: dialog.tileSize
                radius: GuiConfig.blockRadius()
                color: dialog.iconBackgroundColor
                CustomImage {
                    anchors.centerIn: parent
                    width: parent.width * 0.55
                    height: width
                    source: dialog.iconSource
                }
            }

            CustomText {
                objectName: "title"
                anchors.left: tile.right
                anchors.leftMargin: GuiConfig.itemSpacing() * 2
                anchors.right: closeButton.left
                anchors.rightMargin: GuiConfig.itemSpacing()
                anchors.verticalCenter: parent.verticalCenter
                text: dialog.title
                font.pixelSize: GuiConfig.itemTextSize() + 8
                font.bold: true
                color: GuiConfig.textColorOfBlockHeader()
                elide: Text.ElideRight
            }

            AbstractButton {
                id: closeButton
                objectName: "closeButton"
                visible: dialog.closeButtonVisible
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.margins: GuiConfig.itemSpacing()
                width: GuiConfig.itemHeight()
                height: width
                hoverEnabled: true
                focusPolicy: Qt.StrongFocus
                onClicked: dialog.reject()
                Keys.onReturnPressed: clicked()
                Keys.onEnterPressed: clicked()
                Accessible.role: Accessible.Button
                Accessible.name: qsTr("Close")
                contentItem: Item {
                    CustomImage {
                        anchors.centerIn: parent
                        width: parent.width * 0.5
                        height: width
                        source: ImageSources.closeDark
                    }
                }
                background: Rectangle {
                    radius: GuiConfig.itemRadius()
                    color: closeButton.down ? GuiConfig.backgroundColorOfClickedTableButton()
                         : closeButton.hovered ? GuiConfig.backgroundColorOfHoverTableButton() : "transparent"
                    border.width: closeButton.activeFocus ? 2 : 0
                    border.color: GuiConfig.textColorOfEnabledItem2()
                }
            }
        }

        Item {
            id: body
            objectName: "body"
            anchors.top: header.bottom
            anchors.bottom: footer.top
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.margins: GuiConfig.itemSpacing() * 2
            implicitHeight: childrenRect.height
        }

        Item {
            id: footer
            anchors.bottom: parent.bottom
            width: parent.width
            height: buttonRow.children.length > 0 ? GuiConfig.itemHeight() + GuiConfig.itemSpacing() * 4 : 0
            Row {
                id: buttonRow
                anchors.right: parent.right
                anchors.rightMargin: GuiConfig.itemSpacing() * 3
                anchors.verticalCenter: parent.verticalCenter
                spacing: GuiConfig.itemSpacing() * 2
            }
        }
    }
}
