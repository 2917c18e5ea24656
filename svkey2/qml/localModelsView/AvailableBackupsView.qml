import QtQuick 2.12
import modelsView 1.0

// The rescue-image archives of the chosen client. The selected row is
// written to the model, which keeps it as the archive to restore.
CustomTableView {
    id: view
    objectName: "resqueArchivesTableView"

    model: KeyMaster.resqueArchivesModel
    columnsDescription: [
        { title: qsTr("id"), role: "id" },
        { title: qsTr("Task id"), role: "taskId", visible: false },
        { title: qsTr("Name"), role: "name", visible: false },
        { title: qsTr("Reference id"), role: "referenceId", visible: false },
        { title: qsTr("Resource type"), role: "resourceType", visible: false },
        { title: qsTr("Resource"), role: "resource" },
        { title: qsTr("Backup type"), role: "backupType" },
        { title: qsTr("Pool"), role: "pool" },
        { title: qsTr("archiveSize"), role: "archiveSize" },
        { title: qsTr("snapshotSize"), role: "snapshotSize" },
        { title: qsTr("created"), role: "created", visible: false },
        { title: qsTr("creationDuration"), role: "creationDuration", visible: false },
        { title: qsTr("transmissionDuration"), role: "transmissionDuration", visible: false },
        { title: qsTr("cryptAlgorithm"), role: "cryptAlgorithm" },
        { title: qsTr("cryptDuration"), role: "cryptDuration", visible: false },
        { title: qsTr("isDigitallySigned"), role: "isDigitallySigned" },
        { title: qsTr("verificationStatus"), role: "verificationStatus" }
    ]

    onSelectedRowChanged: if (model) model.selectedRow = selectedRow

    // A refilled model starts without a selection.
    Connections {
        target: KeyMaster
        function onResqueArchivesModelChanged() {
            view.selection.clear()
            view.selectedRow = -1
        }
    }
}
