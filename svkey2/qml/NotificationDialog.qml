import QtQuick 2.12
import dialogs 1.0

// The root page's single notification dialog. The root page makes it once
// its first frame is out, or earlier for a notification that comes first.
CustomSmallDialog {
    objectName: "notificationDialog"

    // show() for a kind named as in CustomSmallDialog.Type ("Crit", "Exit"...).
    function showKind(kindName, msg, details, context) {
        return show(CustomSmallDialog[kindName], msg, details, context)
    }

    onNeedExit: {
        KeyMaster.exitHandler()
        Qt.quit()
    }
}
