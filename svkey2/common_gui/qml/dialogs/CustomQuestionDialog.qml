import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import ImageSources 1.0

// A yes/cancel question. `show(message)` opens it; "Yes" accepts and
// closes, "Cancel" and the cross reject and close.
CustomDialog {
    id: dialog

    property string message: ""

    function show(text) {
        if (text !== undefined)
            message = text
        open()
    }

    title: qsTr("Confirmation")
    iconSource: ImageSources.question
    closableByOutside: false
    // Escape answers "Cancel" (closing without an answer rejects).
    closePolicy: Popup.CloseOnEscape
    initialFocus: cancelButton

    CustomText {
        objectName: "message"
        width: parent.width
        text: dialog.message
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
        topPadding: GuiConfig.itemSpacing() * 2
        bottomPadding: GuiConfig.itemSpacing() * 2
    }

    buttons: [
        CustomButton {
            objectName: "yesButton"
            text: qsTr("Yes")
            onClicked: dialog.accept()
        },
        CustomButton {
            id: cancelButton
            objectName: "cancelButton"
            text: qsTr("Cancel")
            onClicked: dialog.reject()
        }
    ]
}
