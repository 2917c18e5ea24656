import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import ImageSources 1.0
import "localCustomItems"

// The root page: it shows the three top-level pages in turn (welcome, work
// window, exit page), the journal panel and its footer above them, owns the
// single notification dialog and starts the controller's checks once the
// interface is up.
Item {
    id: root
    objectName: "rootPage"

    readonly property var pagesQueue: ["WelcomePage.qml", "Window.qml", "ExitPage.qml"]
    property int currentPageIndex: 0
    property bool journalOpen: false
    // The journal's height with its top and bottom margins.
    readonly property real journalHeight: journal.height + GuiConfig.itemSpacing() * 2
    readonly property var imageSources: ImageSources
    readonly property alias pageLoader: loader

    function openJournal() {
        if (journalOpen)
            return
        journalOpen = true
        if (loader.item)
            loader.item.journalOpened(journalHeight)
    }

    function closeJournal() {
        if (!journalOpen)
            return
        journalOpen = false
        if (loader.item)
            loader.item.journalClosed()
    }

    function loadPage(index, resultString) {
        currentPageIndex = index
        loader.setSource(pagesQueue[index], { "resultText": resultString === undefined ? "" : resultString })
    }

    Rectangle {
        anchors.fill: parent
        color: GuiConfig.backgroundColorOfPage()
    }

    Loader {
        id: loader
        objectName: "pageLoader"
        anchors.fill: parent
        focus: true
        // The welcome page first; later pages are loaded by loadPage.
        source: root.pagesQueue[0]
        onLoaded: if (root.journalOpen) item.journalOpened(root.journalHeight)
    }

    Connections {
        target: loader.item
        function onMoveOn(success, resultString) {
            console.log("loaderItem move on", success, resultString)
            var next = root.currentPageIndex + 1
            footer.visible = true
            if (next < root.pagesQueue.length) {
                if (next === root.pagesQueue.length - 1)
                    footer.toStartVisible = true
                root.loadPage(next, resultString)
            } else {
                root.currentPageIndex = next
            }
        }
        function onNeedOpenJournal() { root.openJournal() }
    }

    Journal {
        id: journal
        objectName: "journal"
        visible: root.journalOpen
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: footer.top
        anchors.bottomMargin: GuiConfig.itemSpacing()
        height: GuiConfig.itemHeight() * 5
    }

    JournalFooter {
        id: footer
        objectName: "journalFooter"
        visible: false
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: GuiConfig.itemHeight()
        journalOpen: root.journalOpen
        onJournalClicked: root.journalOpen ? root.closeJournal() : root.openJournal()
        onToStartClicked: {
            footer.toStartVisible = false
            root.closeJournal()
            footer.visible = false
            if (loader.item)
                loader.item.toStart()
            root.loadPage(0)
        }
    }

    // The single notification dialog; Notifier's signals are shown here.
    // The welcome page does not wait for it nor for the journal's text view:
    // they are made just after the first frame (the dialog at once by a
    // notification that comes earlier).
    Loader {
        id: notificationLoader
        active: false
        source: "NotificationDialog.qml"
    }

    function notify(kindName, msg, details, context) {
        notificationLoader.active = true
        notificationLoader.item.showKind(kindName, msg, details, context)
    }

    Connections {
        target: root.Window.window
        enabled: !notificationLoader.active
        function onFrameSwapped() {
            Qt.callLater(function () {
                notificationLoader.active = true
                journal.makeView()
            })
        }
    }

    Connections {
        target: Notifier
        function onHasError(msg, details, context) {
            console.error("Notifier::onHasError:", msg, details, context)
            root.notify("Crit", msg, details, context)
        }
        function onHasWarning(msg, details, context) {
            console.warn("Notifier::onHasWarning:", msg, details, context)
            root.notify("Warn", msg, details, context)
        }
        function onHasInfo(msg, details, context) {
            console.log("Notifier::onHasInfo:", msg, details, context)
            root.notify("Info", msg, details, context)
        }
        function onHasExitRequest() {
            console.log("Notifier::onHasExitRequest")
            root.notify("Exit", KeyMaster.operationText, "", [])
        }
        function onHasLogoutRequest() {
            console.log("Notifier::onHasLogoutRequest")
            root.notify("Logout", "", "", [])
        }
        function onHasWithdrawal(msg) {
            if (notificationLoader.item && notificationLoader.item.visible && notificationLoader.item.message === msg)
                notificationLoader.item.reject()
        }
        function onHasAssert(msg, details, context) {
            console.log("Notifier::onHasAssert : " + msg + " \n " + details)
            root.notify("Assert", msg, details, context)
        }
    }

    // The rescue-medium check and the list of drives, once the page is up.
    Timer {
        id: startTimer
        interval: 100
        repeat: false
        running: true
        onTriggered: KeyMaster.init()
    }

    Component.onCompleted: console.log("Welcome page loaded")
}
