import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import customItems 1.0
import dialogs 1.0
import ImageSources 1.0

// The master-key dialog. The operator either names the file that holds the
// master key, or types the key as sixteen groups of four hexadecimal digits
// and names the file to save it in. Whatever is decided goes to the
// controller's master-key handler (KeyMaster.cryptKeyHandler), whose
// `masterKeyPath` the pages show.
//
//   CryptKeyDialog { id: cryptKeyDialog }
//   cryptKeyDialog.open()          opens it as it was left
//   cryptKeyDialog.show(message)   the same, with `message` shown on top
//   accepted()                     a new master key was taken; rejected()
//                                  when closed by "Cancel" or the cross
//
// "Ok" closes it only when the key was taken: a missing key file, an empty
// part of a typed key or a key that could not be saved keep it open, with
// the notification saying why. After a key was taken, its check (size and
// fingerprint) is shown as a notification.
CustomDialog {
    id: dialog
    objectName: "cryptKeyDialog"

    readonly property var handler: KeyMaster.cryptKeyHandler
    // The first alternative (an existing key file) is chosen.
    readonly property bool fromFile: keyFileRadio.checked
    property string message: ""

    function show(text) {
        message = text === undefined ? "" : String(text)
        open()
    }

    // The typed parts in order 1 to 16.
    function parts() {
        var list = []
        for (var i = 0; i < partFields.count; ++i)
            list.push(partFields.itemAt(i).text)
        return list
    }

    function okClicked() {
        if (fromFile) {
            var keyFile = keyFileField.text
            if (!handler.existsFile(keyFile)) {
                Notifier.showError(qsTr("File doesn't exist: ") + keyFile)
                return
            }
            var question = handler.replacedKeyQuestion(keyFile, [])
            if (question !== "") {
                replaceQuestion.typed = false
                replaceQuestion.show(question)
                return
            }
            takeKeyFile()
            return
        }
        if (handler.existsFile(saveField.text)) {
            overwriteQuestion.show(qsTr("This file already exists. Do you want to drop it and create a new master key?"))
            return
        }
        saveTypedKey()
    }

    function saveTypedKey() {
        var list = parts()
        for (var i = 0; i < list.length; ++i) {
            if (list[i] === "") {
                Notifier.showWarning(qsTr("Fill all the parts of the key"))
                return
            }
        }
        var question = handler.replacedKeyQuestion(saveField.text, list)
        if (question !== "") {
            replaceQuestion.typed = true
            replaceQuestion.show(question)
            return
        }
        writeTypedKey()
    }
    // A refused file or a failed write has been shown by the handler.
    function takeKeyFile() {
        if (handler.handleKeyFile(keyFileField.text))
            keyTaken()
    }
    function writeTypedKey() {
        if (handler.handleInputedKeys(saveField.text, parts()))
            keyTaken()
    }

    function keyTaken() {
        accept()
        var text = qsTr("Master key: ") + handler.masterKeyPath + "\n" + handler.masterKeyCheck
        if (handler.masterKeyWarning !== "")
            Notifier.showWarning(text)
        else
            Notifier.showInfo(text)
    }

    title: qsTr("Enter crypt key")
    iconSource: ImageSources.information
    width: 680
    height: GuiConfig.itemHeight() * 14
    closableByOutside: false
    defaultButton: okButton
    initialFocus: dialog.fromFile ? keyFileRadio : typedKeyRadio
    onClosed: message = ""
    // The key file the client uses now, each time the dialog opens.
    Connections {
        target: dialog
        function onAboutToShow() { keyFileField.text = dialog.handler.masterKeyPath }
    }

    ButtonGroup { id: alternatives }

    Column {
        id: form
        width: parent.width
        spacing: GuiConfig.itemSpacing() * 2
        readonly property real indent: keyFileRadio.width + GuiConfig.itemSpacing() * 2
        readonly property real labelWidth: GuiConfig.itemHeight() * 5

        CustomText {
            objectName: "cryptKeyMessage"
            visible: dialog.message !== ""
            width: parent.width
            text: dialog.message
            wrapMode: Text.WordWrap
        }

        RowLayout {
            width: parent.width
            spacing: GuiConfig.itemSpacing() * 2
            CustomRadioButton {
                id: keyFileRadio
                objectName: "keyFileRadio"
                checked: true
                ButtonGroup.group: alternatives
                Accessible.name: qsTr("Key file")
            }
            CustomLabeledTextField {
                id: keyFileField
                objectName: "keyFileField"
                Layout.fillWidth: true
                enabled: dialog.fromFile
                labelText: qsTr("Key file")
                labelWidth: form.labelWidth
                labelColor: enabled ? GuiConfig.textColorOfEnabledItem2() : GuiConfig.textColorOfDisabledItem2()
                placeholderText: qsTr("Select file with key")
            }
            CustomButton {
                objectName: "keyFileChooseButton"
                enabled: dialog.fromFile
                implicitWidth: GuiConfig.itemHeight() * 1.5
                text: "..."
                Accessible.name: qsTranslate("CustomFileDialog", "Please choose a file")
                onClicked: fileSelector.showFor(keyFileField)
            }
        }

        RowLayout {
            width: parent.width
            spacing: GuiConfig.itemSpacing() * 2
            CustomRadioButton {
                id: typedKeyRadio
                objectName: "typedKeyRadio"
                Accessible.name: qsTr("Hex key")
                ButtonGroup.group: alternatives
            }
            CustomText {
                text: qsTr("Hex key")
                enabled: !dialog.fromFile
                Layout.fillWidth: true
            }
        }

        Column {
            id: typedKey
            x: form.indent
            width: parent.width - x
            spacing: GuiConfig.itemSpacing() * 2
            enabled: !dialog.fromFile

            Grid {
                id: partsGrid
                columns: 4
                columnSpacing: GuiConfig.itemSpacing() * 3
                rowSpacing: GuiConfig.itemSpacing()
                readonly property real cellWidth: (typedKey.width - columnSpacing * (columns - 1)) / columns

                Repeater {
                    id: partFields
                    model: 16
                    Row {
                        readonly property alias text: part.text
                        width: partsGrid.cellWidth
                        spacing: GuiConfig.itemSpacing()
                        CustomText {
                            width: GuiConfig.itemTextSize() * 2
                            height: GuiConfig.itemHeight()
                            horizontalAlignment: Text.AlignRight
                            text: (index + 1) + ":"
                        }
                        CustomTextField {
                            id: part
                            objectName: "keyPart" + (index + 1)
                            width: parent.width - x
                            placeholderText: "HHHH"
                            maximumLength: 4
                            font.family: "monospace"
                            validator: RegExpValidator { regExp: /[0-9A-Fa-f]{0,4}/ }
                            Accessible.name: qsTr("Hex key") + " " + (index + 1)
                        }
                    }
                }
            }

            RowLayout {
                width: parent.width
                spacing: GuiConfig.itemSpacing() * 2
                CustomLabeledTextField {
                    id: saveField
                    objectName: "saveKeyField"
                    Layout.fillWidth: true
                    labelText: qsTr("Save key to")
                    labelWidth: form.labelWidth
                    labelColor: enabled ? GuiConfig.textColorOfEnabledItem2() : GuiConfig.textColorOfDisabledItem2()
                    placeholderText: qsTr("Select file")
                }
                CustomButton {
                    objectName: "saveKeyChooseButton"
                    implicitWidth: GuiConfig.itemHeight() * 1.5
                    text: "..."
                    Accessible.name: qsTranslate("CustomFileDialog", "Please choose a file")
                    onClicked: fileSelector.showFor(saveField)
                }
            }
        }
    }

    buttons: [
        CustomButton {
            id: okButton
            objectName: "cryptKeyOkButton"
            text: qsTr("Ok")
            enabled: dialog.fromFile ? keyFileField.text !== "" : saveField.text !== ""
            onClicked: dialog.okClicked()
        },
        CustomButton {
            objectName: "cryptKeyCancelButton"
            text: qsTr("Cancel")
            onClicked: dialog.reject()
        }
    ]

    LocalFileSelectorDialog {
        id: fileSelector
        // The field the chosen file goes to.
        property var target: null
        function showFor(field) {
            target = field
            show(KeyMaster.defaultCryptKeyDir())
        }
        onFileChosen: {
            var path = dialog.handler.localFilePath(fileUrl)
            console.log("chosen file: " + path)
            if (target)
                target.text = path
        }
    }

    CustomQuestionDialog {
        id: replaceQuestion
        objectName: "replaceKeyQuestion"
        property bool typed: false
        onAccepted: typed ? dialog.writeTypedKey() : dialog.takeKeyFile()
    }
    CustomQuestionDialog {
        id: overwriteQuestion
        objectName: "overwriteQuestion"
        onAccepted: dialog.saveTypedKey()
    }
}
