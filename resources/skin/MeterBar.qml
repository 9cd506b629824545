import QtQuick
import Roomdesk 1.0
import "."

// A vertical meter of a speaker's meter view (`speaker`, `index`: 0 the input; with `reduction`,
// 1 to 4 the outputs' gain reduction, 0 dB at the top down to `bottomDb`). The level rises in three colour zones: green up to -12 dB, amber to -3 dB, red
// above, with the held peak as a line; a gain-reduction meter (`reduction: true`) hangs from the
// top in amber. `floor` (0..1) is a level shown at least. The frame is drawn once; the moving part
// is MeterBarItem, which repaints only when its level or peak moves by a pixel. A DbScale beside
// it reads its levels through positionOf().
Item {
    id: meter
    property alias speaker: bar.speaker
    property alias index: bar.index
    property alias reduction: bar.reduction
    property alias floor: bar.floor
    // dB at the top and bottom of the scale where the speaker's meter view brings none (a gain
    // reduction runs linearly from `topDb` at the top to `bottomDb` at the bottom).
    property alias topDb: bar.topDb
    property alias bottomDb: bar.bottomDb
    readonly property alias valid: bar.valid
    // Where a level in dB lies on the meter (0 bottom, 1 top), for a scale beside it.
    function positionOf(db) { return bar.positionOf(db) }
    implicitWidth: 10
    implicitHeight: 120

    Rectangle { anchors.fill: parent; color: "#0e0f11"; radius: 2; border.color: Theme.line }
    MeterBarItem {
        id: bar
        objectName: "meterBar"
        anchors.fill: parent
        goodColor: Theme.good
        warningColor: Theme.warning
        errorColor: Theme.error
        peakColor: Theme.text
    }
}
