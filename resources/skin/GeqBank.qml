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

    RowLayout {
        Layout.fillWidth: true
        SectionLabel { text: bank.title }
        Item { Layout.fillWidth: true }
        Text {
            text: "Double click a band: 0 dB"
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        ParamButton { objectName: "geqOn"; text: "GEQ ON"; base: bank.geq; address: "on" }
        ParamButton { objectName: "geqStereo"; text: "STEREO"; base: bank.geq; address: "ston" }
    }
    GEQDisplay {
        objectName: "geqCurve"
        visible: bank.showCurve
        Layout.fillWidth: true
        Layout.preferredHeight: 150
        component: bank.geq
    }
    Rectangle {
        Layout.fillWidth: true
        Layout.fillHeight: true
        Layout.minimumHeight: 160
        color: "#0e0f11"
        radius: Theme.radius
        border.color: Theme.line
        Row {
            id: faders
            anchors.fill: parent
            anchors.margins: 4
            Repeater {
                model: 31
                GeqFader {
                    width: faders.width / 31
                    height: faders.height
                    base: bank.geq
                    address: "gain" + (index + 1)
                    label: bank.bandLabels[index]
                    lowerLabel: index % 2 === 1
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
