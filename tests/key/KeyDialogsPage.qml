import QtQuick 2.12
import dialogs 1.0
import "qrc:/qml/localDialogs"

// Hosts the master-key dialog as the restore settings page does; the root
// page's notification dialog is made before it, as in the program.
Rectangle {
    id: page
    color: GuiConfig.backgroundColorOfPage()

    // 1 once the master-key dialog was accepted.
    property int cryptKeyAnswer: 0

    CustomSmallDialog { id: notificationDialog; objectName: "notificationDialog" }
    Connections {
        target: Notifier
        function onHasError(msg) { notificationDialog.show(CustomSmallDialog.Crit, msg) }
        function onHasWarning(msg) { notificationDialog.show(CustomSmallDialog.Warn, msg) }
        function onHasInfo(msg) { notificationDialog.show(CustomSmallDialog.Info, msg) }
    }

    CryptKeyDialog { onAccepted: page.cryptKeyAnswer = 1 }
}
