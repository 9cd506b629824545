import QtQuick
import Tessel 1.0
import "."

// A row of segments for a list parameter: one per entry, the current one lit.
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
            onClicked: param.value = index
        }
    }
}
