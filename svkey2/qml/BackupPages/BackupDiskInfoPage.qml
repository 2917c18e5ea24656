import QtQuick 2.12
import QtQuick.Layouts 1.12
import customItems 1.0
import "../localCustomItems"
import "../localModelsView"

// Step 2 of the backup: what the chosen root partition holds, and the marks
// of the file systems that go into the image.
CustomLocalPageInStackView {
    id: page
    objectName: "backupDiskInfoPage"

    forwardEnabled: KeyMaster.fstabModel.backupingFsNumber > 0
    initialFocus: fstabView

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
            id: fields
            Layout.preferredWidth: Math.min(body.width * 0.75, GuiConfig.itemHeight() * 20)
            spacing: GuiConfig.itemSpacing() * 2
            readonly property real labelWidth: Math.max(hostLabel.implicitWidth, osLabel.implicitWidth)

            // The labels' widths, measured apart from the fields.
            CustomText { id: hostLabel; visible: false; text: hostField.labelText }
            CustomText { id: osLabel; visible: false; text: osField.labelText }

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
            Layout.fillWidth: true
            text: qsTr("Choose mounted directories that should be in backup")
            wrapMode: Text.WordWrap
        }

        FstabView {
            id: fstabView
            Accessible.name: qsTr("Choose mounted directories that should be in backup")
            Layout.preferredWidth: body.width - GuiConfig.itemHeight() * 2
            Layout.fillHeight: true
            Layout.minimumHeight: GuiConfig.itemHeight() * 3
        }
    }
}
