import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import "localCustomItems"

// First page: the interface language, the network interface, and "Start".
CustomLocalPage {
    id: page
    objectName: "welcomePage"
    title: qsTr("Welcome to the disaster recovery program SarvelinKey")

    // Set once the initial choices are made; changes after that are the operator's.
    property bool ready: false
    readonly property real comboLabelWidth: Math.max(languageBox.labelImplicitWidth,
                                                     interfaceBox.labelImplicitWidth)

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.bottomMargin: GuiConfig.itemHeight()
        contentWidth: width
        contentHeight: Math.max(height, column.implicitHeight + GuiConfig.itemHeight() * 2)
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollIndicator.vertical: ScrollIndicator {}

        Column {
            id: column
            anchors.centerIn: parent
            width: Math.min(flick.width * 0.75, GuiConfig.itemHeight() * 22)
            spacing: GuiConfig.itemHeight() * 2

            Text {
                objectName: "heading"
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(implicitWidth, flick.width * 0.75)
                text: qsTr("Welcome to the disaster recovery program SarvelinKey")
                font.family: GuiConfig.itemTextFont()
                font.pixelSize: GuiConfig.itemTextSize() * 3
                color: GuiConfig.textColorOfEnabledItem1()
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
            }

            CustomComboBox {
                id: languageBox
                objectName: "languageComboBox"
                width: parent.width
                labelText: qsTr("Choose language")
                labelWidth: page.comboLabelWidth
                labelColor: GuiConfig.textColorOfEnabledItem1()
                model: ["Ru", "En"]
                // Applied after the change has settled: switching the language
                // re-evaluates every binding, this box's text included.
                onCurrentTextChanged: if (page.ready && currentText !== "") Qt.callLater(page.applyLanguage)
            }

            CustomComboBox {
                id: interfaceBox
                objectName: "interfaceComboBox"
                width: parent.width
                labelText: qsTr("Choose network interface")
                labelWidth: page.comboLabelWidth
                labelColor: GuiConfig.textColorOfEnabledItem1()
                model: KeyMaster.interfaces()
                onCurrentTextChanged: if (page.ready) KeyMaster.networkInterface = currentText
            }

            CustomButton {
                id: startButton
                objectName: "startButton"
                anchors.horizontalCenter: parent.horizontalCenter
                light: true
                width: Math.max(implicitWidth, GuiConfig.itemHeight() * 6)
                text: qsTr("Start")
                onClicked: {
                    console.log("start clicked")
                    page.emitMoveOn()
                }
            }
        }
    }

    // Return, where no button has the focus, presses "Start".
    Keys.onReturnPressed: startButton.clicked()
    Keys.onEnterPressed: startButton.clicked()

    function applyLanguage() {
        if (languageBox.currentText !== "")
            GuiConfig.setLang(languageBox.currentText)
    }

    Component.onCompleted: {
        // A stored language without an entry here stays as it is.
        var langIndex = languageBox.indexOf(GuiConfig.lang())
        if (langIndex >= 0)
            languageBox.currentIndex = langIndex
        if (interfaceBox.count > 1)
            interfaceBox.currentIndex = 1
        KeyMaster.networkInterface = interfaceBox.currentText
        ready = true
        languageBox.takeFocus()
    }
}
