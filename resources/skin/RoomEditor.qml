import QtQuick
import QtQuick.Controls.Basic as Controls
import Tessel 1.0
import Roomdesk 1.0
import "."

// The floor plan of the active room: every group's frame with its node picture and title, every
// placed speaker in its group's frame. Speakers are dragged here from the network browser, moved
// or swapped on the plan, and dragged off it to take them out of the room. A click on a speaker
// selects it (it winks) and opens it in the inspector; Escape or a click on empty plan gives the
// right column back to the room's master equaliser.
//
// The plan scrolls (wheel, scroll bars, dragging empty plan) and zooms (Ctrl + wheel, a pinch on a
// touchpad, − / + and FIT, which fits every group into the view). Cells, frames, drag indicators
// and the drop target all live in one scaled item, so the editor sees plan pixels at any zoom.
Item {
    id: editorView
    clip: true
    // The active room's component path.
    property string room: ""
    // The speaker the right column shows: its cell is marked current.
    property string currentSpeaker: ""
    signal speakerPicked(string path)
    // Escape or a click on empty plan: the right column shows the master equaliser again.
    signal masterPicked()

    Param { id: locked; address: editorView.room !== "" ? editorView.room + "/locked" : "" }
    // The empty room's hint shows with the browser: read again whenever it opens or closes.
    Param { id: browser; address: editorView.room !== "" ? editorView.room + "/viewNetwork" : "" }
    readonly property bool isLocked: Number(locked.value) !== 0

    // Plan pixels to screen pixels.
    property real zoom: 1
    readonly property real minZoom: 0.1
    readonly property real maxZoom: 2
    // The zoom that shows every group (never above 1).
    readonly property real fitZoom: Math.max(minZoom, Math.min(1, flick.width / Math.max(1, plan.contentWidth),
                                                               flick.height / Math.max(1, plan.contentHeight)))

    // Zooms to `wanted`, keeping the plan point under (vx, vy) of the view where it is.
    function zoomAt(wanted, vx, vy) {
        const next = Math.max(minZoom, Math.min(maxZoom, wanted))
        const px = (flick.contentX + vx) / zoom, py = (flick.contentY + vy) / zoom
        zoom = next
        flick.contentX = Math.max(0, Math.min(px * next - vx, flick.contentWidth - flick.width))
        flick.contentY = Math.max(0, Math.min(py * next - vy, flick.contentHeight - flick.height))
    }
    function fit() {
        zoom = fitZoom
        flick.contentX = 0
        flick.contentY = 0
    }
    // A zoom step of the buttons and keys, about the middle of the view.
    function zoomStep(factor) { zoomAt(zoom * factor, flick.width / 2, flick.height / 2) }

    function backToMaster() {
        editorView.forceActiveFocus()
        editorView.masterPicked()
    }
    Keys.onEscapePressed: (event) => {
        if (ghost.active)
            return
        backToMaster()
    }
    Keys.onPressed: (event) => {
        if (!(event.modifiers & Qt.ControlModifier))
            return
        if (event.key === Qt.Key_Plus || event.key === Qt.Key_Equal) { zoomStep(1.25); event.accepted = true }
        else if (event.key === Qt.Key_Minus) { zoomStep(0.8); event.accepted = true }
        else if (event.key === Qt.Key_0) { fit(); event.accepted = true }
    }

    // The editor, told the view's size: groups wrap at its width.
    RoomEditView { id: plan; objectName: "roomEditView"; anchors.fill: parent }

    Flickable {
        id: flick
        objectName: "planView"
        anchors.fill: parent
        contentWidth: content.width * editorView.zoom
        contentHeight: content.height * editorView.zoom
        boundsBehavior: Flickable.StopAtBounds
        Controls.ScrollBar.vertical: Controls.ScrollBar {
            objectName: "planScrollY"
            policy: size < 1 ? Controls.ScrollBar.AlwaysOn : Controls.ScrollBar.AlwaysOff
        }
        Controls.ScrollBar.horizontal: Controls.ScrollBar {
            objectName: "planScrollX"
            policy: size < 1 ? Controls.ScrollBar.AlwaysOn : Controls.ScrollBar.AlwaysOff
        }

        Item {
            id: content
            objectName: "planContent"
            // At least the view, so a click or a drop anywhere in it reaches the plan.
            width: Math.max(plan.contentWidth, flick.width / editorView.zoom)
            height: Math.max(plan.contentHeight, flick.height / editorView.zoom)
            scale: editorView.zoom
            transformOrigin: Item.TopLeft

            // A click on empty plan.
            MouseArea {
                objectName: "emptyPlan"
                anchors.fill: parent
                onClicked: editorView.backToMaster()
            }
            WheelHandler {
                // Ctrl + wheel zooms about the pointer; the plain wheel scrolls (the view's own).
                acceptedModifiers: Qt.ControlModifier
                target: null
                onWheel: (event) => {
                    const p = content.mapToItem(flick, point.position.x, point.position.y)
                    editorView.zoomAt(editorView.zoom * Math.pow(2, event.angleDelta.y / 720), p.x, p.y)
                }
            }
            PinchHandler {
                // A pinch on a touchpad (or a touch screen) zooms about its centre.
                target: null
                property real startZoom: 1
                onActiveChanged: if (active) startZoom = editorView.zoom
                onActiveScaleChanged: {
                    if (!active)
                        return
                    const p = content.mapToItem(flick, centroid.position.x, centroid.position.y)
                    editorView.zoomAt(startZoom * activeScale, p.x, p.y)
                }
            }

            Repeater {
                model: plan.groups
                Item {
                    objectName: "groupFrame" + index
                    x: modelData.x; y: modelData.y
                    width: modelData.width; height: modelData.height
                    visible: modelData.width > 0
                    Rectangle {
                        anchors.fill: parent
                        radius: 6
                        color: "#0cffffff"
                        border.width: Skin.metric("strokewidth", 1)
                        border.color: Skin.color("forecolor", Theme.dimmed)
                    }
                    // The free cell a drop into the group takes.
                    Rectangle {
                        objectName: "freeCell"
                        x: modelData.freeX + 4; y: modelData.freeY + 4
                        width: plan.cellWidth - 8; height: plan.cellHeight - 8
                        radius: Theme.radius + 2
                        color: "transparent"
                        border.width: 1
                        border.color: Theme.line
                        Text {
                            anchors.centerIn: parent
                            text: "+"
                            color: Theme.line
                            font.family: Theme.fontFamily
                            font.pixelSize: 28
                        }
                    }
                    // The title keeps a readable size when the plan is zoomed far out: it grows
                    // against the zoom (on a backing of its own, over the first cells if it must).
                    Rectangle {
                        id: titleBacking
                        readonly property real counterScale: Math.max(1, 0.85 / editorView.zoom)
                        x: 4; y: 2
                        width: Math.min(titleText.implicitWidth + 36, (parent.width - 8) / counterScale)
                        height: titleRow.implicitHeight + 4
                        scale: counterScale
                        transformOrigin: Item.TopLeft
                        radius: Theme.radius
                        color: counterScale > 1 ? Theme.panel : "transparent"
                        z: 2
                    Row {
                        id: titleRow
                        x: 4; y: 2
                        spacing: 6
                        Image {
                            anchors.verticalCenter: parent.verticalCenter
                            source: modelData.nodeImage
                            width: 14; height: 14
                        }
                        Text {
                            id: titleText
                            objectName: "groupTitle"
                            width: Math.min(implicitWidth, titleBacking.width - 28)
                            elide: Text.ElideRight
                            text: modelData.title.toUpperCase()
                            color: Theme.text
                            font: Skin.font("textfont")
                        }
                    }
                    }
                }
            }

            Repeater {
                id: cells
                model: plan.positions
                SpeakerGroupItem {
                    id: speakerCell
                    objectName: "speakerCell" + index
                    x: modelData.x; y: modelData.y
                    width: plan.cellWidth; height: plan.cellHeight
                    path: modelData.path
                    itemPath: modelData.itemPath
                    serial: modelData.serial
                    model: modelData.model
                    missing: modelData.missing
                    locked: editorView.isLocked
                    current: modelData.itemPath !== "" && modelData.itemPath === editorView.currentSpeaker
                    onPicked: {
                        editorView.forceActiveFocus()
                        editorView.speakerPicked(modelData.itemPath)
                    }
                    onDragStarted: (hotX, hotY) => {
                        dragging = plan.startDrag(index, hotX, hotY)
                        if (dragging)
                            ghost.begin(modelData.model, speakerCell, hotX, hotY, hotX, hotY)
                    }
                    onDragMoved: (px, py) => { if (dragging) ghost.moveTo(speakerCell, px, py) }
                    onDragReleased: {
                        if (!dragging)
                            return
                        dragging = false
                        ghost.drop()
                        plan.endDrag()
                    }
                    onDragCancelled: editorView.cancelDrag()
                }
            }

            SpeakerDragSource {
                objectName: "dragSource"
                visible: plan.dragging && plan.sourceX > -500
                x: plan.sourceX; y: plan.sourceY
                width: plan.cellWidth; height: plan.cellHeight
                swapping: plan.swapping
            }
            SpeakerDragTarget {
                objectName: "dragTarget"
                visible: plan.dragging && plan.targetX > -500
                x: plan.targetX; y: plan.targetY
                width: plan.cellWidth; height: plan.cellHeight
                swapping: plan.swapping
            }

            DropTarget {
                objectName: "planDropTarget"
                anchors.fill: parent
                component: plan.editor
            }
        }
    }

    // A drag broken off (Escape, the window lost the mouse) is no drop: the speaker stays where
    // it was, also when the pointer was off the plan.
    function cancelDrag() {
        for (let i = 0; i < cells.count; ++i) {
            const cell = cells.itemAt(i)
            if (cell && cell.dragging) {
                cell.dragging = false
                ghost.cancel()
                plan.cancelDrag()
            }
        }
    }
    Shortcut {
        sequence: "Escape"
        enabled: ghost.active
        onActivated: editorView.cancelDrag()
    }

    // The hint of an empty room, below the (empty) group frames.
    Column {
        objectName: "emptyHint"
        x: (editorView.width - width) / 2
        y: Math.max(plan.contentHeight * editorView.zoom - flick.contentY + 12, (editorView.height - height) / 2)
        spacing: 10
        visible: (browser.value, plan.emptyHint) && !plan.dragging
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            source: plan.hintImage
        }
        Text {
            objectName: "emptyHintText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: plan.hintText
            color: Theme.dimmed
            font: Skin.font("textfont")
        }
    }

    // Zoom: − / + about the middle, the zoom in percent, FIT shows every group.
    Row {
        objectName: "zoomBar"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 14
        spacing: 4
        ToolButton {
            objectName: "zoomOut"
            text: "\u2212"
            implicitWidth: 28
            onClicked: editorView.zoomStep(0.8)
        }
        Rectangle {
            width: 48; height: 28
            radius: Theme.radius
            color: Theme.raised
            border.color: Theme.line
            Text {
                objectName: "zoomText"
                anchors.centerIn: parent
                text: Math.round(editorView.zoom * 100) + " %"
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
        }
        ToolButton {
            objectName: "zoomIn"
            text: "+"
            implicitWidth: 28
            onClicked: editorView.zoomStep(1.25)
        }
        ToolButton {
            objectName: "fitButton"
            text: "FIT"
            onClicked: editorView.fit()
        }
    }

    SpeakerDragGhost {
        id: ghost
        width: plan.cellWidth; height: plan.cellHeight
        zoom: editorView.zoom
    }
}
