import QtQuick 2.12
import QtQuick.Controls 2.12

Rectangle {
    color: "#F2F2F2"
    Column {
        anchors.centerIn: parent
        spacing: 10
        Text { text: "Minimal window" }
        Button { text: "Start" }
    }
}
