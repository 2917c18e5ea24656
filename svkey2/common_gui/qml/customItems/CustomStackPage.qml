import QtQuick 2.12
import QtQuick.Controls 2.12

// Base of a page shown in a stack view. A page can ask its stack to push
// another page (`seted`) or to pop it (`closed`); the stack hands a pushed
// page its arguments through `set(args)`.
Page {
    id: page

    signal seted(var page, string title, var args)
    signal closed()

    // Receives the arguments of the page that led here; pages override it.
    function set(args) {}

    background: Item {}
}
