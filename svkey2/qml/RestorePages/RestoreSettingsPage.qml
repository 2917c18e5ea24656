import QtQuick 2.12
import customItems 1.0
import "../localCustomItems"
import "../localDialogs"

// Third restore step: the target disk, the master key and the recovery
// plan, and the client's password. The password lives only in this page's
// context, which the confirmation page takes over.
CustomLocalPageInStackView {
    id: page
    objectName: "restoreSettingsPage"

    forwardEnabled: passwordField.text !== "" && targetBox.count > 0
    initialFocus: targetBox

    Component.onCompleted: context = [passwordField.text]

    Column {
        id: column
        width: Math.min(parent.width * 0.9, GuiConfig.itemHeight() * 25)
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: parent.top
        anchors.topMargin: GuiConfig.itemHeight() * 2
        spacing: GuiConfig.itemHeight()

        CustomComboBox {
            id: targetBox
            objectName: "targetComboBox"
            width: column.width
            labelText: qsTr("Restore target")
            model: KeyMaster.drives()
            Component.onCompleted: if (count > 0) currentIndex = 0
            onCurrentTextChanged: {
                console.log("current drive changed to", currentText)
                KeyMaster.selectedDrive = currentText
            }
        }

        // What the chosen disk is, so that it can be told apart from the others.
        CustomText {
            objectName: "driveIdentityText"
            width: column.width
            visible: text !== ""
            text: KeyMaster.driveIdentity(targetBox.currentText)
            sizeFactor: 0.9
            elide: Text.ElideRight
        }

        CustomText {
            objectName: "keyPathText"
            width: column.width
            wrapMode: Text.WrapAnywhere
            text: qsTr("Current key path: ") + (KeyMaster.cryptKeyHandler ? KeyMaster.cryptKeyHandler.masterKeyPath : "")
        }

        // Size check and fingerprint of the key the client will use.
        CustomText {
            objectName: "keyCheckText"
            width: column.width
            wrapMode: Text.WordWrap
            text: KeyMaster.cryptKeyHandler ? KeyMaster.cryptKeyHandler.masterKeyCheck : ""
        }

        Row {
            id: buttons
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: GuiConfig.itemSpacing() * 2
            readonly property real buttonWidth: Math.max(cryptKeyButton.implicitWidth, drpButton.implicitWidth)

            CustomButton {
                id: cryptKeyButton
                objectName: "changeCryptKeyButton"
                width: buttons.buttonWidth
                text: qsTr("Change crypt key")
                onClicked: cryptKeyDialog.open()
            }
            CustomButton {
                id: drpButton
                objectName: "tuneDrpButton"
                width: buttons.buttonWidth
                text: qsTr("Tune DRP")
                onClicked: drpDialog.open()
            }
        }

        CustomLabeledTextField {
            id: passwordField
            objectName: "clientPasswordField"
            width: Math.min(column.width, GuiConfig.itemHeight() * 25)
            labelText: qsTr("Enter client's password")
            placeholderText: qsTr("Password")
            password: true
            required: true
            onTextChanged: page.context = [text]
        }
    }

    CryptKeyDialog { id: cryptKeyDialog }
    DrpDialog { id: drpDialog }
}
