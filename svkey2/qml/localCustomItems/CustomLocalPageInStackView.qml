import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0

// Base of the step pages of the work window's step stack. The body is a
// panel inset by one item height at the sides; at its bottom right are the
// "back" and "forward" buttons under a thin line. "forward" passes the page's
// own `success` and `context` on.
CustomStackPage {
    id: page

    property bool success: true
    property var context: []
    property alias backText: backButton.text
    property alias forwardText: forwardButton.text
    // What the page allows; nothing goes back or forward while the
    // controller runs an operation.
    property bool backEnabled: true
    property bool forwardEnabled: true
    property alias backForwardButtonsVisible: buttonsArea.visible
    readonly property alias forwardButton: forwardButton
    // Return, where no button has the focus, presses this one if it can be
    // pressed; the page's first useful control gets the focus when shown.
    property Item mainAction: forwardButton
    property Item initialFocus: forwardButton
    // The work window's busy indicator, handed over by the step stack.
    property Item busyIndicator: null
    // The panel that holds the page's own items.
    readonly property alias panel: panel
    default property alias panelData: panel.data

    signal moveOn(bool success, var context)
    signal goBack()
    signal needOpenJournal()

    function takeFocus() {
        var item = initialFocus
        if (!item || !item.visible || !item.enabled)
            item = backForwardButtonsVisible && forwardButton.enabled ? forwardButton : null
        if (!item)
            return
        if (typeof item.takeFocus === "function")
            item.takeFocus()
        else
            item.forceActiveFocus(Qt.TabFocusReason)
    }
    StackView.onActivated: takeFocus()

    function pressMainAction(event) {
        event.accepted = mainAction !== null && mainAction.visible && mainAction.enabled
        if (event.accepted)
            mainAction.clicked()
    }
    Keys.onReturnPressed: pressMainAction(event)
    Keys.onEnterPressed: pressMainAction(event)

    function emitMoveOn(success, context) {
        moveOn(success === undefined ? true : success,
               context === undefined ? [] : context)
    }

    Rectangle {
        id: panelFrame
        anchors.fill: parent
        anchors.leftMargin: GuiConfig.itemHeight()
        anchors.rightMargin: GuiConfig.itemHeight()
        anchors.bottomMargin: GuiConfig.itemSpacing() * 2
        radius: GuiConfig.itemRadius()
        color: GuiConfig.backgroundColorOfPageBlock()

        Item {
            id: panel
            anchors.fill: parent
        }

        Item {
            id: buttonsArea
            objectName: "backForwardButtons"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: GuiConfig.itemHeight() + GuiConfig.itemSpacing() * 4

            Rectangle {
                anchors.top: parent.top
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.leftMargin: GuiConfig.itemSpacing() * 2
                anchors.rightMargin: GuiConfig.itemSpacing() * 2
                height: 1
                color: GuiConfig.frameColorOfItem()
            }

            Row {
                anchors.right: parent.right
                anchors.rightMargin: GuiConfig.itemSpacing() * 3
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: 1
                spacing: GuiConfig.itemSpacing() * 2

                CustomButton {
                    id: backButton
                    objectName: "backButton"
                    text: qsTr("back")
                    enabled: page.backEnabled && !KeyMaster.busy
                    onClicked: page.goBack()
                }
                CustomButton {
                    id: forwardButton
                    objectName: "forwardButton"
                    text: qsTr("forward")
                    enabled: page.forwardEnabled && !KeyMaster.busy
                    onClicked: page.emitMoveOn(page.success, page.context)
                }
            }
        }
    }
}
