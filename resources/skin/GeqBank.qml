import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import Roomdesk 1.0
import "."

// A 31-band graphic equaliser: its overall response above, one fader per third-octave band
// (20 Hz … 20 kHz, gain1 … gain31) with the on and stereo switches. `geq` is the path of the
// GEQComponent: a speaker's "…/line/ch1/geq" or a room's "Master/geq".
ColumnLayout {
    id: bank
    property string geq: ""
    property string title: "GRAPHIC EQ"
    property bool showCurve: true
    // The band whose gain the value field below shows (the last one pressed), −1 for none.
    property int selectedBand: -1
    spacing: 6

    readonly property var bandLabels: ["20", "25", "31.5", "40", "50", "63", "80", "100", "125", "160", "200",
        "250", "315", "400", "500", "630", "800", "1k", "1.25k", "1.6k", "2k", "2.5k", "3.15k", "4k", "5k",
        "6.3k", "8k", "10k", "12.5k", "16k", "20k"]

    Param { id: on; base: bank.geq; address: "on" }
    // The bands share one range: the first one places the scale beside the faders.
    Param { id: firstBand; base: bank.geq; address: "gain1" }

    RowLayout {
        Layout.fillWidth: true
        SectionLabel { text: bank.title }
        // The hint gives way (elided) where the column is narrow.
        Text {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignRight
            elide: Text.ElideRight
            text: "Double click a band: 0 dB"
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        ParamButton { objectName: "geqOn"; text: "GEQ ON"; textOff: "GEQ OFF"; base: bank.geq; address: "on" }
        ParamButton { objectName: "geqStereo"; text: "STEREO"; textOff: "STEREO OFF"; base: bank.geq; address: "ston" }
    }
    GEQDisplay {
        objectName: "geqCurve"
        visible: bank.showCurve
        Layout.fillWidth: true
        Layout.preferredHeight: 150
        component: bank.geq
    }
    Rectangle {
        id: bandArea
        Layout.fillWidth: true
        Layout.fillHeight: true
        Layout.minimumHeight: 160
        color: "#0e0f11"
        radius: Theme.radius
        border.color: Theme.line
        // The faders' travel (as GeqFader lays it out), for the scale beside them.
        DbScale {
            id: geqScale
            objectName: "geqScale"
            x: 4
            height: faders.height + 4
            travelTop: 4 + 16
            travelHeight: faders.height - 44
            ticks: firstBand.valid ? [0, 12, -12, 6, -6, 3, -3, 9, -9] : []
            positionOf: function (db) { return Number(firstBand.min) <= db && db <= Number(firstBand.max) ? firstBand.normalize(db) : -1 }
            revision: [firstBand.valid, firstBand.min, firstBand.max]
        }
        // Every band's label where the bank is wide enough, else every second or third (20 Hz and
        // 20 kHz always), taking turns on two rows.
        TextMetrics { id: widestBand; font.family: Theme.fontFamily; font.pixelSize: 9; text: "12.5k" }
        readonly property int labelEvery: {
            const band = faders.width / 31
            for (const every of [1, 2, 3, 5, 6, 10, 15])
                if (2 * every * band >= widestBand.advanceWidth + 4)
                    return every
            return 30
        }
        Row {
            id: faders
            anchors.fill: parent
            anchors.margins: 4
            anchors.leftMargin: 4 + geqScale.width
            Repeater {
                model: 31
                GeqFader {
                    width: faders.width / 31
                    height: faders.height
                    base: bank.geq
                    address: "gain" + (index + 1)
                    label: bank.bandLabels[index]
                    showLabel: index % bandArea.labelEvery === 0
                    lowerLabel: (index / bandArea.labelEvery) % 2 === 1
                    dimmed: !(Number(on.value) !== 0)
                }
            }
        }
        // Picks the band under a press for the value field; the press goes on to the fader.
        MouseArea {
            anchors.fill: faders
            onPressed: (mouse) => {
                bank.selectedBand = Math.max(0, Math.min(30, Math.floor(mouse.x / (faders.width / 31))))
                mouse.accepted = false
            }
        }
    }
    // The pressed band's gain, to type or step.
    RowLayout {
        Layout.fillWidth: true
        spacing: 6
        Text {
            Layout.preferredWidth: 92
            text: {
                if (bank.selectedBand < 0)
                    return "BAND"
                const label = bank.bandLabels[bank.selectedBand]
                return "BAND " + (label.endsWith("k") ? label.slice(0, -1) + " kHz" : label + " Hz")
            }
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
            font.bold: true
        }
        Text {
            visible: bank.selectedBand < 0
            Layout.fillWidth: true
            text: "Click a band to type its gain"
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        ParamValue {
            objectName: "geqBandValue"
            visible: bank.selectedBand >= 0
            Layout.fillWidth: true
            labelWidth: 0
            base: bank.geq
            address: bank.selectedBand >= 0 ? "gain" + (bank.selectedBand + 1) : ""
        }
    }
}
