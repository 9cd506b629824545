import QtQuick
import "."

// A vertical meter. `level` is the position 0..1 along the meter's scale; `levelDb` places the
// colour zones: green up to -12 dB, amber to -3 dB, red above. A gain-reduction meter
// (`reduction: true`) hangs from the top in amber.
Item {
    id: meter
    property real level: 0
    property real peak: -1
    property bool reduction: false
    // dB at the top and bottom of the scale, for the colour zones.
    property real topDb: 0
    property real bottomDb: -60
    implicitWidth: 10
    implicitHeight: 120

    function yOf(db) { return height * (1 - (db - bottomDb) / (topDb - bottomDb)) }

    Rectangle { anchors.fill: parent; color: "#0e0f11"; radius: 2; border.color: Theme.line }

    // Level from the bottom: the three colour zones, shown up to the level.
    Item {
        id: fill
        visible: !meter.reduction
        x: 1
        width: meter.width - 2
        height: Math.max(0, Math.min(1, meter.level)) * (meter.height - 2)
        y: meter.height - 1 - height
        clip: true
        Rectangle { y: -fill.y; width: fill.width; height: meter.yOf(-3); color: Theme.error }
        Rectangle { y: meter.yOf(-3) - fill.y; width: fill.width; height: meter.yOf(-12) - meter.yOf(-3); color: Theme.warning }
        Rectangle { y: meter.yOf(-12) - fill.y; width: fill.width; height: meter.height - meter.yOf(-12); color: Theme.good }
    }
    // Gain reduction from the top.
    Rectangle {
        visible: meter.reduction
        anchors.left: parent.left; anchors.right: parent.right; anchors.top: parent.top
        anchors.margins: 1
        height: Math.max(0, Math.min(1, meter.level)) * (meter.height - 2)
        color: Theme.warning
    }
    // Peak hold line.
    Rectangle {
        visible: meter.peak >= 0 && !meter.reduction
        x: 1; width: parent.width - 2; height: 2
        y: 1 + (1 - Math.min(1, meter.peak)) * (meter.height - 4)
        color: meter.peak > 0.95 ? Theme.error : Theme.text
    }
}
