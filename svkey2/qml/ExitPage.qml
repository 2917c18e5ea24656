import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import "localCustomItems"

// The last page: the result of the scenario and "Exit".
CustomLocalPage {
    id: page
    objectName: "exitPage"
    title: resultText !== "" ? resultText : qsTr("Result of recovery or reservation")

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.bottomMargin: GuiConfig.itemHeight()
        contentWidth: width
        contentHeight: Math.max(height, column.implicitHeight + GuiConfig.itemHeight() * 2)
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: column
            anchors.centerIn: parent
            width: flick.width * 0.75
            spacing: GuiConfig.itemHeight() * 2

            Text {
                objectName: "resultText"
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(implicitWidth, parent.width)
                text: page.resultText !== "" ? page.resultText : qsTr("Result of recovery or reservation")
                font.family: GuiConfig.itemTextFont()
                font.pixelSize: GuiConfig.itemTextSize() * 3
                color: GuiConfig.textColorOfEnabledItem1()
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
            }

            CustomButton {
                id: exitButton
                objectName: "exitButton"
                enabled: !KeyMaster.busy
                anchors.horizontalCenter: parent.horizontalCenter
                light: true
                width: Math.max(implicitWidth, GuiConfig.itemHeight() * 6)
                text: qsTr("Exit")
                Component.onCompleted: forceActiveFocus(Qt.TabFocusReason)
                onClicked: {
                    KeyMaster.exitHandler()
                    Qt.quit()
                }
            }
        }
    }
}
