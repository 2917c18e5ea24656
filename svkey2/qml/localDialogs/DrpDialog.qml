import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import dialogs 1.0
import modelsView 1.0
import ImageSources 1.0

// The recovery-plan dialog: the records of the chosen client's disaster
// recovery plan (DrpManager.drpModel) and the archives of the selected record
// (DrpManager.drpArchiveModel). Every change of a table's selected row is
// written at once to its model's `selectedRow`; the manager then loads the
// archives of the newly selected record.
//
//   DrpDialog { id: drpDialog }    create it with the page that opens it:
//                                  the records table then selects its first
//                                  row when the plan already has rows
//   drpDialog.open()
//   accepted() / rejected()        "Ok" / "Cancel" and the cross; both only
//                                  close it, the selections stay in effect
CustomDialog {
    id: dialog
    objectName: "drpDialog"

    readonly property var columnsOfRecords: [
        { title: qsTr("id"), role: "id" },
        { title: qsTr("Resource type"), role: "resourceType" },
        { title: qsTr("Resource"), role: "resource" },
        { title: qsTr("restoreDestination"), role: "restoreDestination" },
        { title: qsTr("cryptDuration"), role: "cryptDuration" },
        { title: qsTr("priority"), role: "priority" },
        { title: qsTr("description"), role: "description" }
    ]
    // The columns of the archives table of the available backups page.
    readonly property var columnsOfArchives: [
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

    title: qsTr("Manage DRP")
    iconSource: ImageSources.information
    width: 680
    height: GuiConfig.itemHeight() * 19
    closableByOutside: false
    defaultButton: okButton
    initialFocus: recordsTable

    // The table shows the row its model holds as selected (it may have
    // been set while the dialog was closed).
    function showModelRow(table) {
        var row = table.model ? table.model.selectedRow : -1
        // The arrow keys go on from the selected row.
        if (row >= 0 && row < table.rowCount)
            table.currentRow = row
        if (row === table.selectedRow)
            return
        table.selection.clear()
        if (row >= 0 && row < table.rowCount) {
            table.currentRow = row
            table.selection.select(row)
        }
    }

    onAboutToShow: {
        showModelRow(recordsTable)
        showModelRow(archivesTable)
    }
    // Rows filled while the dialog was hidden had no cells to measure.
    onOpened: {
        recordsTable.fitColumns()
        archivesTable.fitColumns()
    }

    Column {
        width: parent.width
        spacing: GuiConfig.itemSpacing() * 2

        CustomText {
            text: qsTr("DRP records")
            sizeFactor: 1.3
            font.bold: true
        }
        CustomTableView {
            id: recordsTable
            objectName: "drpRecordsTable"
            width: parent.width
            height: GuiConfig.itemHeight() * 6
            model: DrpManager.drpModel
            columnsDescription: dialog.columnsOfRecords
            Accessible.name: qsTr("DRP records")
            // The archives table then shows another record's archives:
            // none of them is selected.
            onSelectedRowChanged: {
                if (model)
                    model.selectedRow = selectedRow
                archivesTable.selection.clear()
            }
            Component.onCompleted: {
                if (rowCount > 0) {
                    currentRow = 0
                    selection.select(0)
                }
            }
        }

        CustomText {
            text: qsTr("Archives of selected DRP record")
            sizeFactor: 1.3
            font.bold: true
        }
        CustomTableView {
            id: archivesTable
            objectName: "drpArchivesTable"
            width: parent.width
            height: GuiConfig.itemHeight() * 6
            model: DrpManager.drpArchiveModel
            columnsDescription: dialog.columnsOfArchives
            Accessible.name: qsTr("Archives of selected DRP record")
            onSelectedRowChanged: if (model) model.selectedRow = selectedRow
        }
    }

    buttons: [
        CustomButton {
            id: okButton
            objectName: "drpOkButton"
            text: qsTr("Ok")
            onClicked: dialog.accept()
        },
        CustomButton {
            objectName: "drpCancelButton"
            text: qsTr("Cancel")
            onClicked: dialog.reject()
        }
    ]
}
