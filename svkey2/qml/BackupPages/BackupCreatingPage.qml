import QtQuick 2.12
import customItems 1.0
import "../localCustomItems"

// Step 4 of the backup: the run itself. The controller does the whole
// backup inside createBackup(); the window stays drawn because every wait of
// the run processes events, so the stage line and the elapsed time below
// the busy indicator follow the run. The result goes to the exit page.
CustomLocalPageInStackView {
    id: page
    objectName: "backupCreatingPage"

    backForwardButtonsVisible: false

    property real startedAt: 0
    property int elapsedSeconds: 0

    function formatElapsed(total) {
        var h = Math.floor(total / 3600)
        var m = Math.floor(total / 60) % 60
        var s = total % 60
        return h + ":" + (m < 10 ? "0" : "") + m + ":" + (s < 10 ? "0" : "") + s
    }

    Component.onCompleted: {
        if (busyIndicator)
            busyIndicator.running = true
        startTimer.start()
    }

    Timer {
        id: startTimer
        interval: 100
        onTriggered: {
            page.needOpenJournal()
            console.log("creating backup")
            page.startedAt = Date.now()
            elapsedTimer.start()
            KeyMaster.createBackup()
        }
    }

    Timer {
        id: elapsedTimer
        interval: 500
        repeat: true
        onTriggered: page.elapsedSeconds = Math.floor((Date.now() - page.startedAt) / 1000)
    }

    Timer {
        id: endTimer
        interval: 100
        onTriggered: {
            if (busyIndicator)
                busyIndicator.running = false
            page.emitMoveOn(page.success, [page.success ? qsTr("Creating backup ended successfully")
                                                        : qsTr("Creating backup failed. See log for more info")])
        }
    }

    Connections {
        target: KeyMaster
        function onCreatingBackupEnded(success) {
            console.log("creating backup " + (success ? "ended successfully" : "failed"))
            elapsedTimer.stop()
            page.success = success
            endTimer.start()
            KeyMaster.fstabModel.resetBackupingFsNumber()
        }
    }

    // Below the work window's busy indicator, wherever the journal moves it.
    Column {
        id: status
        objectName: "runStatus"
        anchors.horizontalCenter: parent.horizontalCenter
        width: parent.width - GuiConfig.itemHeight() * 2
        spacing: GuiConfig.itemSpacing()
        y: {
            if (!busyIndicator)
                return (page.height - height) / 2
            // mapFromItem() alone registers no dependency: reading these
            // makes the binding follow the indicator and this page's size.
            var moved = busyIndicator.y + busyIndicator.height + page.height + page.y
            return Math.min(page.mapFromItem(busyIndicator, 0, busyIndicator.height).y + GuiConfig.itemSpacing() * 2,
                            page.height - height)
        }

        CustomText {
            objectName: "runStageText"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: KeyMaster.runStage
        }
        CustomText {
            objectName: "runElapsedText"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            visible: page.startedAt > 0
            text: qsTr("Elapsed time: %1").arg(page.formatElapsed(page.elapsedSeconds))
        }
    }
}
