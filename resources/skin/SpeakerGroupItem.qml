import QtQuick
import Tessel 1.0
import "."

// One speaker cell of the floor plan (142 × 176): the speaker's picture, lit while it is selected
// (it winks), its name, volume and mute (a muted speaker's picture is dimmed under a red "MUTED"
// mark); for a speaker that is not on the network the greyed
// placeholder with its serial number. The remove button shows while the room is not locked.
// Pressing and moving drags the speaker (the plan decides whether it may); a click selects it. A
// drag the window breaks off (it lost the mouse) is reported as cancelled, never as a drop. A
// right click opens the speaker's menu, the same as on its row in the network browser.
Item {
    id: cell
    width: 142
    height: 176
    // The position's component path ("VenueManager/Venue/RoomEditView/position0").
    property string path: ""
    property string itemPath: ""
    property string serial: ""
    property string model: ""
    property bool missing: false
    property bool locked: false
    property bool current: false
    signal picked()
    signal dragStarted(real hotX, real hotY)
    signal dragMoved(real x, real y)
    signal dragReleased()
    signal dragCancelled()
    property bool dragging: false

    Param { id: hilite; base: cell.path; address: "hilite" }
    Param { id: nickname; address: !cell.missing && cell.itemPath !== "" ? cell.itemPath + "/component/nickname" : "" }
    Param { id: volume; address: !cell.missing && cell.itemPath !== "" ? cell.itemPath + "/component/line/ch1/volume" : "" }
    Param { id: mute; address: !cell.missing && cell.itemPath !== "" ? cell.itemPath + "/component/line/ch1/mute" : "" }
    Param { id: remove; base: cell.path; address: "Speaker/removeFromRoom" }
    Param { id: edit; address: !cell.missing && cell.itemPath !== "" ? cell.itemPath + "/editSpeakerProps" : "" }
    readonly property bool lit: Number(hilite.value) !== 0
    readonly property bool muted: !cell.missing && Number(mute.value) !== 0

    Rectangle {
        anchors.fill: parent
        anchors.margins: 4
        radius: Theme.radius + 2
        visible: !cell.missing
        opacity: cell.dragging ? 0.35 : 1
        color: cell.lit ? "#1d2a36" : Theme.raised
        border.width: cell.lit || cell.current ? 2 : 1
        border.color: cell.lit ? Theme.accent : (cell.current ? "#5b9bd0" : Theme.line)

        SpeakerPicture {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 10
            width: 92; height: 96
            opacity: cell.muted ? 0.4 : 1
            model: cell.model !== "" ? cell.model : "Unknown"
            selected: cell.lit
        }
        // The mute mark across the picture.
        Rectangle {
            objectName: "muteMark"
            visible: cell.muted
            anchors.horizontalCenter: parent.horizontalCenter
            y: 46
            width: muteText.implicitWidth + 16; height: 24
            radius: 4
            color: Theme.error
            Text {
                id: muteText
                anchors.centerIn: parent
                text: "MUTED"
                color: "white"
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
                font.bold: true
            }
        }
        Text {
            objectName: "cellName"
            x: 8; y: 112
            width: parent.width - 16
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            text: nickname.text !== "" ? nickname.text : cell.model
            color: cell.lit ? Theme.accent : Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
            font.bold: true
        }
        Text {
            x: 8; y: 130
            width: parent.width - 16
            horizontalAlignment: Text.AlignHCenter
            text: cell.serial
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 148
            spacing: 6
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 8; height: 8; radius: 4
                color: Number(mute.value) !== 0 ? Theme.error : Theme.good
            }
            Text {
                text: volume.text
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
        }
    }
    RoomEditorSpeakerNotFound {
        anchors.fill: parent
        anchors.margins: 4
        visible: cell.missing
        serial: cell.serial
        opacity: cell.dragging ? 0.35 : 1
    }
    // Offline alarm: a speaker that left the network while the venue was open, until it returns.
    Rectangle {
        objectName: "offlineAlarm"
        Prop { id: offlineSince; base: cell.path; address: "offlineSince" }
        readonly property string since: offlineSince.valid ? String(offlineSince.value || "") : ""
        visible: since !== ""
        anchors.fill: parent
        anchors.margins: 4
        radius: Theme.radius + 2
        color: "#40ff3b30"
        border.width: 2
        border.color: Theme.error
        Text {
            objectName: "offlineAlarmText"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.margins: 4
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 6
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 8
            text: "Offline since " + parent.since
            color: "white"
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
            font.bold: true
        }
    }

    MouseArea {
        id: area
        anchors.fill: parent
        preventStealing: true
        property point pressPoint
        property bool moved: false
        onPressed: (mouse) => { pressPoint = Qt.point(mouse.x, mouse.y); moved = false }
        onPositionChanged: (mouse) => {
            if (!moved && Math.abs(mouse.x - pressPoint.x) + Math.abs(mouse.y - pressPoint.y) > 6) {
                moved = true
                cell.dragStarted(pressPoint.x, pressPoint.y)
            }
            if (moved)
                cell.dragMoved(mouse.x, mouse.y)
        }
        onReleased: {
            if (moved)
                cell.dragReleased()
            else if (!cell.missing) {
                edit.value = 1 // selects the speaker alone (it winks) and opens the inspector
                cell.picked()
            }
            moved = false
        }
        onCanceled: { if (moved) cell.dragCancelled(); moved = false }
    }

    SpeakerMenu { id: speakerMenu; speaker: !cell.missing && cell.itemPath !== "" ? cell.itemPath + "/component" : "" }
    MouseArea {
        objectName: "cellMenuArea"
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: (mouse) => speakerMenu.openAt(this, mouse.x, mouse.y)
    }

    // The remove button, above the drag area.
    Rectangle {
        objectName: "removeButton"
        visible: !cell.locked && remove.valid
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 8
        width: 20; height: 20; radius: 10
        color: removeArea.containsMouse ? Theme.error : "#3a3d44"
        Text {
            anchors.centerIn: parent
            text: "\u00d7"
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
            font.bold: true
        }
        MouseArea {
            id: removeArea
            anchors.fill: parent
            hoverEnabled: true
            onClicked: remove.value = 1
        }
    }
}
