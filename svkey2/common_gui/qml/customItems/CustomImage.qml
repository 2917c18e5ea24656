import QtQuick 2.12
import QtGraphicalEffects 1.12

// An image of the library. With `color` set, the image is tinted with that
// colour while the settings allow shaders and the scene graph can run them;
// otherwise it is drawn as it is.
Item {
    id: root

    property alias source: image.source
    property alias fillMode: image.fillMode
    property alias status: image.status
    property color color: "transparent"
    readonly property bool tinted: root.color.a > 0
                                   && GuiConfig.isUseShader()
                                   && GraphicsInfo.api !== GraphicsInfo.Software

    implicitWidth: image.implicitWidth
    implicitHeight: image.implicitHeight

    Image {
        id: image
        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        sourceSize.width: Math.max(1, root.width)
        sourceSize.height: Math.max(1, root.height)
        smooth: true
        visible: !root.tinted
    }

    Loader {
        anchors.fill: image
        active: root.tinted
        sourceComponent: ColorOverlay {
            source: image
            color: root.color
        }
    }
}
