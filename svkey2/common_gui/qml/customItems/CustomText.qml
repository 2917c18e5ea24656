import QtQuick 2.12

// Plain text in the settings' font, size and colour.
Text {
    property real sizeFactor: 1.0

    font.family: GuiConfig.itemTextFont()
    font.pixelSize: Math.round(GuiConfig.itemTextSize() * sizeFactor)
    color: enabled ? GuiConfig.textColorOfEnabledItem2() : GuiConfig.textColorOfDisabledItem2()
    verticalAlignment: Text.AlignVCenter
}
