import QtQuick 2.12
import QtQuick.Controls 2.12
import customItems 1.0
import ImageSources 1.0

// The bar at the bottom of the window: "Journal" opens and closes the
// journal panel (its arrow points down while the journal is closed), "To
// Start" leads back to the welcome page and shows only on the exit page.
Rectangle {
    id: footer

    property bool journalOpen: false
    property alias toStartVisible: toStartButton.visible
    property color barColor: GuiConfig.backgroundColorOfClickedItem()

    signal journalClicked()
    signal toStartClicked()

    implicitHeight: GuiConfig.itemHeight()
    color: barColor

    component FooterButton: AbstractButton {
        id: button
        height: footer.height
        hoverEnabled: true
        focusPolicy: Qt.StrongFocus
        Keys.onReturnPressed: clicked()
        Keys.onEnterPressed: clicked()
        Accessible.role: Accessible.Button
        font.family: GuiConfig.itemTextFont()
        font.pixelSize: GuiConfig.itemTextSize()
        leftPadding: GuiConfig.itemHeight() / 2
        rightPadding: GuiConfig.itemHeight() / 2
        background: Rectangle {
            color: button.down ? Qt.lighter(footer.barColor, 1.5)
                 : button.hovered ? Qt.lighter(footer.barColor, 1.3)
                 : footer.barColor
            border.width: button.activeFocus ? 2 : 0
            border.color: GuiConfig.textColorOfEnabledItem1()
        }
    }

    Row {
        anchors.left: parent.left
        anchors.leftMargin: GuiConfig.itemHeight()
        height: parent.height

        FooterButton {
            id: journalButton
            objectName: "journalButton"
            Accessible.name: qsTr("Journal")
            onClicked: footer.journalClicked()
            contentItem: Row {
                spacing: GuiConfig.itemSpacing()
                Text {
                    objectName: "journalButtonText"
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Journal")
                    font: journalButton.font
                    color: GuiConfig.textColorOfEnabledItem1()
                }
                CustomImage {
                    objectName: "journalArrow"
                    anchors.verticalCenter: parent.verticalCenter
                    width: GuiConfig.itemHeight() * 0.5
                    height: width
                    source: ImageSources.arrowDown
                    rotation: footer.journalOpen ? 0 : 180
                }
            }
        }

        FooterButton {
            id: toStartButton
            objectName: "toStartButton"
            Accessible.name: qsTr("To Start")
            visible: false
            enabled: !KeyMaster.busy
            onClicked: footer.toStartClicked()
            contentItem: Text {
                text: qsTr("To Start")
                font: toStartButton.font
                color: GuiConfig.textColorOfEnabledItem1()
                verticalAlignment: Text.AlignVCenter
            }
        }
    }
}
