import QtQuick
import Tessel 1.0
import "."

// One speaker position of the venue list: name, serial number, volume and mute while the speaker
// is on the network; the serial number alone while it is not.
Rectangle {
    id: row
    property string itemPath: ""
    property string serial: ""
    property bool current: false
    signal clicked()
    readonly property bool live: itemPath !== ""
    readonly property string speaker: live ? itemPath + "/component" : ""

    implicitHeight: 34
    radius: Theme.radius
    color: current ? "#262a31" : (area.containsMouse && live ? Theme.raised : Theme.panel)
    border.color: current ? Theme.accent : Theme.line

    Param { id: name; address: row.live ? row.itemPath + "/name" : "" }
    Param { id: nickname; address: row.live ? row.speaker + "/nickname" : "" }
    Param { id: volume; address: row.live ? row.speaker + "/line/ch1/volume" : "" }
    Param { id: mute; address: row.live ? row.speaker + "/line/ch1/mute" : "" }
    Param { id: solo; address: row.live ? row.speaker + "/solo" : "" }

    MouseArea { id: area; anchors.fill: parent; hoverEnabled: true; onClicked: row.clicked() }
    Rectangle {
        x: 10; anchors.verticalCenter: parent.verticalCenter
        width: 8; height: 8; radius: 4
        color: !row.live ? Theme.dimmed : (Number(mute.value) !== 0 ? Theme.error : Theme.good)
    }
    Text {
        x: 26; anchors.verticalCenter: parent.verticalCenter
        width: 200
        elide: Text.ElideRight
        text: !row.live ? qsTr("Offline") : (nickname.text !== "" ? nickname.text : name.text)
        color: row.live ? Theme.text : Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormal
    }
    Text {
        x: 236; anchors.verticalCenter: parent.verticalCenter
        text: row.serial
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }
    Text {
        anchors.right: parent.right; anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        text: !row.live ? "" : (Number(solo.value) !== 0 ? "SOLO   " : "") + (Number(mute.value) !== 0 ? "MUTED   " : "") + volume.text
        color: Number(solo.value) !== 0 ? Theme.warning : Theme.text
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormal
    }
    // A right click opens the speaker's menu (Copy, Paste); other clicks go to the row.
    SpeakerMenu { id: speakerMenu; speaker: row.speaker }
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: (mouse) => speakerMenu.openAt(this, mouse.x, mouse.y)
    }
}
