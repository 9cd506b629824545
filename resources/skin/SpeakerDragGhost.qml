import QtQuick
import QtQuick.Controls
import "."

// The dragged speaker's picture under the pointer, above every column of the window. Its hot
// spot (where the pointer holds the speaker cell, in cell pixels) is where drop targets see the
// drag. `zoom` draws it as large as the floor plan shows its cells.
Item {
    id: ghost
    parent: Overlay.overlay
    width: 142
    height: 176
    z: 1000
    visible: active
    property bool active: false
    property string model: "Unknown"
    property real hotX: width / 2
    property real hotY: height / 2
    property real zoom: 1
    scale: zoom
    transformOrigin: Item.TopLeft
    Drag.active: active
    Drag.hotSpot.x: hotX
    Drag.hotSpot.y: hotY

    Rectangle {
        anchors.fill: parent
        anchors.margins: 4
        radius: Theme.radius + 2
        color: "#c01d2a36"
        border.width: 2
        border.color: Theme.accent
    }
    SpeakerPicture {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 10
        width: 92; height: 96
        model: ghost.model !== "" ? ghost.model : "Unknown"
        selected: true
    }

    // Takes the drag at (x, y) of `item` with the pointer at (hotX, hotY) inside the cell.
    function begin(modelName, item, x, y, hx, hy) {
        model = modelName
        hotX = hx
        hotY = hy
        moveTo(item, x, y)
        active = true
    }
    function moveTo(item, x, y) {
        if (!parent)
            return
        const p = item.mapToItem(parent, x, y)
        ghost.x = p.x - hotX * zoom
        ghost.y = p.y - hotY * zoom
    }
    // Lets go: the drop target under the hot spot gets the drop.
    function drop() {
        if (active)
            Drag.drop()
        active = false
    }
    // Breaks the drag off: the target under the hot spot only sees it leave.
    function cancel() {
        if (active)
            Drag.cancel()
        active = false
    }
}
