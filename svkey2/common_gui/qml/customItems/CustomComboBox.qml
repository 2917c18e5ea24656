import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import ImageSources 1.0

// The library's combo box: a label and an editable field with a list of
// entries. Typing into the field filters the list one second after the last
// key (entries that contain the typed text, case-insensitive) and opens it;
// choosing an entry makes it the current one. The current entry is always one
// of the model's entries: text left in the field that names no entry is put
// back when the field loses focus or Escape is pressed.
//
// `currentText` changes whenever the chosen entry changes, whether the
// operator chose it or the model or `currentIndex` changed.
Item {
    id: root

    property string labelText: ""
    property real labelWidth: -1
    property color labelColor: GuiConfig.textColorOfEnabledItem2()
    // The entries: a list of strings.
    property var model: []
    property int currentIndex: -1
    readonly property string currentText: currentIndex >= 0 && currentIndex < count ? String(model[currentIndex]) : ""
    readonly property int count: model ? model.length : 0
    property bool editable: true
    property int filterDelay: 1000
    readonly property bool popupOpened: popup.opened
    readonly property real labelImplicitWidth: label.implicitWidth
    // What the open list shows.
    property var shownEntries: []
    property alias editText: input.text

    signal activated(int index)

    implicitHeight: GuiConfig.itemHeight()
    implicitWidth: (labelText === "" ? 0 : (labelWidth >= 0 ? labelWidth : labelImplicitWidth) + layout.spacing)
                   + GuiConfig.itemHeight() * 8

    function indexOf(text) {
        for (var i = 0; i < count; ++i)
            if (String(model[i]) === text)
                return i
        return -1
    }
    function find(text) { return indexOf(text) }
    // Gives the keyboard to the field.
    function takeFocus() { input.forceActiveFocus(Qt.TabFocusReason) }

    // Makes entry `index` of the model the current one, as if the operator chose it.
    function choose(index) {
        if (index < 0 || index >= count)
            return
        currentIndex = index
        input.text = currentText
        popup.close()
        activated(index)
    }

    function filterEntries(text) {
        var needle = text.toLowerCase()
        var result = []
        for (var i = 0; i < count; ++i) {
            var entry = String(model[i])
            if (needle === "" || entry.toLowerCase().indexOf(needle) >= 0)
                result.push(entry)
        }
        return result
    }

    function openList(entries) {
        shownEntries = entries
        list.currentIndex = entries.indexOf(currentText)
        if (entries.length > 0 && root.enabled)
            popup.open()
        else
            popup.close()
    }

    function revertText() {
        filterTimer.stop()
        input.text = currentText
    }

    // A new model keeps the current position when it is still inside the
    // list, else takes the first entry.
    onModelChanged: {
        if (count === 0)
            currentIndex = -1
        else if (currentIndex < 0 || currentIndex >= count)
            currentIndex = 0
        input.text = currentText
        if (popup.opened)
            shownEntries = filterEntries("")
    }
    onCurrentTextChanged: if (!input.activeFocus || input.text === "") input.text = currentText
    onEnabledChanged: if (!enabled) popup.close()

    Timer {
        id: filterTimer
        interval: root.filterDelay
        onTriggered: root.openList(root.filterEntries(input.text))
    }

    RowLayout {
        id: layout
        anchors.fill: parent
        spacing: GuiConfig.itemSpacing() * 2

        CustomText {
            id: label
            objectName: "label"
            visible: root.labelText !== ""
            text: root.labelText
            color: root.labelColor
            elide: Text.ElideRight
            Layout.preferredWidth: root.labelWidth >= 0 ? root.labelWidth : implicitWidth
            Layout.maximumWidth: Layout.preferredWidth
            Layout.alignment: Qt.AlignVCenter
        }

        Rectangle {
            id: frame
            Layout.fillWidth: true
            Layout.preferredHeight: GuiConfig.itemHeight()
            Layout.alignment: Qt.AlignVCenter
            radius: GuiConfig.itemRadius()
            color: root.enabled ? GuiConfig.backgroundColorOfItemInput() : GuiConfig.backgroundColorOfPage()
            border.width: input.activeFocus ? 2 : GuiConfig.itemBorderWidth()
            border.color: input.activeFocus ? GuiConfig.textColorOfEnabledItem2() : GuiConfig.frameColorOfItem()

            TextInput {
                id: input
                objectName: "editField"
                anchors.left: parent.left
                anchors.right: arrowButton.left
                anchors.leftMargin: GuiConfig.itemSpacing() * 2
                anchors.rightMargin: GuiConfig.itemSpacing()
                anchors.verticalCenter: parent.verticalCenter
                clip: true
                readOnly: !root.editable
                selectByMouse: true
                activeFocusOnTab: root.enabled
                Accessible.role: Accessible.ComboBox
                Accessible.name: root.labelText
                Accessible.description: root.currentText
                font.family: GuiConfig.itemTextFont()
                font.pixelSize: GuiConfig.itemTextSize()
                color: root.enabled ? GuiConfig.textColorOfEnabledItem2() : GuiConfig.textColorOfDisabledItem2()
                selectionColor: GuiConfig.backgroundColorOfDefaultItem()
                selectedTextColor: GuiConfig.textColorOfEnabledItem1()

                onTextEdited: filterTimer.restart()
                onActiveFocusChanged: if (!activeFocus && !popup.opened) root.revertText()
                Keys.onEscapePressed: { popup.close(); root.revertText() }
                Keys.onDownPressed: {
                    if (!popup.opened)
                        root.openList(root.filterEntries(""))
                    else if (list.currentIndex < list.count - 1)
                        list.currentIndex++
                }
                Keys.onUpPressed: {
                    if (!popup.opened)
                        root.openList(root.filterEntries(""))
                    else if (list.currentIndex > 0)
                        list.currentIndex--
                }
                // Return chooses from the open list or the typed text; with
                // nothing to choose it goes on to the page (its main action).
                function takeReturn(event) {
                    event.accepted = popup.opened || filterTimer.running || text !== root.currentText
                    if (event.accepted)
                        chooseTyped()
                }
                Keys.onReturnPressed: takeReturn(event)
                Keys.onEnterPressed: takeReturn(event)
                function chooseTyped() {
                    filterTimer.stop()
                    var index = -1
                    if (popup.opened && list.currentIndex >= 0)
                        index = root.indexOf(root.shownEntries[list.currentIndex])
                    if (index < 0)
                        index = root.indexOf(text)
                    if (index < 0) {
                        var matches = root.filterEntries(text)
                        if (matches.length === 1)
                            index = root.indexOf(matches[0])
                    }
                    if (index >= 0)
                        root.choose(index)
                    else
                        root.openList(root.filterEntries(text))
                }

                // Clicking a read-only field opens the list.
                MouseArea {
                    anchors.fill: parent
                    enabled: !root.editable
                    onClicked: root.openList(root.filterEntries(""))
                }
            }

            AbstractButton {
                id: arrowButton
                objectName: "arrowButton"
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.bottom: parent.bottom
                width: height
                focusPolicy: Qt.NoFocus
                hoverEnabled: true
                // The field itself opens the list with the arrow keys.
                Accessible.ignored: true
                onClicked: {
                    if (popup.opened) {
                        popup.close()
                    } else {
                        filterTimer.stop()
                        root.openList(root.filterEntries(""))
                    }
                }
                contentItem: Item {
                    CustomImage {
                        anchors.centerIn: parent
                        width: parent.width * 0.5
                        height: width
                        source: ImageSources.arrowDownDark
                        rotation: popup.opened ? 180 : 0
                    }
                }
                background: Rectangle {
                    radius: GuiConfig.itemRadius()
                    color: arrowButton.down ? GuiConfig.backgroundColorOfClickedTableButton()
                         : arrowButton.hovered ? GuiConfig.backgroundColorOfHoverTableButton() : "transparent"
                }
            }
        }
    }

    Popup {
        id: popup
        objectName: "popup"
        parent: frame
        y: frame.height
        width: frame.width
        height: Math.min(list.contentHeight, GuiConfig.itemHeight() * 6) + 2 * padding
        padding: 1
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
        onClosed: if (!input.activeFocus) root.revertText()

        background: Rectangle {
            color: GuiConfig.backgroundColorOfItemInput()
            border.width: GuiConfig.itemBorderWidth()
            border.color: GuiConfig.frameColorOfItem()
            radius: GuiConfig.itemRadius()
        }

        contentItem: ListView {
            id: list
            objectName: "popupList"
            clip: true
            model: root.shownEntries
            boundsBehavior: Flickable.StopAtBounds
            ScrollIndicator.vertical: ScrollIndicator {}
            delegate: ItemDelegate {
                objectName: "entry_" + modelData
                width: list.width
                height: GuiConfig.itemHeight()
                topPadding: 0
                bottomPadding: 0
                leftPadding: GuiConfig.itemSpacing() * 2
                rightPadding: GuiConfig.itemSpacing() * 2
                hoverEnabled: true
                highlighted: ListView.isCurrentItem
                contentItem: Text {
                    text: modelData
                    font.family: GuiConfig.itemTextFont()
                    font.pixelSize: GuiConfig.itemTextSize()
                    color: GuiConfig.textColorOfEnabledItem2()
                    elide: Text.ElideRight
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    color: parent.down ? GuiConfig.tableViewSelectedRowColor()
                         : parent.hovered || parent.highlighted ? GuiConfig.tableViewHoveredRowColor()
                         : "transparent"
                }
                onClicked: root.choose(root.indexOf(modelData))
            }
        }
    }
}
