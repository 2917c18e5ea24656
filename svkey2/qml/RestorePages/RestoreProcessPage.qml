import QtQuick 2.12
import "../localCustomItems"

// Step page of the scenario; its own content is still to come.
CustomLocalPageInStackView {
    objectName: "restoreProcessPage"
    // The run of the scenario decides where this step leads; nothing to move on to yet.
    forwardEnabled: false
}
