import QtQuick 2.12
import QtQuick.Controls 1.5
import QtQuick.Controls.Styles 1.4
import QtQml.Models 2.2

// The library's tree view. Columns come from `columnsDescription`, a list of
// { title, role, visible }, and are created when the view is completed; they
// are fitted to their contents then and whenever a branch is expanded or
// collapsed. The view keeps its own selection model on its model. A click on
// a row emits `selected(index)`, only while the view has a model.
TreeView {
    id: tree

    property var columnsDescription: []

    signal selected(var index)

    alternatingRowColors: false
    backgroundVisible: false
    frameVisible: true
    selectionMode: SelectionMode.SingleSelection
    selection: ItemSelectionModel { model: tree.model }
    Accessible.role: Accessible.Tree

    // Return or Space on a row does what a click does.
    function selectCurrent(event) {
        event.accepted = model && currentIndex.valid
        if (event.accepted)
            selected(currentIndex)
    }
    Keys.onReturnPressed: selectCurrent(event)
    Keys.onEnterPressed: selectCurrent(event)
    Keys.onSpacePressed: selectCurrent(event)

    function createColumns() {
        while (columnCount > 0)
            removeColumn(0)
        for (var i = 0; i < columnsDescription.length; ++i) {
            var d = columnsDescription[i]
            addColumn(columnComponent.createObject(tree, {
                "role": d.role,
                "title": d.title,
                "visible": d.visible === undefined ? true : d.visible,
                "width": d.title.length * GuiConfig.itemTextSize() * 0.6 + GuiConfig.itemHeight()
            }))
        }
        fitColumns()
    }

    function updateTitles() {
        if (columnCount !== columnsDescription.length)
            return createColumns()
        for (var i = 0; i < columnCount; ++i)
            getColumn(i).title = columnsDescription[i].title
        fitColumns()
    }

    // Fitting waits for the rows' delegates to exist.
    function fitColumns() { fitTimer.restart() }
    Timer {
        id: fitTimer
        interval: 30
        onTriggered: tree.resizeColumnsToContents()
    }

    property bool completed: false
    Component.onCompleted: { completed = true; createColumns() }
    onColumnsDescriptionChanged: if (completed) updateTitles()
    onExpanded: fitColumns()
    onCollapsed: fitColumns()
    onModelChanged: fitColumns()
    onClicked: if (model) selected(index)


    // The keyboard goes to the rows, whichever way the view got the focus.
    onActiveFocusChanged: if (activeFocus && !__listView.activeFocus) __listView.forceActiveFocus(Qt.TabFocusReason)

    // The focus ring of the whole view; the current row has its own.
    Rectangle {
        objectName: "focusRing"
        anchors.fill: parent
        z: 100
        color: "transparent"
        visible: tree.activeFocus
        border.width: 2
        border.color: GuiConfig.textColorOfEnabledItem2()
    }

    Component {
        id: columnComponent
        TableViewColumn { movable: false }
    }

    style: TreeViewStyle {
        backgroundColor: GuiConfig.tableViewRowColor()
        alternateBackgroundColor: GuiConfig.tableViewRowColor()
        highlightedTextColor: GuiConfig.textColorOfEnabledItem2()
        textColor: GuiConfig.textColorOfEnabledItem2()
        indentation: GuiConfig.itemHeight() * 0.7
    }

    headerDelegate: Rectangle {
        implicitHeight: GuiConfig.itemHeight()
        implicitWidth: Math.ceil(headerText.implicitWidth + GuiConfig.itemSpacing() * 4) + 2
        color: GuiConfig.tableViewHeaderColor()
        Text {
            id: headerText
            anchors.fill: parent
            anchors.leftMargin: GuiConfig.itemSpacing() * 2
            anchors.rightMargin: GuiConfig.itemSpacing() * 2
            text: styleData.value
            font.family: GuiConfig.itemTextFont()
            font.pixelSize: GuiConfig.itemTextSize()
            font.bold: true
            color: GuiConfig.textColorOfEnabledItem1()
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
        Rectangle {
            width: 1
            height: parent.height
            anchors.right: parent.right
            color: GuiConfig.backgroundColorOfClickedItem()
        }
    }

    rowDelegate: Rectangle {
        height: GuiConfig.tableViewRowHeight()
        color: styleData.selected ? GuiConfig.tableViewSelectedRowColor() : GuiConfig.tableViewRowColor()
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: GuiConfig.tableViewBorderWidth()
            color: GuiConfig.tableViewRowBorderColor()
        }
        Rectangle {
            anchors.fill: parent
            color: "transparent"
            visible: styleData.hasActiveFocus
            border.width: 2
            border.color: GuiConfig.textColorOfEnabledItem2()
        }
    }

    itemDelegate: CellDelegate {
        value: styleData.value
    }
}
