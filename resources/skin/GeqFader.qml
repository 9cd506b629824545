import QtQuick
import Tessel 1.0
import "."

// One band of a graphic equaliser: a slim vertical fader centred on 0 dB with the band's label
// below and its value above while it is touched. Dragging is one edit gesture, the wheel steps
// it, a double click returns it to 0 dB (its default).
Item {
    id: fader
    property alias address: param.address
    property alias base: param.base
    property string label: ""
    property bool dimmed: false
    // Neighbouring labels take turns on two rows, so "1.25k" and "1.6k" never touch; a bank too
    // narrow for every label shows only some (`showLabel`).
    property bool lowerLabel: false
    property bool showLabel: true
    implicitWidth: 22
    implicitHeight: 240

    Param { id: param }

    readonly property real trackTop: 16
    readonly property real trackHeight: height - 44
    readonly property real capY: trackTop + (1 - param.normalized) * trackHeight

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 0
        visible: area.pressed || area.containsMouse
        text: param.text.replace(" dB", "")
        color: Theme.text
        font.family: Theme.fontFamily
        font.pixelSize: 9
    }
    Rectangle {
        id: track
        anchors.horizontalCenter: parent.horizontalCenter
        y: fader.trackTop
        width: 3
        height: fader.trackHeight
        color: "#0e0f11"
        border.color: Theme.line
    }
    // The 0 dB line.
    Rectangle {
        x: 2; width: fader.width - 4; height: 1
        y: fader.trackTop + fader.trackHeight / 2
        color: Theme.line
    }
    // The band's gain as a bar from 0 dB, so the bank reads as a curve at a glance.
    Rectangle {
        anchors.horizontalCenter: parent.horizontalCenter
        width: 3
        y: Math.min(fader.capY, fader.trackTop + fader.trackHeight / 2)
        height: Math.abs(fader.capY - (fader.trackTop + fader.trackHeight / 2))
        color: fader.dimmed ? Theme.dimmed : Theme.accent
    }
    Rectangle {
        id: cap
        width: Math.min(18, fader.width - 2)
        height: 10
        radius: 2
        anchors.horizontalCenter: parent.horizontalCenter
        y: fader.capY - height / 2
        color: area.pressed ? Theme.raisedHover : Theme.raised
        border.color: param.editing ? Theme.accent : "#5a606b"
        opacity: param.enabled ? 1 : 0.4
        Rectangle { anchors.centerIn: parent; width: parent.width - 6; height: 1; color: fader.dimmed ? Theme.dimmed : Theme.accent }
    }
    Text {
        objectName: "bandLabel"
        anchors.horizontalCenter: parent.horizontalCenter
        y: fader.height - (fader.lowerLabel ? 12 : 24)
        visible: fader.showLabel
        text: fader.label
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: 9
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        enabled: param.enabled && !param.readOnly
        property real grabOffset: 0
        function positionAt(y) { return 1 - (y - grabOffset - fader.trackTop) / fader.trackHeight }
        onPressed: (mouse) => {
            grabOffset = Math.abs(mouse.y - fader.capY) < cap.height ? mouse.y - fader.capY : 0
            param.beginEdit()
            param.normalized = Math.max(0, Math.min(1, positionAt(mouse.y)))
        }
        onPositionChanged: (mouse) => {
            if (pressed)
                param.normalized = Math.max(0, Math.min(1, positionAt(mouse.y)))
        }
        onReleased: param.endEdit()
        onCanceled: param.endEdit()
        onDoubleClicked: param.reset()
        onWheel: (wheel) => param.stepOnGrid(wheel.angleDelta.y + wheel.angleDelta.x > 0 ? 1 : -1, wheel.modifiers & Qt.ShiftModifier)
    }
}
