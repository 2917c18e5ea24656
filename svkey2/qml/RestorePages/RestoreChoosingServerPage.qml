import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import "../localCustomItems"

// First restore step: the backup server and the key password. "Connect"
// authenticates through the controller; while connected the fields are
// read-only, the password field is gone and the one button disconnects.
CustomLocalPageInStackView {
    id: page
    objectName: "restoreChoosingServerPage"

    readonly property bool connected: KeyMaster.serverConnected

    forwardEnabled: connected
    initialFocus: connected ? forwardButton : serverField
    mainAction: connected ? forwardButton : connectButton
    // The password field goes or comes back: the keyboard goes on from here,
    // once the operation has ended and its buttons are enabled again.
    property bool focusPending: false
    onConnectedChanged: {
        focusPending = true
        Qt.callLater(takeFocusWhenIdle)
    }
    function takeFocusWhenIdle() {
        if (!focusPending || KeyMaster.busy)
            return
        focusPending = false
        takeFocus()
    }
    Connections {
        target: KeyMaster
        function onOperationChanged() { Qt.callLater(page.takeFocusWhenIdle) }
    }

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.bottomMargin: GuiConfig.itemHeight() + GuiConfig.itemSpacing() * 4
        contentWidth: width
        contentHeight: Math.max(height, column.implicitHeight + GuiConfig.itemHeight() * 2)
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: CustomScrollBar {}

        Column {
            id: column
            width: flick.width / 2
            x: (flick.width - width) / 2
            y: (flick.contentHeight - implicitHeight) / 2
            spacing: GuiConfig.itemSpacing() * 2

            readonly property real labelWidth: Math.max(serverField.labelImplicitWidth, cmdPortField.labelImplicitWidth,
                                                        mediaPortField.labelImplicitWidth, passwordField.labelImplicitWidth)

            CustomLabeledTextField {
                id: serverField
                objectName: "serverField"
                width: column.width
                labelWidth: column.labelWidth
                labelText: qsTr("Sarvelin server")
                placeholderText: qsTr("server ip or name")
                readOnly: page.connected
                Component.onCompleted: text = KeyMaster.sarvelinServerIp
            }
            CustomLabeledTextField {
                id: cmdPortField
                objectName: "cmdPortField"
                width: column.width
                labelWidth: column.labelWidth
                labelText: qsTr("Port cmd")
                validator: RegExpValidator { regExp: /[0-9]{1,5}/ }
                maximumLength: 5
                readOnly: page.connected
                Component.onCompleted: text = String(KeyMaster.cmdPort)
            }
            CustomLabeledTextField {
                id: mediaPortField
                objectName: "mediaPortField"
                width: column.width
                labelWidth: column.labelWidth
                labelText: qsTr("Port media")
                validator: RegExpValidator { regExp: /[0-9]{1,5}/ }
                maximumLength: 5
                readOnly: page.connected
                Component.onCompleted: text = String(KeyMaster.mediaPort)
            }
            CustomLabeledTextField {
                id: passwordField
                objectName: "keyPasswordField"
                width: Math.min(column.width, GuiConfig.itemHeight() * 25)
                labelWidth: column.labelWidth
                labelText: qsTr("Sarvelin key password")
                password: true
                required: true
                visible: !page.connected
                onVisibleChanged: text = ""
            }
            CustomText {
                objectName: "disconnectNote"
                width: column.width
                visible: page.connected
                text: qsTr("Please disconnect for editing fields")
                wrapMode: Text.WordWrap
            }
            Item {
                width: 1
                height: GuiConfig.itemHeight()
            }
            CustomButton {
                id: connectButton
                objectName: "connectButton"
                anchors.horizontalCenter: parent.horizontalCenter
                text: page.connected ? qsTr("Disconnect") : qsTr("Connect")
                enabled: !KeyMaster.busy && (page.connected || serverField.text !== "" && cmdPortField.text !== ""
                                            && mediaPortField.text !== "" && passwordField.text !== "")
                onClicked: {
                    if (page.connected)
                        KeyMaster.disconnectFromRestoreServer()
                    else
                        KeyMaster.connectToRestoreServer(serverField.text, passwordField.text)
                }
            }
        }
    }
}
