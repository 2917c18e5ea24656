import QtQuick 2.12
import QtQuick.Layouts 1.12
import customItems 1.0
import "../localCustomItems"
import "../localModelsView"

// Step 1 of the backup: the disk, the archive cipher and, in the disk's
// device tree, the root partition of the installed system. "forward" is
// open exactly while the controller accepts the partition last clicked.
CustomLocalPageInStackView {
    id: page
    objectName: "backupChoosingDevicePage"

    forwardEnabled: false
    initialFocus: driveBox

    function driveChanged(text) {
        console.log("current drive changed to", text)
        KeyMaster.selectedDrive = text
        KeyMaster.loadDevicesTree(text)
        devicesTree.clearCurrent()
        page.forwardEnabled = false
    }

    ColumnLayout {
        id: body
        anchors.fill: parent
        // Three item heights from the top where the window has room for it.
        anchors.topMargin: page.height > GuiConfig.itemHeight() * 18 ? GuiConfig.itemHeight() * 3 : GuiConfig.itemSpacing() * 4
        anchors.leftMargin: GuiConfig.itemHeight()
        anchors.rightMargin: GuiConfig.itemHeight()
        anchors.bottomMargin: GuiConfig.itemHeight() * 2
        spacing: GuiConfig.itemSpacing() * 2

        Column {
            id: choices
            Layout.preferredWidth: Math.min(body.width * 0.75, GuiConfig.itemHeight() * 16)
            spacing: GuiConfig.itemSpacing() * 2
            readonly property real labelWidth: Math.max(driveBox.labelImplicitWidth, cryptoBox.labelImplicitWidth)

            CustomComboBox {
                id: driveBox
                objectName: "driveComboBox"
                width: parent.width
                labelText: qsTr("Drive")
                labelWidth: choices.labelWidth
                model: KeyMaster.drives()
                onCurrentTextChanged: page.driveChanged(currentText)
            }

            // What the chosen disk is, so that the kernel name can be told
            // apart from the other disks.
            CustomText {
                objectName: "driveIdentityText"
                x: choices.labelWidth + GuiConfig.itemSpacing() * 2
                width: body.width - x
                visible: text !== ""
                text: KeyMaster.driveIdentity(driveBox.currentText)
                sizeFactor: 0.9
                wrapMode: Text.WordWrap
            }

            CustomComboBox {
                id: cryptoBox
                objectName: "cryptoComboBox"
                width: parent.width
                labelText: qsTr("Crypto")
                labelWidth: choices.labelWidth
                model: KeyMaster.cryptoAlgorithms()
                onCurrentTextChanged: KeyMaster.crypto = currentText
            }
        }

        CustomText {
            objectName: "devicesTreeLabel"
            Layout.fillWidth: true
            text: qsTr("Choose local drive contains / in backup device")
            wrapMode: Text.WordWrap
        }

        DevicesTreeView {
            id: devicesTree
            Layout.preferredWidth: body.width - GuiConfig.itemHeight() * 2
            Layout.fillHeight: true
            Layout.minimumHeight: GuiConfig.itemHeight() * 3
            Accessible.name: qsTr("Choose local drive contains / in backup device")
            onSelected: {
                toggle(index)
                page.forwardEnabled = KeyMaster.handleSelectedDevicePartition(index)
            }
        }
    }

    // The first entries count as chosen even if their change came before
    // the handlers were connected.
    Component.onCompleted: {
        if (KeyMaster.selectedDrive !== driveBox.currentText)
            driveChanged(driveBox.currentText)
        if (KeyMaster.crypto !== cryptoBox.currentText)
            KeyMaster.crypto = cryptoBox.currentText
    }
}
