import QtQuick 2.12
import QtQuick.Layouts 1.12

// A label and an input in one row. The label is `labelWidth` wide (its own
// width when negative); a required field carries a red asterisk after its label.
Item {
    id: root

    property string labelText: ""
    property real labelWidth: -1
    property color labelColor: GuiConfig.textColorOfEnabledItem2()
    property alias text: field.text
    property alias placeholderText: field.placeholderText
    property alias readOnly: field.readOnly
    property alias validator: field.validator
    property alias maximumLength: field.maximumLength
    property alias inputMethodHints: field.inputMethodHints
    property alias echoMode: field.echoMode
    property alias password: field.password
    property alias required: field.required
    property alias acceptableInput: field.acceptableInput
    property alias field: field
    // The label's own width with its marker; never taken from the row, whose
    // width follows from it.
    readonly property real labelImplicitWidth: label.implicitWidth
                                               + (root.required ? marker.implicitWidth + labelRow.spacing : 0)
    readonly property real shownLabelWidth: labelWidth >= 0 ? labelWidth : labelImplicitWidth

    signal textEdited()
    function takeFocus() { field.forceActiveFocus(Qt.TabFocusReason) }
    signal accepted()

    implicitHeight: GuiConfig.itemHeight()
    implicitWidth: (labelText === "" ? 0 : (labelWidth >= 0 ? labelWidth : labelImplicitWidth) + layout.spacing)
                   + field.implicitWidth

    RowLayout {
        id: layout
        anchors.fill: parent
        spacing: GuiConfig.itemSpacing() * 2

        Row {
            id: labelRow
            visible: root.labelText !== ""
            Layout.preferredWidth: root.shownLabelWidth
            Layout.maximumWidth: Layout.preferredWidth
            Layout.alignment: Qt.AlignVCenter
            spacing: 2
            CustomText {
                id: label
                objectName: "label"
                text: root.labelText
                color: root.labelColor
                width: Math.min(implicitWidth, root.shownLabelWidth - (marker.visible ? marker.implicitWidth + labelRow.spacing : 0))
                height: GuiConfig.itemHeight()
                elide: Text.ElideRight
            }
            CustomText {
                id: marker
                visible: root.required
                text: "*"
                height: GuiConfig.itemHeight()
                color: GuiConfig.menuWarningColor ? GuiConfig.menuWarningColor() : "#BF3B24"
                font.bold: true
            }
        }

        CustomTextField {
            id: field
            objectName: "field"
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
            accessibleLabel: root.labelText !== "" ? root.labelText : placeholderText
            onTextEdited: root.textEdited()
            onAccepted: root.accepted()
        }
    }
}
