import QtQuick 2.12
import QtQuick.Dialogs 1.2

// The platform's file dialog, opening in the user's home folder.
// `show(folder)` opens it in `folder` (a path or a URL); `fileChosen(url)`
// reports the accepted file, a cancelled dialog reports nothing.
FileDialog {
    id: dialog

    signal fileChosen(url fileUrl)

    function show(startFolder) {
        var start = folder
        if (startFolder !== undefined && String(startFolder) !== "") {
            var text = String(startFolder)
            start = text.indexOf("file:") === 0 ? text : "file://" + text
        }
        folder = start
        open()
        // The platform dialog may take its own folder when it first opens;
        // the open dialog is moved to the asked one.
        folder = start
    }

    title: qsTr("Please choose a file")
    folder: shortcuts.home
    selectMultiple: false
    selectFolder: false
    onAccepted: fileChosen(fileUrl)
}
