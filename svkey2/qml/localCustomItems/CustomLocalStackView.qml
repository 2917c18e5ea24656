import QtQuick 2.12
import QtQuick.Controls 2.12

// The step stack of the work window. It walks through `pagesQueue`, a list
// of pairs [page component, title]: a page's `moveOn` pushes the next step
// (and hands it the page's context through `set`), its `goBack` pops it.
// When the queue is used up the stack is emptied and, if the last page passed
// a context, `queueEnded` reports the result. Above the pages a title area
// with the step bar and the step title shows while more than one page is
// stacked.
Item {
    id: root

    property var pagesQueue: []
    property int currentQueueIndex: -1
    // Title and queue position of every stacked page, bottom first.
    property var titles: []
    property var queuePositions: []
    // The work window's busy indicator, handed to every pushed page.
    property Item busyIndicator: null
    property alias initialItem: stack.initialItem
    readonly property alias stackView: stack
    readonly property int depth: stack.depth
    readonly property Item currentItem: stack.currentItem
    readonly property string currentTitle: {
        var top = depth - 1
        if (top < 0 || top >= titles.length)
            return ""
        var position = queuePositions[top]
        if (position >= 0 && position < pagesQueue.length)
            return pagesQueue[position][1]
        return titles[top]
    }

    signal queueEnded(bool success, var context)
    signal needOpenJournal()

    function pushPage(component, title, position, args) {
        var page = stack.push(component, { "busyIndicator": root.busyIndicator })
        if (!page) {
            console.warn("could not create the page of", title)
            return null
        }
        // The title names the page for a screen reader too.
        page.title = title
        var t = titles.slice(0, stack.depth - 1)
        t.push(title)
        titles = t
        var p = queuePositions.slice(0, stack.depth - 1)
        p.push(position)
        queuePositions = p
        if (typeof page.set === "function")
            page.set(args === undefined ? [] : args)
        return page
    }

    function popPage() {
        if (stack.depth <= 1)
            return
        stack.pop()
        titles = titles.slice(0, stack.depth)
        queuePositions = queuePositions.slice(0, stack.depth)
    }

    function clear() {
        stack.clear()
        titles = []
        queuePositions = []
    }

    function onPageMoveOn(success, context) {
        currentQueueIndex++
        if (currentQueueIndex >= pagesQueue.length) {
            clear()
            if (context !== undefined && context !== null && context.length > 0)
                queueEnded(success, context)
            return
        }
        var step = pagesQueue[currentQueueIndex]
        console.log("on move to", step[1])
        pushPage(step[0], step[1], currentQueueIndex, context)
    }

    function onPageGoBack() {
        // A page is never popped while it, or an operation it started, runs.
        if (KeyMaster.busy) {
            console.warn("back refused: an operation is running")
            return
        }
        if (currentQueueIndex > -1)
            currentQueueIndex--
        popPage()
    }

    Component.onCompleted: {
        if (stack.depth > 0 && titles.length === 0) {
            titles = [""]
            queuePositions = [-1]
        }
    }

    Connections {
        target: stack.currentItem
        ignoreUnknownSignals: true
        function onMoveOn(success, context) { root.onPageMoveOn(success, context) }
        function onGoBack() { root.onPageGoBack() }
        function onSeted(page, title, args) { root.pushPage(page, title, -1, args) }
        function onClosed() { root.popPage() }
        function onNeedOpenJournal() { root.needOpenJournal() }
    }

    Rectangle {
        id: titleArea
        objectName: "titleArea"
        visible: stack.depth > 1
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.topMargin: visible ? GuiConfig.itemSpacing() * 2 : 0
        anchors.leftMargin: GuiConfig.itemHeight()
        anchors.rightMargin: GuiConfig.itemHeight()
        height: visible ? titleColumn.implicitHeight + GuiConfig.itemSpacing() * 4 : 0
        radius: GuiConfig.itemRadius()
        color: GuiConfig.backgroundColorOfPageBlock()

        Column {
            id: titleColumn
            anchors.centerIn: parent
            width: parent.width - GuiConfig.itemHeight()
            spacing: GuiConfig.itemSpacing() * 2

            StepProgressBar {
                objectName: "stepProgressBar"
                anchors.horizontalCenter: parent.horizontalCenter
                width: titleArea.width * 0.75
                steps: root.pagesQueue.length
                stepsTaken: Math.min(root.currentQueueIndex + 1, steps)
            }

            Text {
                objectName: "stepTitle"
                width: parent.width
                text: root.currentTitle
                font.family: GuiConfig.itemTextFont()
                font.pixelSize: Math.round(GuiConfig.itemTextSize() * 1.3)
                font.bold: true
                color: GuiConfig.textColorOfBlockHeader()
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
            }
        }
    }

    StackView {
        id: stack
        objectName: "stackView"
        anchors.top: titleArea.bottom
        anchors.topMargin: GuiConfig.itemSpacing() * 2
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        // Steps change at once.
        pushEnter: Transition {}
        pushExit: Transition {}
        popEnter: Transition {}
        popExit: Transition {}
        replaceEnter: Transition {}
        replaceExit: Transition {}
    }
}
