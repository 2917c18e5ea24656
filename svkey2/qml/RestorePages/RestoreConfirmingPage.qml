import QtQuick 2.12
import customItems 1.0
import "../localCustomItems"

// Fourth restore step: everything chosen so far, read-only. "Restore" passes
// the client's password on to the run.
CustomLocalPageInStackView {
    id: page
    objectName: "restoreConfirmingPage"

    forwardText: qsTr("Restore")

    function set(args) {
        if (args && args.length > 0)
            context = [args[0]]
    }

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.bottomMargin: GuiConfig.itemHeight() + GuiConfig.itemSpacing() * 4
        contentWidth: width
        contentHeight: Math.max(height, column.implicitHeight + GuiConfig.itemHeight() * 2)
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: column
            width: Math.min(flick.width * 0.9, GuiConfig.itemHeight() * 40)
            x: (flick.width - width) / 2
            y: (flick.contentHeight - implicitHeight) / 2
            spacing: GuiConfig.itemSpacing() * 2

            readonly property real labelWidth: {
                var widest = 0
                for (var i = 0; i < fields.count; ++i) {
                    var field = fields.itemAt(i)
                    if (field)
                        widest = Math.max(widest, field.labelImplicitWidth)
                }
                return widest
            }

            Repeater {
                id: fields
                model: [
                    { name: "interfaceField", label: qsTr("Network interface"), value: KeyMaster.networkInterface },
                    { name: "serverField", label: qsTr("Sarvelin server"), value: KeyMaster.sarvelinServerIp },
                    { name: "cmdPortField", label: qsTr("Port cmd"), value: String(KeyMaster.cmdPort) },
                    { name: "mediaPortField", label: qsTr("Port media"), value: String(KeyMaster.mediaPort) },
                    { name: "clientField", label: qsTr("Client hostname"), value: KeyMaster.recoveringClient },
                    { name: "backupField", label: qsTr("Selected backup"),
                      value: KeyMaster.resqueArchivesModel.selectedBackupName },
                    { name: "targetField", label: qsTr("Restore target"),
                      value: KeyMaster.selectedDrive + (KeyMaster.driveIdentity(KeyMaster.selectedDrive) === "" ? ""
                             : "  (" + KeyMaster.driveIdentity(KeyMaster.selectedDrive) + ")") }
                ]
                CustomLabeledTextField {
                    objectName: modelData.name
                    width: column.width
                    labelWidth: column.labelWidth
                    labelText: modelData.label
                    text: modelData.value
                    readOnly: true
                }
            }
        }
    }
}
