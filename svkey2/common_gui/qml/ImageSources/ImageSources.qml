pragma Singleton
import QtQuick 2.12

// Paths of every image of the widget library, in one place. The plain images
// are white, for coloured backgrounds; the "Dark" ones are grey, for white
// backgrounds.
QtObject {
    readonly property string prefix: "qrc:/common_gui/rc/images/"

    readonly property url logo: prefix + "logo.svg"
    readonly property url logoSmall: prefix + "logoSmall.svg"
    readonly property url information: prefix + "information.svg"
    readonly property url question: prefix + "question.svg"
    readonly property url warning: prefix + "warning.svg"
    readonly property url critical: prefix + "critical.svg"
    readonly property url logout: prefix + "logout.svg"
    readonly property url backup: prefix + "backup.svg"
    readonly property url restore: prefix + "restore.svg"
    readonly property url arrowLeft: prefix + "arrowLeft.svg"
    readonly property url arrowRight: prefix + "arrowRight.svg"
    readonly property url arrowDown: prefix + "arrowDown.svg"
    readonly property url arrowUp: prefix + "arrowUp.svg"
    readonly property url close: prefix + "close.svg"
    readonly property url eyeOpen: prefix + "eyeOpen.svg"
    readonly property url eyeClosed: prefix + "eyeClosed.svg"
    readonly property url check: prefix + "check.svg"
    readonly property url folder: prefix + "folder.svg"
    readonly property url closeDark: prefix + "closeDark.svg"
    readonly property url arrowDownDark: prefix + "arrowDownDark.svg"
    readonly property url arrowUpDark: prefix + "arrowUpDark.svg"
    readonly property url eyeOpenDark: prefix + "eyeOpenDark.svg"
    readonly property url eyeClosedDark: prefix + "eyeClosedDark.svg"
    readonly property url checkDark: prefix + "checkDark.svg"
    readonly property url folderDark: prefix + "folderDark.svg"
}
