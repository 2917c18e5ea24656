import QtQuick 2.12
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4

// The library's table view. The columns come from `columnsDescription`, a
// list of { title, role, visible } (visible defaults to true), and are created
// by the view when it is completed; none can be moved. Each column starts as
// wide as its title's length times 0.6 of the text size plus one item height,
// then all are fitted to their contents, again whenever rows are added or
// removed. Boolean cells show a check box; a click on it emits
// `checkToggled(row, role, checked)` and leaves the change to the owner.
//
// `selectedRow` is the selected row in single selection, the row last
// selected in multiple selection, and -1 when nothing is selected.
TableView {
    id: table

    property var columnsDescription: []
    // Name under which stored column visibility is read; empty: none read.
    property string columnsSettingsName: ""
    property int selectedRow: -1
    property bool fitOnRowsChange: true

    signal checkToggled(int row, string role, bool checked)

    selectionMode: SelectionMode.SingleSelection
    alternatingRowColors: false
    backgroundVisible: false
    frameVisible: true
    sortIndicatorVisible: false

    function initialColumnWidth(title) {
        return title.length * GuiConfig.itemTextSize() * 0.6 + GuiConfig.itemHeight()
    }

    function createColumns() {
        while (columnCount > 0)
            removeColumn(0)
        var stored = []
        if (columnsSettingsName !== "")
            stored = GuiConfig.loadColumnsViewParameters(columnsSettingsName)
        for (var i = 0; i < columnsDescription.length; ++i) {
            var d = columnsDescription[i]
            var column = columnComponent.createObject(table, {
                "role": d.role,
                "title": d.title,
                "visible": d.visible === undefined ? true : d.visible,
                "width": initialColumnWidth(d.title)
            })
            if (i < stored.length)
                column.visible = stored[i]
            addColumn(column)
        }
        fitColumns()
    }

    // Titles follow the description (for example after a language switch)
    // without recreating the columns.
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
        onTriggered: table.resizeColumnsToContents()
    }

    function updateSelectedRow(lastRow) {
        var rows = []
        selection.forEach(function (r) { rows.push(r) })
        if (rows.length === 0)
            selectedRow = -1
        else if (rows.indexOf(lastRow) >= 0)
            selectedRow = lastRow
        else if (rows.indexOf(selectedRow) < 0)
            selectedRow = rows[0]
    }

    property bool completed: false
    Component.onCompleted: { completed = true; createColumns() }
    onColumnsDescriptionChanged: if (completed) updateTitles()
    onRowCountChanged: {
        if (fitOnRowsChange)
            fitColumns()
        updateSelectedRow(currentRow)
    }
    onModelChanged: { selection.clear(); selectedRow = -1; fitColumns() }

    Connections {
        target: table.selection
        function onSelectionChanged() { table.updateSelectedRow(table.currentRow) }
    }


    // The keyboard goes to the rows, whichever way the view got the focus.
    onActiveFocusChanged: if (activeFocus && !__listView.activeFocus) __listView.forceActiveFocus(Qt.TabFocusReason)

    // The focus ring of the whole view; the current row has its own.
    Rectangle {
        objectName: "focusRing"
        anchors.fill: parent
        z: 100
        color: "transparent"
        visible: table.activeFocus
        border.width: 2
        border.color: GuiConfig.textColorOfEnabledItem2()
    }

    Component {
        id: columnComponent
        TableViewColumn { movable: false }
    }

    style: TableViewStyle {
        backgroundColor: GuiConfig.tableViewRowColor()
        alternateBackgroundColor: GuiConfig.tableViewRowColor()
        highlightedTextColor: GuiConfig.textColorOfEnabledItem2()
        textColor: GuiConfig.textColorOfEnabledItem2()
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
        onToggled: table.checkToggled(styleData.row, styleData.role, checked)
    }
}
