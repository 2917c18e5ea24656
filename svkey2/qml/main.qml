import QtQuick 2.12
import QtQuick.Controls 2.12
import dialogs 1.0

// The root page: it owns the single notification dialog and starts the
// controller's checks once the interface is up.
Item {
    id: root
    objectName: "rootPage"

    Rectangle {
        anchors.fill: parent
        color: GuiConfig.backgroundColorOfPage()
    }

    // The single notification dialog; Notifier's signals are shown here.
    CustomSmallDialog {
        id: notificationDialog
        objectName: "notificationDialog"
        onNeedExit: {
            KeyMaster.exitHandler()
            Qt.quit()
        }
    }

    Connections {
        target: Notifier
        function onHasError(msg, details, context) {
            console.error("Notifier::onHasError:", msg, details, context)
            notificationDialog.show(CustomSmallDialog.Crit, msg, details, context)
        }
        function onHasWarning(msg, details, context) {
            console.warn("Notifier::onHasWarning:", msg, details, context)
            notificationDialog.show(CustomSmallDialog.Warn, msg, details, context)
        }
        function onHasInfo(msg, details, context) {
            console.log("Notifier::onHasInfo:", msg, details, context)
            notificationDialog.show(CustomSmallDialog.Info, msg, details, context)
        }
        function onHasExitRequest() {
            console.log("Notifier::onHasExitRequest")
            notificationDialog.show(CustomSmallDialog.Exit, "", "", [])
        }
        function onHasLogoutRequest() {
            console.log("Notifier::onHasLogoutRequest")
            notificationDialog.show(CustomSmallDialog.Logout, "", "", [])
        }
        function onHasAssert(msg, details, context) {
            console.log("Notifier::onHasAssert : " + msg + " \n " + details)
            notificationDialog.show(CustomSmallDialog.Assert, msg, details, context)
        }
    }

    // The rescue-medium check and the list of drives, once the page is up.
    Timer {
        id: startTimer
        interval: 100
        repeat: false
        running: true
        onTriggered: KeyMaster.init()
    }
}
