import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import ImageSources 1.0
import "localCustomItems"

// The first step of the work window: the choice between the two scenarios.
// The inherited "back" and "forward" buttons are hidden here: a scenario has
// to be chosen before anything can move on.
CustomLocalPageInStackView {
    id: page
    objectName: "scenarioSelectionPage"

    signal backupChosen()
    signal restoreChosen()

    backForwardButtonsVisible: false
    title: qsTr("Backup") + " / " + qsTr("Restore")
    initialFocus: backupButton

    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: Math.max(height, column.implicitHeight + GuiConfig.itemHeight() * 2)
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: column
            anchors.centerIn: parent
            spacing: GuiConfig.itemHeight() * 2

            readonly property real buttonHeight: GuiConfig.itemHeight() * 4
            readonly property real buttonWidth: Math.min(buttonHeight * 6, flick.width - GuiConfig.itemHeight() * 2)

            CustomBigButton {
                id: backupButton
                objectName: "backupButton"
                enabled: !KeyMaster.busy
                width: column.buttonWidth
                height: column.buttonHeight
                text: qsTr("Backup")
                imageSource: ImageSources.backup
                onClicked: {
                    console.log("backup chosen")
                    page.backupChosen()
                    page.emitMoveOn(true, [])
                }
            }

            CustomBigButton {
                objectName: "restoreButton"
                enabled: !KeyMaster.busy
                width: column.buttonWidth
                height: column.buttonHeight
                text: qsTr("Restore")
                imageSource: ImageSources.restore
                onClicked: {
                    console.log("restore chosen")
                    page.restoreChosen()
                    page.emitMoveOn(true, [])
                }
            }
        }
    }
}
