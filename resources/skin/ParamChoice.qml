import QtQuick
import Tessel 1.0
import "."

// A row of segments for a list parameter: one per entry, the current one lit. A click chooses its
// entry in one edit gesture, as the user's own change.
Row {
    id: choice
    property alias address: param.address
    property alias base: param.base
    spacing: 1
    Param { id: param }
    Repeater {
        model: param.entries
        ToolButton {
            text: modelData
            checked: Number(param.value) === index
            enabled: param.enabled && !param.readOnly
            onClicked: param.editTo(index)
        }
    }
}
