import QtQuick 2.12
import dialogs 1.0

// Hosts the notification dialog alone, counting its requests.
Item {
    id: host
    width: 1000
    height: 700
    property int exits: 0
    property int logouts: 0

    function show(kind, msg, details) {
        return dialog.show(kind, msg, details, [])
    }

    function showAnimated(kind, msg) {
        return animated.show(kind, msg, "", [])
    }

    // The same dialog under a style that animates opening and closing.
    CustomSmallDialog {
        id: animated
        objectName: "animatedDialog"
        enter: Transition { NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 300 } }
        exit: Transition { NumberAnimation { property: "opacity"; from: 1; to: 0; duration: 300 } }
    }

    CustomSmallDialog {
        id: dialog
        objectName: "dialog"
        onNeedExit: host.exits++
        onNeedLogout: host.logouts++
    }
}
