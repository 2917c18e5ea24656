import QtQuick 2.12
import customItems 1.0
import ImageSources 1.0

// The strip at the top of every top-level page, with the logo.
Rectangle {
    implicitHeight: GuiConfig.itemHeight() * 1.5
    color: GuiConfig.backgroundColorOfDefaultItem()

    CustomImage {
        objectName: "logo"
        x: GuiConfig.itemHeight() * 2
        anchors.verticalCenter: parent.verticalCenter
        height: GuiConfig.itemHeight()
        width: height * 5
        fillMode: Image.PreserveAspectFit
        // The theme may name its own logo.
        source: GuiConfig.headerImagePath() !== "" ? GuiConfig.headerImagePath() : ImageSources.logo
    }
}
