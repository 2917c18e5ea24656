import QtQuick 2.12
import "../localCustomItems"

// Step page of the scenario; its own content is still to come.
CustomLocalPageInStackView {
    objectName: "backupChoosingDevicePage"
}
