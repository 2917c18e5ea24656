import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import "localCustomItems"
import "BackupPages"
import "RestorePages"

// The work window: the step stack, starting with the scenario choice, and
// the busy indicator above it. The stack keeps one item height free at the
// bottom for the footer, and the journal's height more while it is open.
CustomLocalPage {
    id: window
    objectName: "workWindow"
    title: stack.currentTitle !== "" ? stack.currentTitle : "Sarvelin key"

    readonly property var backupQueue: [
        [backupChoosingDevicePage, qsTr("Choose backup device for creating resque image")],
        [backupDiskInfoPage, qsTr("Chosen disk info")],
        [backupConfirmingPage, qsTr("Confirm chosen data: backup")],
        [backupCreatingPage, qsTr("Backup is creating")]
    ]
    readonly property var restoreQueue: [
        [restoreChoosingServerPage, qsTr("Choose server")],
        [restoreAvailableBackupsPage, qsTr("Available backups")],
        [restoreSettingsPage, qsTr("Restore settings")],
        [restoreConfirmingPage, qsTr("Confirm chosen data: restore")],
        [restoreProcessPage, qsTr("Restore is in progress")]
    ]
    readonly property alias stack: stack
    readonly property alias busyIndicator: busyIndicator

    onJournalOpened: stack.anchors.bottomMargin = GuiConfig.itemHeight() + journalHeight
    onJournalClosed: stack.anchors.bottomMargin = GuiConfig.itemHeight()
    onToStart: stack.clear()

    Component { id: backupChoosingDevicePage; BackupChoosingDevicePage {} }
    Component { id: backupDiskInfoPage; BackupDiskInfoPage {} }
    Component { id: backupConfirmingPage; BackupConfirmingPage {} }
    Component { id: backupCreatingPage; BackupCreatingPage {} }
    Component { id: restoreChoosingServerPage; RestoreChoosingServerPage {} }
    Component { id: restoreAvailableBackupsPage; RestoreAvailableBackupsPage {} }
    Component { id: restoreSettingsPage; RestoreSettingsPage {} }
    Component { id: restoreConfirmingPage; RestoreConfirmingPage {} }
    Component { id: restoreProcessPage; RestoreProcessPage {} }

    CustomLocalStackView {
        id: stack
        objectName: "stepStack"
        anchors.fill: parent
        anchors.bottomMargin: GuiConfig.itemHeight()
        busyIndicator: busyIndicator

        initialItem: ScenarioSelectionPage {
            busyIndicator: busyIndicator
            onBackupChosen: stack.pagesQueue = Qt.binding(function () { return window.backupQueue })
            onRestoreChosen: stack.pagesQueue = Qt.binding(function () { return window.restoreQueue })
        }

        onNeedOpenJournal: window.needOpenJournal()
        onQueueEnded: {
            console.log("queue ended with", success, context)
            busyIndicator.running = false
            if (context.length > 0)
                window.emitMoveOn(success, String(context[0]))
        }
    }

    CustomBusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        anchors.centerIn: stack
        z: 10
        running: false
    }
}
