import QtQuick 2.12
import QtQuick.Controls 2.12
import ImageSources 1.0

// The library's one-line input. With `password` set the text is hidden and a
// button at the right end shows or hides it.
TextField {
    id: control

    property bool password: false
    property bool textShown: false
    property bool required: false
    // What a screen reader calls the field (its label where it has one).
    property string accessibleLabel: placeholderText
    readonly property bool missing: required && text.length === 0

    implicitHeight: GuiConfig.itemHeight()
    implicitWidth: GuiConfig.itemHeight() * 8
    font.family: GuiConfig.itemTextFont()
    font.pixelSize: GuiConfig.itemTextSize()
    color: enabled ? GuiConfig.textColorOfEnabledItem2() : GuiConfig.textColorOfDisabledItem2()
    placeholderTextColor: GuiConfig.textColorOfEnabledItem4()
    selectedTextColor: GuiConfig.textColorOfEnabledItem1()
    selectionColor: GuiConfig.backgroundColorOfDefaultItem()
    selectByMouse: true
    verticalAlignment: TextInput.AlignVCenter
    leftPadding: GuiConfig.itemSpacing() * 2
    rightPadding: GuiConfig.itemSpacing() * 2 + (password ? eyeButton.width : 0)
    topPadding: 0
    bottomPadding: 0
    echoMode: password && !textShown ? TextInput.Password : TextInput.Normal
    passwordCharacter: "\u2022"
    // Read-only fields only show a value: Tab passes them by.
    activeFocusOnTab: !readOnly
    Accessible.role: Accessible.EditableText
    Accessible.name: accessibleLabel
    Accessible.readOnly: readOnly
    // A hidden password is read through the item below, as its dots: the
    // field itself would give the typed text away.
    Accessible.ignored: password && !textShown

    Item {
        objectName: "hiddenPasswordAccessible"
        anchors.fill: parent
        visible: control.password && !control.textShown
        readonly property string text: control.displayText
        Accessible.role: Accessible.EditableText
        Accessible.name: control.accessibleLabel
        Accessible.focusable: true
        Accessible.focused: control.activeFocus
    }

    background: Rectangle {
        radius: GuiConfig.itemRadius()
        color: control.readOnly ? GuiConfig.backgroundColorOfPage() : GuiConfig.backgroundColorOfItemInput()
        border.width: control.activeFocus && !control.readOnly ? 2 : GuiConfig.itemBorderWidth()
        border.color: control.activeFocus && !control.readOnly ? GuiConfig.textColorOfEnabledItem2()
                                                               : GuiConfig.frameColorOfItem()
    }

    AbstractButton {
        id: eyeButton
        objectName: "showPasswordButton"
        visible: control.password
        width: control.height
        height: control.height
        anchors.right: parent.right
        focusPolicy: Qt.StrongFocus
        hoverEnabled: true
        onClicked: control.textShown = !control.textShown
        Keys.onReturnPressed: clicked()
        Keys.onEnterPressed: clicked()
        Accessible.role: Accessible.Button
        Accessible.name: control.textShown ? qsTr("Hide password") : qsTr("Show password")
        contentItem: Item {
            CustomImage {
                anchors.centerIn: parent
                width: parent.width * 0.6
                height: width
                source: control.textShown ? ImageSources.eyeClosedDark : ImageSources.eyeOpenDark
            }
        }
        background: Rectangle {
            radius: GuiConfig.itemRadius()
            color: eyeButton.down ? GuiConfig.backgroundColorOfClickedTableButton()
                 : eyeButton.hovered ? GuiConfig.backgroundColorOfHoverTableButton() : "transparent"
            border.width: eyeButton.activeFocus ? 2 : 0
            border.color: GuiConfig.textColorOfEnabledItem2()
        }
    }
}
