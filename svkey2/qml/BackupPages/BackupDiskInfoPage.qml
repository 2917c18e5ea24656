import QtQuick 2.12
import customItems 1.0
import "../localCustomItems"
import "../localModelsView"

// Step 2 of the backup: what the chosen root partition holds, and the marks
// of the file systems that go into the image.
CustomLocalPageInStackView {
    id: page
    objectName: "backupDiskInfoPage"

    forwardEnabled: KeyMaster.fstabModel.backupingFsNumber > 0

    Column {
        id: body
        anchors.fill: parent
        anchors.topMargin: GuiConfig.itemHeight() * 3
        anchors.leftMargin: GuiConfig.itemHeight()
        anchors.rightMargin: GuiConfig.itemHeight()
        anchors.bottomMargin: GuiConfig.itemHeight() * 2
        spacing: GuiConfig.itemSpacing() * 2

        Column {
            id: fields
            width: Math.min(body.width * 0.75, GuiConfig.itemHeight() * 20)
            spacing: GuiConfig.itemSpacing() * 2
            readonly property real labelWidth: Math.max(hostField.labelImplicitWidth, osField.labelImplicitWidth)

            CustomLabeledTextField {
                id: hostField
                objectName: "hostnameField"
                width: parent.width
                labelText: qsTr("Host name")
                labelWidth: fields.labelWidth
                readOnly: true
                text: KeyMaster.hostname
            }
            CustomLabeledTextField {
                id: osField
                objectName: "osField"
                width: parent.width
                labelText: qsTr("Operating system")
                labelWidth: fields.labelWidth
                readOnly: true
                text: KeyMaster.os
            }
        }

        CustomText {
            objectName: "fstabLabel"
            width: body.width
            text: qsTr("Choose mounted directories that should be in backup")
            wrapMode: Text.WordWrap
        }

        FstabView {
            width: body.width - GuiConfig.itemHeight() * 2
            height: Math.max(GuiConfig.itemHeight() * 3, page.height - GuiConfig.itemHeight() * 9)
        }
    }
}
