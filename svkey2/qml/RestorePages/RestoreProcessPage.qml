import QtQuick 2.12
import customItems 1.0
import dialogs 1.0
import "../localCustomItems"

// Last restore step: the run. It starts 100 ms after the page is shown (the
// busy indicator is up by then) and moves on to the exit page with its
// result. Before LVM volumes of the target disk are removed, the controller
// asks here.
CustomLocalPageInStackView {
    id: page
    objectName: "restoreProcessPage"

    property string clientPassword: ""
    // True while KeyMaster.restore() has not returned: the run goes on after
    // restoreEnded (disconnecting, stopping the local client) and keeps the
    // window alive meanwhile, so this page must not go before it returns.
    property bool restoreRunning: false
    property real startedAt: 0
    property int elapsedSeconds: 0

    function formatElapsed(total) {
        var h = Math.floor(total / 3600)
        var m = Math.floor(total / 60) % 60
        var s = total % 60
        return h + ":" + (m < 10 ? "0" : "") + m + ":" + (s < 10 ? "0" : "") + s
    }

    backForwardButtonsVisible: false

    function set(args) {
        clientPassword = args && args.length > 0 ? String(args[0]) : ""
    }

    Component.onCompleted: {
        if (busyIndicator)
            busyIndicator.running = true
        startTimer.start()
    }

    Timer {
        id: startTimer
        objectName: "restoreStartTimer"
        interval: 100
        onTriggered: {
            console.log("restore()")
            page.startedAt = Date.now()
            elapsedTimer.start()
            page.restoreRunning = true
            KeyMaster.restore(page.clientPassword)
            page.restoreRunning = false
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
            if (page.restoreRunning) {
                endTimer.restart()
                return
            }
            if (page.busyIndicator)
                page.busyIndicator.running = false
            page.emitMoveOn(page.success, [page.success ? qsTr("Recovery ended successfully")
                                                        : qsTr("Recovery failed. See log for more info")])
        }
    }

    Connections {
        target: KeyMaster
        function onRestoreEnded(success) {
            console.log("restore ended " + (success ? "successfully" : "with fail"))
            elapsedTimer.stop()
            page.success = success
            endTimer.start()
        }
        function onNeedConfirmRestoreLVM(question) {
            lvmQuestion.show(question)
        }
    }

    // The stage of the run and its elapsed time, below the busy indicator.
    Column {
        objectName: "runStatus"
        anchors.horizontalCenter: parent.horizontalCenter
        width: parent.width - GuiConfig.itemHeight() * 2
        spacing: GuiConfig.itemSpacing()
        y: {
            if (!busyIndicator)
                return (page.height - height) / 2
            // Named so that the binding follows what moves the indicator.
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

    // "Cancel" is the safe answer: it has the focus, and closing counts as it.
    CustomQuestionDialog {
        id: lvmQuestion
        objectName: "lvmQuestionDialog"
        width: Math.min(page.width, 640)
        onOpened: buttons[buttons.length - 1].forceActiveFocus()
        onAccepted: KeyMaster.answerRestoreLVM(true)
        onRejected: KeyMaster.answerRestoreLVM(false)
    }
}
