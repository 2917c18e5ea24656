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

    CustomSmallDialog {
        id: dialog
        objectName: "dialog"
        onNeedExit: host.exits++
        onNeedLogout: host.logouts++
    }
}
