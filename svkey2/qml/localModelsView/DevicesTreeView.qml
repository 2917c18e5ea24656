import QtQuick 2.12
import modelsView 1.0

// The partitions of the chosen disk (and what lies beneath them) as a tree
// of five columns over the controller's device tree. `selected(index)` comes
// with every click while the view has a model.
CustomTreeView {
    id: tree
    objectName: "devicesTreeView"

    model: KeyMaster.devicesTree
    columnsDescription: [
        { "title": qsTr("Name"), "role": "name" },
        { "title": qsTr("FS type"), "role": "fstype" },
        { "title": qsTr("Label"), "role": "label" },
        { "title": qsTr("UUID"), "role": "uuid" },
        { "title": qsTr("Mountpoint"), "role": "mountpoint" }
    ]

    // A click opens a closed branch and closes an open one.
    function toggle(index) {
        if (isExpanded(index))
            collapse(index)
        else
            expand(index)
    }

    function clearCurrent() {
        selection.clearCurrentIndex()
        selection.clear()
    }
}
