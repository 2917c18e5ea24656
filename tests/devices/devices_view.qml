// A plain view of the device tree and the fstab model, laid out as the
// backup pages show them: the tree with its five role columns and the fstab
// table with a check box for the backup mark.
import QtQuick 2.12
import QtQuick.Controls 1.4

Rectangle {
    id: root
    width: 1200
    height: 560
    color: "white"

    function expandAll() {
        for (var r = 0; r < devicesTree.rowCount(); ++r)
            tree.expand(devicesTree.index(r, 0));
    }
    Column {
        anchors.fill: parent
        anchors.margins: 10
        spacing: 8

        Text { text: "Disk /dev/" + diskName + " (tree: " + devicesTree.rowCount() + " partitions)"; font.bold: true }

        TreeView {
            id: tree
            objectName: "devicesTreeView"
            width: parent.width
            height: 230
            model: devicesTree
            TableViewColumn { title: "Name"; role: "name"; width: 170 }
            TableViewColumn { title: "FS type"; role: "fstype"; width: 110 }
            TableViewColumn { title: "Label"; role: "label"; width: 90 }
            TableViewColumn { title: "UUID"; role: "uuid"; width: 330 }
            TableViewColumn { title: "Mountpoint"; role: "mountpoint"; width: 260 }
        }

        Text { text: "Host name: \"" + hostName + "\"   Operating system: " + osName + "   marked: " + fstabModel.backupingFsNumber; font.bold: true }

        TableView {
            id: fstab
            objectName: "fstabTableView"
            width: parent.width
            height: 200
            model: fstabModel
            TableViewColumn {
                title: "Need backup"; role: "needBackup"; width: 100
                delegate: CheckBox { checked: styleData.value === true }
            }
            TableViewColumn { title: "Filesystem"; role: "filesystem"; width: 330 }
            TableViewColumn { title: "Type"; role: "type"; width: 70 }
            TableViewColumn { title: "Mountpoint"; role: "mountpoint"; width: 120 }
            TableViewColumn { title: "Options"; role: "options"; width: 150 }
            TableViewColumn { title: "Dump"; role: "dump"; width: 60 }
            TableViewColumn { title: "Pass"; role: "pass"; width: 60 }
        }
    }
}
