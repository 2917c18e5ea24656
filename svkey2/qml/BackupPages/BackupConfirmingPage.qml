import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import "../localCustomItems"

// Step 3 of the backup: everything chosen so far, read-only, and
// "Create image".
CustomLocalPageInStackView {
    id: page
    objectName: "backupConfirmingPage"

    forwardText: qsTr("Create image")
    forwardEnabled: KeyMaster.fstabModel.backupingFsNumber > 0

    // The fstab entries marked for the backup, read when the page is made
    // (the marks cannot change while it is shown).
    property var markedEntries: []
    readonly property int visibleRows: Math.min(markedEntries.length, 5)

    function readMarkedEntries() {
        var model = KeyMaster.fstabModel
        var roles = { "needBackup": 257, "filesystem": 258, "mountpoint": 259, "type": 260 }
        var entries = []
        for (var row = 0; row < model.rowCount(); ++row) {
            var index = model.index(row, 0)
            if (model.data(index, roles.needBackup) === true)
                entries.push({ "filesystem": model.data(index, roles.filesystem),
                               "type": model.data(index, roles.type),
                               "mountpoint": model.data(index, roles.mountpoint) })
        }
        markedEntries = entries
    }

    Component.onCompleted: readMarkedEntries()

    Flickable {
        id: flick
        anchors.fill: parent
        // Three item heights from the top where the window has room for it.
        anchors.topMargin: page.height > GuiConfig.itemHeight() * 18 ? GuiConfig.itemHeight() * 3 : GuiConfig.itemSpacing() * 4
        anchors.leftMargin: GuiConfig.itemHeight()
        anchors.rightMargin: GuiConfig.itemHeight()
        anchors.bottomMargin: GuiConfig.itemHeight() * 2
        contentWidth: width
        contentHeight: body.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: body
            width: Math.min(flick.width, GuiConfig.itemHeight() * 26)
            spacing: GuiConfig.itemSpacing() * 2
            // The widest label, measured apart from the fields.
            readonly property real labelWidth: {
                var widest = mountedLabel.implicitWidth
                for (var i = 0; i < labelMetrics.count; ++i)
                    widest = Math.max(widest, labelMetrics.itemAt(i).implicitWidth)
                return widest
            }
            Repeater {
                id: labelMetrics
                model: [interfaceField.labelText, cryptoField.labelText, driveField.labelText,
                        hostField.labelText, osField.labelText]
                CustomText { visible: false; text: modelData }
            }

            CustomLabeledTextField {
                id: interfaceField
                objectName: "networkInterfaceField"
                width: parent.width
                labelText: qsTr("Network interface")
                labelWidth: body.labelWidth
                readOnly: true
                text: KeyMaster.networkInterface
            }
            CustomLabeledTextField {
                id: cryptoField
                objectName: "cryptoField"
                width: parent.width
                labelText: qsTr("Crypto")
                labelWidth: body.labelWidth
                readOnly: true
                text: KeyMaster.crypto
            }
            CustomLabeledTextField {
                id: driveField
                objectName: "drivePartitionField"
                width: parent.width
                labelText: qsTr("Drive partition")
                labelWidth: body.labelWidth
                readOnly: true
                readonly property string identity: KeyMaster.driveIdentity(KeyMaster.selectedDrive)
                text: identity === "" ? KeyMaster.selectedDrive : KeyMaster.selectedDrive + " (" + identity + ")"
            }
            CustomLabeledTextField {
                id: hostField
                objectName: "hostnameField"
                width: parent.width
                labelText: qsTr("Hostname")
                labelWidth: body.labelWidth
                readOnly: true
                text: KeyMaster.hostname
            }
            CustomLabeledTextField {
                id: osField
                objectName: "osField"
                width: parent.width
                labelText: qsTr("Operating system")
                labelWidth: body.labelWidth
                readOnly: true
                text: KeyMaster.os
            }

            Row {
                width: parent.width
                spacing: GuiConfig.itemSpacing() * 2

                CustomText {
                    id: mountedLabel
                    objectName: "mountedDirectoriesLabel"
                    width: body.labelWidth
                    height: GuiConfig.itemHeight()
                    text: qsTr("Mounted directories")
                }

                CustomText {
                    objectName: "noSelectedDirectoriesText"
                    visible: KeyMaster.fstabModel.backupingFsNumber === 0
                    height: GuiConfig.itemHeight()
                    text: qsTr("No selected directories")
                }

                ListView {
                    id: list
                    objectName: "mountedDirectoriesList"
                    visible: KeyMaster.fstabModel.backupingFsNumber > 0
                    width: parent.width - body.labelWidth - parent.spacing
                    readonly property real rowHeight: GuiConfig.itemHeight() + GuiConfig.itemSpacing()
                    height: rowHeight * (page.visibleRows + 1)
                    clip: true
                    boundsBehavior: Flickable.StopAtBounds
                    model: page.markedEntries
                    headerPositioning: ListView.OverlayHeader
                    readonly property real typeWidth: width / 6 - GuiConfig.itemSpacing() * 4
                    readonly property real gap: (width - width / 3 - typeWidth - width / 2) / 2

                    header: Rectangle {
                        z: 2
                        width: list.width
                        height: list.rowHeight
                        radius: GuiConfig.itemRadius()
                        color: GuiConfig.backgroundColorOfDefaultItem()
                        Row {
                            anchors.fill: parent
                            spacing: list.gap
                            Repeater {
                                model: [
                                    [qsTr("Filesystem"), list.width / 3],
                                    [qsTr("Type"), list.typeWidth],
                                    [qsTr("Mount point"), list.width / 2]
                                ]
                                Text {
                                    width: modelData[1]
                                    height: parent.height
                                    leftPadding: GuiConfig.itemSpacing() * 2
                                    text: modelData[0]
                                    font.family: GuiConfig.itemTextFont()
                                    font.pixelSize: GuiConfig.itemTextSize()
                                    font.bold: true
                                    color: GuiConfig.textColorOfEnabledItem1()
                                    elide: Text.ElideRight
                                    verticalAlignment: Text.AlignVCenter
                                }
                            }
                        }
                    }

                    delegate: Item {
                        width: list.width
                        height: list.rowHeight
                        Row {
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: list.gap
                            CustomTextField { width: list.width / 3; readOnly: true; text: modelData.filesystem; Component.onCompleted: cursorPosition = 0 }
                            CustomTextField { width: list.typeWidth; readOnly: true; text: modelData.type; Component.onCompleted: cursorPosition = 0 }
                            CustomTextField { width: list.width / 2; readOnly: true; text: modelData.mountpoint; Component.onCompleted: cursorPosition = 0 }
                        }
                    }

                    ScrollIndicator.vertical: ScrollIndicator {
                        objectName: "mountedDirectoriesScrollIndicator"
                        active: list.count > 5
                        visible: list.count > 5
                    }
                }
            }
        }
    }
}
