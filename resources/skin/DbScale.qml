import QtQuick
import "."

// A dB scale drawn beside a fader or a meter: a tick and its value for each level of `ticks` that
// lies on the control, with "dB" above. `positionOf(db)` says where a level lies (0 at the bottom,
// 1 at the top of the travel, which runs from `travelTop` for `travelHeight` pixels). `ticks` are
// given most important first: a level whose text would touch one already drawn is left out, so the
// scale stays readable at any height. `side` is the side of the scale the control stands on
// ("right": the texts are right-aligned against it). `revision` is bound to what moves the
// mapping (the parameter's range), so the scale is laid out again when it changes.
Item {
    id: root
    property var ticks: []
    property var positionOf: function (db) { return 0 }
    property real travelTop: 0
    property real travelHeight: height
    property string side: "right"
    property var revision: 0
    property int pixelSize: 9
    // The levels drawn, with their places (for tests): [{db, y, text}], top to bottom.
    readonly property var shownTicks: layout(ticks, travelTop, travelHeight, revision)

    implicitWidth: widest.advanceWidth + 10
    TextMetrics { id: widest; font.family: Theme.fontFamily; font.pixelSize: root.pixelSize; text: "-88" }

    // "+6", "0", "-12": the sign shows which side of 0 dB a level lies.
    function label(db) {
        const rounded = Math.round(db * 10) / 10
        return (rounded > 0 ? "+" : "") + rounded
    }
    function layout(levels, top, height, revision) {
        const gap = root.pixelSize + 2
        let kept = []
        for (let i = 0; i < levels.length; ++i) {
            const p = root.positionOf(levels[i])
            if (!(p >= 0 && p <= 1))
                continue
            const y = top + (1 - p) * height
            if (kept.some(t => Math.abs(t.y - y) < gap))
                continue
            kept.push({ db: levels[i], y: y, text: label(levels[i]) })
        }
        return kept.sort((a, b) => a.y - b.y)
    }

    // The unit above the travel where there is room, else below it.
    Text {
        objectName: "scaleUnit"
        // Clear of the text of a level at either end of the travel.
        readonly property bool above: root.travelTop >= 1.5 * height + 1
        x: root.side === "right" ? root.width - width - 1 : 1
        y: above ? root.travelTop - 1.5 * height - 1 : root.travelTop + root.travelHeight + height / 2 + 1
        visible: above || y + height <= root.height
        text: "dB"
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: root.pixelSize
    }
    Repeater {
        model: root.shownTicks
        Item {
            required property var modelData
            Rectangle {
                x: root.side === "right" ? root.width - 3 : 0
                y: modelData.y
                width: 3; height: 1
                color: Theme.dimmed
            }
            Text {
                objectName: "scaleTick"
                readonly property real db: modelData.db
                x: root.side === "right" ? root.width - 8 - width : 8
                y: modelData.y - height / 2
                text: modelData.text
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: root.pixelSize
            }
        }
    }
}
