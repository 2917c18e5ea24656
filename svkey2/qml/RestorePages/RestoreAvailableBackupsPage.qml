import QtQuick 2.12
import customItems 1.0
import "../localCustomItems"
import "../localModelsView"

// Second restore step: the client whose image is wanted and one of its
// rescue-image archives. Every change of the client reloads the archives.
CustomLocalPageInStackView {
    id: page
    objectName: "restoreAvailableBackupsPage"

    forwardEnabled: clientBox.count > 0 && archivesView.selectedRow >= 0
    initialFocus: clientBox.enabled ? clientBox : archivesView

    function loadChosenClient() {
        if (clientBox.count > 0)
            KeyMaster.loadRecoveringClientData(clientBox.currentText)
    }

    Column {
        id: column
        anchors.top: parent.top
        anchors.topMargin: GuiConfig.itemHeight()
        anchors.horizontalCenter: parent.horizontalCenter
        width: parent.width - GuiConfig.itemHeight() * 2
        spacing: GuiConfig.itemHeight()

        CustomComboBox {
            id: clientBox
            objectName: "clientComboBox"
            width: Math.min(column.width, GuiConfig.itemHeight() * 25)
            labelText: qsTr("Client hostname")
            model: KeyMaster.clientNames
            enabled: count > 0
            Component.onCompleted: if (count > 0) currentIndex = 0
            // On the next turn of the event loop: the page is drawn first.
            onCurrentTextChanged: if (count > 0) Qt.callLater(page.loadChosenClient)
        }

        AvailableBackupsView {
            id: archivesView
            width: column.width
            height: page.height - GuiConfig.itemHeight() * 8
            Accessible.name: qsTranslate("Window", "Available backups")
        }
    }
}
