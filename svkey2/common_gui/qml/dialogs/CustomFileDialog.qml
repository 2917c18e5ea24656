import QtQuick 2.12
import QtQuick.Dialogs 1.2

// The platform's file dialog, opening in the user's home folder.
// `show(folder)` opens it in `folder` (a path or a URL); `fileChosen(url)`
// reports the accepted file, a cancelled dialog reports nothing.
FileDialog {
    id: dialog

    signal fileChosen(url fileUrl)

    function show(startFolder) {
        if (startFolder !== undefined && String(startFolder) !== "") {
            var text = String(startFolder)
            folder = text.indexOf("file:") === 0 ? text : "file://" + text
        }
        open()
    }

    title: qsTr("Please choose a file")
    folder: shortcuts.home
    selectMultiple: false
    selectFolder: false
    onAccepted: fileChosen(fileUrl)
}
