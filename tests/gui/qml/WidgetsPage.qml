import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import dialogs 1.0

// A page holding the library widgets tst_gui_widgets drives alone.
Rectangle {
    id: page
    color: GuiConfig.backgroundColorOfPage()

    property int questionAnswer: 0   // 1 accepted, -1 rejected
    property int activations: 0
    // Every text the combo box has had, the first one chosen at creation included.
    property var comboTexts: []
    property int exits: 0
    property int logouts: 0

    Column {
        x: 20; y: 20
        width: 420
        spacing: 10

        CustomComboBox {
            objectName: "combo"
            width: parent.width
            labelText: "Interface"
            labelWidth: 120
            model: ["eth0", "eth1", "wlan0", "enp3s0"]
            onActivated: page.activations++
            onCurrentTextChanged: page.comboTexts = page.comboTexts.concat([currentText])
        }
        CustomLabeledTextField {
            objectName: "portField"
            width: parent.width
            labelText: "Port"
        }
        CustomButton {
            objectName: "askButton"
            text: "Ask"
            onClicked: question.show("Drop the old key file?")
        }
    }

    CustomQuestionDialog {
        id: question
        objectName: "question"
        onAccepted: page.questionAnswer = 1
        onRejected: page.questionAnswer = -1
    }

    CustomSmallDialog {
        objectName: "smallDialog"
        onNeedExit: page.exits++
        onNeedLogout: page.logouts++
    }
    // The same dialog under a style that animates opening and closing.
    CustomSmallDialog {
        objectName: "animatedDialog"
        enter: Transition { NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 300 } }
        exit: Transition { NumberAnimation { property: "opacity"; from: 1; to: 0; duration: 300 } }
    }
}
