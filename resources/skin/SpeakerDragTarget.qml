import QtQuick
import "."

// Where a dragged speaker would land, snapped to the grid; amber while the drop would swap two
// speakers.
Rectangle {
    property bool swapping: false
    width: 142
    height: 176
    radius: Theme.radius + 2
    color: swapping ? "#30ffb020" : "#303fa9f5"
    border.width: 2
    border.color: swapping ? Theme.warning : Theme.accent
    Text {
        anchors.centerIn: parent
        text: parent.swapping ? "\u21c4" : "+"
        color: parent.swapping ? Theme.warning : Theme.accent
        font.family: Theme.fontFamily
        font.pixelSize: 28
    }
}
