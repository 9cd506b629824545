import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The right column while no speaker is picked: the active room's master graphic equaliser, which
// the room copies to every speaker placed in it. `room` is the room's component path.
Rectangle {
    id: panel
    color: Theme.panel
    property string room: ""
    readonly property string geq: room !== "" ? room + "/Master/geq" : ""
    readonly property var bandLabels: ["20", "25", "31.5", "40", "50", "63", "80", "100", "125", "160", "200",
        "250", "315", "400", "500", "630", "800", "1k", "1.25k", "1.6k", "2k", "2.5k", "3.15k", "4k", "5k",
        "6.3k", "8k", "10k", "12.5k", "16k", "20k"]

    Param { id: title; address: panel.room !== "" ? panel.room + "/roomTitle" : "" }

    ColumnLayout {
        anchors.fill: parent
        spacing: 8
        PanelHeader { Layout.fillWidth: true; text: "ROOM MASTER" }
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            SectionLabel { text: "GRAPHIC EQ  " + (title.valid ? title.text.toUpperCase() : "") }
            Item { Layout.fillWidth: true }
            ParamButton { objectName: "masterGeqOn"; text: "ON"; address: panel.geq !== "" ? panel.geq + "/on" : "" }
        }
        // One thin fader per third-octave band; drag to set, double click for 0 dB.
        Row {
            objectName: "masterGeqBands"
            Layout.leftMargin: 10
            spacing: 1
            Repeater {
                model: 31
                Column {
                    spacing: 3
                    Param { id: gain; address: panel.geq !== "" ? panel.geq + "/gain" + (index + 1) : "" }
                    Rectangle {
                        width: 8; height: 200
                        color: "#0e0f11"
                        border.color: Theme.line
                        Rectangle { width: parent.width; height: 1; y: parent.height / 2; color: Theme.line }
                        Rectangle {
                            readonly property real centre: parent.height / 2
                            readonly property real knob: (1 - (gain.valid ? gain.normalized : 0.5)) * parent.height
                            x: 1; width: parent.width - 2
                            y: Math.min(centre, knob)
                            height: Math.max(1, Math.abs(knob - centre))
                            color: Theme.accent
                        }
                        MouseArea {
                            anchors.fill: parent
                            enabled: gain.valid
                            onPressed: (mouse) => { gain.beginEdit(); gain.normalized = 1 - mouse.y / height }
                            onPositionChanged: (mouse) => { gain.normalized = Math.max(0, Math.min(1, 1 - mouse.y / height)) }
                            onReleased: gain.endEdit()
                            onCanceled: gain.endEdit()
                            onDoubleClicked: gain.reset()
                        }
                    }
                    Text {
                        visible: index % 3 === 0
                        width: 8
                        text: panel.bandLabels[index]
                        rotation: -90
                        color: Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: 8
                    }
                }
            }
        }
        Text {
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.fillWidth: true
            wrapMode: Text.WordWrap
            text: qsTr("Changes go to every speaker of the room. Pick a speaker for its own controls.")
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        Item { Layout.fillHeight: true }
    }
}
