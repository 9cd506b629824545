import QtQuick
import Tessel 1.0
import Roomdesk 1.0
import "."

// The floor plan of the active room: every group's frame with its node picture and title, every
// placed speaker at its place. Speakers are dragged here from the network browser, moved or
// swapped on the plan, and dragged off it to take them out of the room. A click on a speaker
// selects it (it winks) and opens it in the inspector.
Item {
    id: editorView
    clip: true
    // The active room's component path.
    property string room: ""
    property string currentSpeaker: ""
    signal speakerPicked(string path)

    Param { id: locked; address: editorView.room !== "" ? editorView.room + "/locked" : "" }
    readonly property bool isLocked: Number(locked.value) !== 0
    readonly property int gridX: Skin.metric("gridX", 40)
    readonly property int gridY: Skin.metric("gridY", 40)

    RoomEditView { id: plan; objectName: "roomEditView"; anchors.fill: parent }

    // The grid, faintly.
    Canvas {
        anchors.fill: parent
        opacity: 0.5
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            ctx.fillStyle = Theme.line
            const ox = (width % editorView.gridX) / 2, oy = (height % editorView.gridY) / 2
            for (let x = ox; x < width; x += editorView.gridX)
                for (let y = oy; y < height; y += editorView.gridY)
                    ctx.fillRect(Math.floor(x), Math.floor(y), 1, 1)
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
                color: "transparent"
                border.width: Skin.metric("strokewidth", 1)
                border.color: Skin.color("forecolor", Theme.dimmed)
            }
            Row {
                x: 8; y: 4
                spacing: 6
                Image {
                    anchors.verticalCenter: parent.verticalCenter
                    source: modelData.nodeImage
                    width: 14; height: 14
                }
                Text {
                    objectName: "groupTitle"
                    text: modelData.title.toUpperCase()
                    color: Theme.text
                    font: Skin.font("textfont")
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
            onPicked: editorView.speakerPicked(modelData.itemPath)
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

    Column {
        objectName: "emptyHint"
        anchors.centerIn: parent
        spacing: 10
        visible: plan.emptyHint && !plan.dragging
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            source: plan.hintImage
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: plan.hintText
            color: Theme.dimmed
            font: Skin.font("textfont")
        }
    }

    SpeakerDragGhost { id: ghost; width: plan.cellWidth; height: plan.cellHeight }
}
