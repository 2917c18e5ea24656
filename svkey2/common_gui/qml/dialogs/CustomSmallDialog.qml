import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import ImageSources 1.0

// The single notification dialog: a small modal dialog, 480 pixels wide and
// centred in the window, that shows one notification at a time. The kind
// number is also the priority: while open, only a notification of a higher
// kind replaces what is shown, anything else is dropped.
Dialog {
    id: dialog

    enum Type { Ques, Info, Warn, Crit, Exit, Logout, Assert }

    // What is on screen.
    property int type: CustomSmallDialog.Ques
    property string message: ""
    property string details: ""
    property var context: []
    // Whether the details are unfolded, and whether their text has been
    // filled in (it is, when the first unfolding ends).
    property bool expanded: false
    property bool detailsFilled: false

    readonly property bool hasMessageArea: type !== CustomSmallDialog.Exit && type !== CustomSmallDialog.Logout
    readonly property bool hasDetails: hasMessageArea && details !== ""
    readonly property bool onlyCrossCloses: type === CustomSmallDialog.Crit || type === CustomSmallDialog.Assert

    readonly property int itemHeight: GuiConfig.itemHeight()
    readonly property int gap: GuiConfig.itemSpacing()
    readonly property int animationDuration: 250

    signal needExit()
    signal needLogout()

    // Shows a notification; returns false when it was dropped because the
    // one on screen is of the same or a higher kind.
    // Decided by what is on screen, not by `opened`, which turns true only
    // when an opening transition ends. A dialog that is closing counts as
    // gone: opening it again ends the closing (and its reset) first.
    function show(kind, msg, detailsText, contextValues) {
        var showing = visible && !closing
        if (showing && kind <= type)
            return false
        if (!showing)
            open()
        type = kind
        message = msg === undefined || msg === null ? "" : String(msg)
        details = detailsText === undefined || detailsText === null ? "" : String(detailsText)
        context = contextValues === undefined || contextValues === null ? [] : contextValues
        expanded = false
        detailsFilled = false
        return true
    }

    function titleOf(kind) {
        switch (kind) {
        case CustomSmallDialog.Ques: return qsTr("Confirmation")
        case CustomSmallDialog.Info: return qsTr("Information")
        case CustomSmallDialog.Warn: return qsTr("Warning")
        case CustomSmallDialog.Crit: return qsTr("Error")
        case CustomSmallDialog.Exit: return qsTr("Do you want to exit?")
        case CustomSmallDialog.Logout: return qsTr("Do you want to logout?")
        case CustomSmallDialog.Assert: return qsTr("Assert")
        }
        return ""
    }

    function iconOf(kind) {
        switch (kind) {
        case CustomSmallDialog.Warn: return ImageSources.warning
        case CustomSmallDialog.Crit:
        case CustomSmallDialog.Assert: return ImageSources.critical
        case CustomSmallDialog.Exit:
        case CustomSmallDialog.Logout: return ImageSources.logout
        }
        return ImageSources.information
    }

    function iconBackgroundOf(kind) {
        switch (kind) {
        case CustomSmallDialog.Warn: return "orange"
        case CustomSmallDialog.Crit:
        case CustomSmallDialog.Assert: return "red"
        }
        return GuiConfig.backgroundColorOfDefaultItem()
    }

    function toggleDetails() {
        if (hasDetails)
            expanded = !expanded
    }

    // The close cross: rejects; for an assertion it also asks to log out.
    function closeByCross() {
        var wasAssert = type === CustomSmallDialog.Assert
        reject()
        if (wasAssert)
            needLogout()
    }

    // Escape: the cross of a dialog that only the cross closes, else Cancel.
    function closeByEscape() {
        if (onlyCrossCloses)
            closeByCross()
        else
            reject()
    }

    // Where the keyboard is while the dialog is open: the close cross of a
    // message, "Cancel" of a question (the safe answer). The item that had
    // the focus before gets it back when the dialog closes.
    property Item focusBefore: null
    function takeFocus() {
        if (hasMessageArea)
            closeCross.forceActiveFocus(Qt.TabFocusReason)
        else if (buttonRepeater.count > 1)
            buttonRepeater.itemAt(1).forceActiveFocus(Qt.TabFocusReason)
    }
    onTypeChanged: if (visible) Qt.callLater(takeFocus)
    onOpened: takeFocus()

    function acceptButton() {
        var kind = type
        accept()
        if (kind === CustomSmallDialog.Exit)
            needExit()
        else if (kind === CustomSmallDialog.Logout)
            needLogout()
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 480
    modal: true
    focus: true
    padding: 0
    topPadding: 0
    bottomPadding: 0
    closePolicy: onlyCrossCloses ? Popup.NoAutoClose : (Popup.CloseOnEscape | Popup.CloseOnPressOutside)

    readonly property int collapsedHeight: headerRow.height + body.collapsedHeight
    readonly property int expandedHeight: collapsedHeight + detailsArea.wantedHeight
    height: opened || visible ? (expanded ? expandedHeight : collapsedHeight) : 0
    Behavior on height {
        NumberAnimation {
            id: heightAnimation
            duration: dialog.animationDuration
            easing.type: Easing.OutCubic
            onRunningChanged: {
                if (!running && dialog.expanded)
                    dialog.detailsFilled = true
            }
        }
    }

    // True from the start of a closing until the dialog is opened again.
    property bool closing: false
    onAboutToHide: closing = true
    onAboutToShow: {
        closing = false
        var window = Overlay.overlay ? Overlay.overlay.Window.window : null
        focusBefore = window ? window.activeFocusItem : null
    }

    onClosed: {
        type = CustomSmallDialog.Ques
        message = ""
        details = ""
        context = []
        expanded = false
        detailsFilled = false
        if (focusBefore && focusBefore.visible)
            focusBefore.forceActiveFocus(Qt.TabFocusReason)
        focusBefore = null
    }

    background: Rectangle {
        color: GuiConfig.backgroundColorOfPageBlock()
        border.color: GuiConfig.frameColorOfItem()
        border.width: GuiConfig.itemBorderWidth()
        radius: GuiConfig.itemRadius()
    }

    header: Item {
        id: headerRow
        height: dialog.itemHeight * 2
        width: dialog.width
        Keys.onEscapePressed: dialog.closeByEscape()

        Rectangle {
            id: iconBox
            objectName: "dialogIconBox"
            anchors.left: parent.left
            anchors.leftMargin: dialog.gap * 2
            anchors.verticalCenter: parent.verticalCenter
            width: dialog.itemHeight * 1.4
            height: width
            radius: width / 2
            color: dialog.iconBackgroundOf(dialog.type)
            Image {
                objectName: "dialogIcon"
                anchors.centerIn: parent
                width: parent.width * 0.7
                height: width
                sourceSize.width: width
                sourceSize.height: height
                source: dialog.iconOf(dialog.type)
                fillMode: Image.PreserveAspectFit
            }
        }

        Text {
            id: title
            objectName: "dialogTitle"
            anchors.left: iconBox.right
            anchors.leftMargin: dialog.gap * 2
            anchors.right: closeCross.visible ? closeCross.left : parent.right
            anchors.rightMargin: dialog.gap * 2
            anchors.verticalCenter: parent.verticalCenter
            text: dialog.titleOf(dialog.type)
            elide: Text.ElideRight
            font.family: GuiConfig.itemTextFont()
            font.pixelSize: GuiConfig.itemTextSize() * 1.3
            font.bold: true
            color: GuiConfig.textColorOfEnabledItem2()
        }

        // The close cross: drawn, one item height square.
        Rectangle {
            id: closeCross
            objectName: "dialogCloseButton"
            visible: dialog.hasMessageArea
            anchors.right: parent.right
            anchors.rightMargin: dialog.gap * 2
            anchors.verticalCenter: parent.verticalCenter
            width: dialog.itemHeight
            height: width
            radius: GuiConfig.itemRadius()
            color: crossMouse.pressed ? GuiConfig.backgroundColorOfClickedTableButton()
                 : crossMouse.containsMouse ? GuiConfig.backgroundColorOfHoverTableButton() : "transparent"
            activeFocusOnTab: visible
            border.width: activeFocus ? 2 : 0
            border.color: GuiConfig.textColorOfEnabledItem2()
            Keys.onReturnPressed: dialog.closeByCross()
            Keys.onEnterPressed: dialog.closeByCross()
            Keys.onSpacePressed: dialog.closeByCross()
            Accessible.role: Accessible.Button
            Accessible.name: qsTr("Close")
            Accessible.onPressAction: dialog.closeByCross()
            Repeater {
                model: [45, -45]
                Rectangle {
                    anchors.centerIn: parent
                    width: parent.width * 0.6
                    height: 2
                    radius: 1
                    rotation: modelData
                    color: GuiConfig.textColorOfEnabledItem4()
                }
            }
            MouseArea {
                id: crossMouse
                anchors.fill: parent
                hoverEnabled: true
                onClicked: dialog.closeByCross()
            }
        }
    }

    contentItem: Item {
        id: body
        clip: true
        // Read out as an alert (a message) or as a dialog (a question).
        Accessible.role: dialog.hasMessageArea ? Accessible.AlertMessage : Accessible.Dialog
        Accessible.name: dialog.titleOf(dialog.type)
        Accessible.description: dialog.message
        Keys.onEscapePressed: dialog.closeByEscape()
        readonly property int messageHeight: messageText.visible
                                             ? messageText.implicitHeight + dialog.gap * 6 : 0
        readonly property int stripHeight: dialog.hasDetails ? dialog.itemHeight : 0
        readonly property int buttonsHeight: dialog.hasMessageArea ? 0 : dialog.itemHeight + dialog.gap * 4
        readonly property int collapsedHeight: messageHeight + stripHeight + buttonsHeight

        TextEdit {
            id: messageText
            objectName: "dialogMessage"
            visible: dialog.hasMessageArea || dialog.message !== ""
            anchors.top: parent.top
            anchors.topMargin: dialog.gap * 3
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: dialog.gap * 4
            anchors.rightMargin: dialog.gap * 4
            text: dialog.message
            readOnly: true
            selectByMouse: true
            wrapMode: TextEdit.Wrap
            horizontalAlignment: TextEdit.AlignHCenter
            font.family: GuiConfig.itemTextFont()
            font.pixelSize: GuiConfig.itemTextSize()
            color: GuiConfig.textColorOfEnabledItem2()
            selectionColor: GuiConfig.backgroundColorOfDefaultItem()
        }

        // The strip with the arrow that unfolds and folds the details.
        Rectangle {
            id: detailsStrip
            objectName: "dialogDetailsStrip"
            visible: dialog.hasDetails
            anchors.top: parent.top
            anchors.topMargin: body.messageHeight
            anchors.left: parent.left
            anchors.right: parent.right
            height: body.stripHeight
            color: stripMouse.containsMouse ? GuiConfig.backgroundColorOfHoverTableButton() : "transparent"
            activeFocusOnTab: visible
            border.width: activeFocus ? 2 : 0
            border.color: GuiConfig.textColorOfEnabledItem2()
            Keys.onReturnPressed: dialog.toggleDetails()
            Keys.onEnterPressed: dialog.toggleDetails()
            Keys.onSpacePressed: dialog.toggleDetails()
            Accessible.role: Accessible.Button
            Accessible.name: qsTr("Details")
            Accessible.onPressAction: dialog.toggleDetails()
            Rectangle {
                anchors.top: parent.top
                width: parent.width
                height: 1
                color: GuiConfig.frameColorOfItem()
            }
            Image {
                objectName: "dialogDetailsArrow"
                anchors.centerIn: parent
                height: parent.height * 0.6
                width: height
                sourceSize.width: width
                sourceSize.height: height
                source: dialog.expanded ? ImageSources.arrowUp : ImageSources.arrowDown
                fillMode: Image.PreserveAspectFit
            }
            MouseArea {
                id: stripMouse
                anchors.fill: parent
                hoverEnabled: true
                onClicked: dialog.toggleDetails()
            }
        }

        // The details: up to four item heights, scrolled beyond that.
        Item {
            id: detailsArea
            readonly property int maxHeight: dialog.itemHeight * 4
            readonly property int wantedHeight: dialog.hasDetails
                ? Math.min(detailsMeasure.implicitHeight + dialog.gap * 2, maxHeight) : 0
            anchors.top: detailsStrip.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: dialog.gap * 2
            anchors.rightMargin: dialog.gap * 2
            height: wantedHeight
            visible: dialog.hasDetails && dialog.expanded

            // Measures the details before they are shown.
            Text {
                id: detailsMeasure
                visible: false
                width: detailsArea.width - dialog.gap * 2
                text: dialog.details
                wrapMode: Text.Wrap
                font.family: GuiConfig.itemTextFont()
                font.pixelSize: GuiConfig.itemTextSize()
            }

            Flickable {
                id: detailsFlick
                anchors.fill: parent
                clip: true
                contentWidth: width
                contentHeight: detailsText.implicitHeight
                boundsBehavior: Flickable.StopAtBounds
                // Shown only when the details do not fit.
                ScrollBar.vertical: ScrollBar {
                    policy: ScrollBar.AlwaysOn
                    visible: detailsFlick.contentHeight > detailsFlick.height + 1
                }
                TextEdit {
                    id: detailsText
                    objectName: "dialogDetailsText"
                    width: detailsFlick.width - dialog.gap * 2
                    text: dialog.detailsFilled ? dialog.details : ""
                    readOnly: true
                    selectByMouse: true
                    wrapMode: TextEdit.Wrap
                    font.family: GuiConfig.itemTextFont()
                    font.pixelSize: GuiConfig.itemTextSize()
                    color: GuiConfig.textColorOfEnabledItem4()
                    selectionColor: GuiConfig.backgroundColorOfDefaultItem()
                }
            }
        }

        // Exit and log-out questions: two buttons instead of a message.
        Row {
            id: buttonRow
            objectName: "dialogButtons"
            visible: !dialog.hasMessageArea
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: parent.top
            anchors.topMargin: body.messageHeight + dialog.gap * 2
            spacing: dialog.gap * 4

            Repeater {
                id: buttonRepeater
                model: 2
                Button {
                    id: button
                    objectName: index === 0 ? "dialogAcceptButton" : "dialogRejectButton"
                    width: dialog.itemHeight * 4
                    height: dialog.itemHeight
                    hoverEnabled: true
                    text: index === 1 ? qsTr("Cancel")
                        : dialog.type === CustomSmallDialog.Exit ? qsTr("Exit")
                        : dialog.type === CustomSmallDialog.Logout ? qsTr("Log out") : qsTr("OK")
                    font.family: GuiConfig.itemTextFont()
                    font.pixelSize: GuiConfig.itemTextSize()
                    focusPolicy: Qt.StrongFocus
                    Accessible.role: Accessible.Button
                    Accessible.name: text
                    Keys.onReturnPressed: clicked()
                    Keys.onEnterPressed: clicked()
                    contentItem: Text {
                        text: button.text
                        font: button.font
                        color: GuiConfig.textColorOfEnabledItem1()
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                    }
                    background: Rectangle {
                        radius: GuiConfig.itemRadius()
                        color: button.pressed ? GuiConfig.backgroundColorOfClickedItem()
                             : button.hovered ? GuiConfig.backgroundColorOfHoverItem()
                             : GuiConfig.backgroundColorOfDefaultItem()
                        Rectangle {
                            objectName: "focusRing"
                            anchors.fill: parent
                            anchors.margins: -3
                            radius: parent.radius + 3
                            color: "transparent"
                            visible: button.activeFocus
                            border.width: 2
                            border.color: GuiConfig.textColorOfEnabledItem2()
                        }
                    }
                    onClicked: index === 0 ? dialog.acceptButton() : dialog.reject()
                }
            }
        }
    }
}
