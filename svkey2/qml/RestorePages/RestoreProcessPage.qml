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
            KeyMaster.restore(page.clientPassword)
        }
    }

    Timer {
        id: endTimer
        interval: 100
        onTriggered: {
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
            page.success = success
            endTimer.start()
        }
        function onNeedConfirmRestoreLVM(question) {
            lvmQuestion.show(question)
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
