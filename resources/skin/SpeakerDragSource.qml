import QtQuick
import "."

// The cell a speaker is dragged from: dashed while it moves, amber while the drop would swap it
// with the speaker under the pointer.
Rectangle {
    property bool swapping: false
    width: 142
    height: 176
    radius: Theme.radius + 2
    color: swapping ? "#20ffb020" : "transparent"
    border.width: swapping ? 2 : 1
    border.color: swapping ? Theme.warning : Theme.dimmed
    Text {
        anchors.centerIn: parent
        visible: parent.swapping
        text: "\u21c4"
        color: Theme.warning
        font.family: Theme.fontFamily
        font.pixelSize: 28
    }
}
