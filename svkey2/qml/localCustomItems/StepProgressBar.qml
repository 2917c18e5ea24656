import QtQuick 2.12

// One segment per step of the queue with a dot on each: the steps already
// passed show a filled dot, the current step a ring, the rest grey.
Item {
    id: bar

    property int steps: 0
    property int stepsTaken: 0
    readonly property real segmentHeight: GuiConfig.itemHeight() / 8
    readonly property real dotSize: segmentHeight * 4

    implicitHeight: dotSize

    Row {
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width

        Repeater {
            id: segments
            model: bar.steps

            Item {
                objectName: "step_" + index
                readonly property bool reached: index + 1 <= bar.stepsTaken
                readonly property bool passed: index + 2 <= bar.stepsTaken
                width: bar.steps > 0 ? bar.width / bar.steps : 0
                height: bar.dotSize

                // The segment; only the outer ends of the bar are rounded.
                Item {
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width
                    height: bar.segmentHeight
                    clip: true
                    Rectangle {
                        objectName: "segment"
                        x: index === 0 ? 0 : -radius * 2
                        width: parent.width + (index === 0 ? 0 : radius * 2) + (index === bar.steps - 1 ? 0 : radius * 2)
                        height: parent.height
                        radius: Math.min(GuiConfig.itemRadius(), height / 2)
                        color: reached ? GuiConfig.backgroundColorOfDefaultItem()
                                       : GuiConfig.backgroundColorOfDisabledItem()
                    }
                }

                Rectangle {
                    objectName: "dot"
                    anchors.centerIn: parent
                    width: bar.dotSize
                    height: width
                    radius: width / 2
                    color: reached ? GuiConfig.backgroundColorOfDefaultItem()
                                   : GuiConfig.backgroundColorOfDisabledItem()
                    Rectangle {
                        objectName: "innerDot"
                        anchors.centerIn: parent
                        width: parent.width / 2
                        height: width
                        radius: width / 2
                        color: passed ? GuiConfig.backgroundColorOfDefaultItem()
                                      : GuiConfig.textColorOfEnabledItem1()
                    }
                }
            }
        }
    }
}
