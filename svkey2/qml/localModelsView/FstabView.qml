import QtQuick 2.12
import QtQuick.Controls 1.4
import modelsView 1.0

// The installed system's fstab entries; the check box of a row marks or
// unmarks the entry for the backup in the controller's fstab model.
CustomTableView {
    id: table
    objectName: "fstabTableView"

    model: KeyMaster.fstabModel
    selectionMode: SelectionMode.MultiSelection
    columnsDescription: [
        { "title": qsTr("Need backup"), "role": "needBackup" },
        { "title": qsTr("Filesystem"), "role": "filesystem" },
        { "title": qsTr("Type"), "role": "type" },
        { "title": qsTr("Mountpoint"), "role": "mountpoint" },
        { "title": qsTr("Options"), "role": "options" },
        { "title": qsTr("Dump"), "role": "dump" },
        { "title": qsTr("Pass"), "role": "pass" }
    ]

    onCheckToggled: KeyMaster.fstabModel.mark(row, checked)
    // Space on a row toggles its mark, as a click on its check box does.
    Keys.onSpacePressed: {
        var model = KeyMaster.fstabModel
        if (currentRow >= 0 && currentRow < model.rowCount())
            model.mark(currentRow, model.data(model.index(currentRow, 0), 257) !== true)
    }
}
