import QtQuick 2.12
import QtQuick.Controls 2.12

// A ring of dots that turns while `running`; invisible when stopped.
BusyIndicator {
    id: control

    running: false
    visible: running
    implicitWidth: GuiConfig.itemHeight() * 3
    implicitHeight: implicitWidth

    contentItem: Item {
        id: ring
        implicitWidth: control.implicitWidth
        implicitHeight: control.implicitHeight

        Repeater {
            model: 10
            Rectangle {
                readonly property real angle: index / 10 * 2 * Math.PI
                width: ring.width / 7
                height: width
                radius: width / 2
                color: GuiConfig.backgroundColorOfDefaultItem()
                opacity: 0.25 + 0.75 * index / 10
                x: ring.width / 2 - width / 2 + (ring.width / 2 - width / 2) * Math.cos(angle)
                y: ring.height / 2 - height / 2 + (ring.height / 2 - height / 2) * Math.sin(angle)
            }
        }

        RotationAnimator on rotation {
            running: control.running && control.visible
            from: 0
            to: 360
            duration: 1200
            loops: Animation.Infinite
        }
    }
}
