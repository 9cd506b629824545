import QtQuick
import Tessel 1.0
import "."

// A vertical fader bound to a parameter: the cap follows the parameter's normalised value (its
// curve), dragging is one edit gesture, the wheel steps it, a double click returns it to its
// default. The parameter's own text form shows below, a dB scale beside the track on the left.
Item {
    id: fader
    property alias address: param.address
    property alias base: param.base
    property string label: ""
    // The levels the scale marks, most important first (the ends of the range come after 0 dB);
    // those that would crowd the ones before are left out.
    property var scaleLevels: [0, 10, -10, -20, -40, -60, -84, 5, -5, -30, -50, -70]
    implicitWidth: 56 + dbScale.width
    implicitHeight: 200

    Param { id: param }

    readonly property real trackTop: 18
    readonly property real trackHeight: height - 58

    // The value: typed into after a double click (above the fader's own mouse area).
    ParamValue {
        objectName: "faderValue"
        z: 1
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.horizontalCenterOffset: dbScale.width / 2
        y: fader.height - 37
        width: Math.max(fader.width - dbScale.width, 66)
        buttons: false; labelWidth: 0; fieldHeight: 18; pixelSize: Theme.fontSmall
        base: param.base; address: param.address
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.horizontalCenterOffset: dbScale.width / 2
        y: fader.height - 18
        text: fader.label
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }
    // The track.
    Rectangle {
        id: track
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.horizontalCenterOffset: dbScale.width / 2
        y: fader.trackTop
        width: 4
        height: fader.trackHeight
        radius: 2
        color: "#0e0f11"
        border.color: Theme.line
    }
    DbScale {
        id: dbScale
        objectName: "faderScale"
        x: 0
        height: fader.height
        travelTop: fader.trackTop
        travelHeight: fader.trackHeight
        ticks: param.valid ? [0, Number(param.max), Number(param.min)].concat(fader.scaleLevels) : []
        positionOf: function (db) { return Number(param.min) <= db && db <= Number(param.max) ? param.normalize(db) : -1 }
        revision: [param.valid, param.min, param.max]
    }
    Rectangle {
        id: cap
        width: 34
        height: 18
        radius: 2
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.horizontalCenterOffset: dbScale.width / 2
        y: fader.trackTop + (1 - param.normalized) * fader.trackHeight - height / 2
        color: area.pressed ? Theme.raisedHover : Theme.raised
        border.color: param.editing ? Theme.accent : "#5a606b"
        opacity: param.enabled ? 1 : 0.4
        Rectangle { anchors.centerIn: parent; width: 24; height: 2; color: Theme.accent }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        enabled: param.enabled && !param.readOnly
        property real grabOffset: 0
        function positionAt(y) { return 1 - (y - grabOffset - fader.trackTop) / fader.trackHeight }
        onPressed: (mouse) => {
            const capCentre = cap.y + cap.height / 2
            grabOffset = Math.abs(mouse.y - capCentre) < cap.height ? mouse.y - capCentre : 0
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
