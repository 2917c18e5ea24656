import QtQuick 2.12
import dialogs 1.0

// The file chooser of the working dialogs: the platform's file dialog,
// titled "Please choose a file", starting in the home folder.
//
//   LocalFileSelectorDialog { onFileChosen: field.text = CryptKeyHandler.localFilePath(fileUrl) }
//   show(folder)        opens it in `folder` (a path or a file URL)
//   fileChosen(url)     the accepted file, as a URL; nothing when cancelled
CustomFileDialog {
    objectName: "localFileSelectorDialog"
}
