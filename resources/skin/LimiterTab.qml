import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import Roomdesk 1.0
import "."

// The Limiter tab: the input limiter's switch, threshold (with the speaker's own steps) and
// release, with the four output gain-reduction meters. `speaker` is the path of its
// SpeakerComponent.
Item {
    id: tab
    property string speaker: ""
    readonly property string limiter: speaker + "/line/ch1/limit"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 10

        SectionLabel { text: "LIMITER" }
        ParamButton { objectName: "limiterOn"; text: "LIMITER ON"; textOff: "LIMITER OFF"; checkedColor: Theme.warning; base: tab.limiter; address: "limiteron" }
        ParamValue { objectName: "threshold"; Layout.fillWidth: true; label: "Threshold"; base: tab.speaker; address: "line/ch1/limit/threshold"; downCommand: "threshDown"; upCommand: "threshUp" }
        ParamValue { objectName: "release"; Layout.fillWidth: true; label: "Release"; base: tab.limiter; address: "release" }
        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }
        SectionLabel { text: "OUTPUT GAIN REDUCTION" }
        Row {
            spacing: 10
            // Gain reduction from 0 dB at the top down to -12 dB.
            DbScale {
                objectName: "reductionScale"
                height: 142
                travelTop: 1
                travelHeight: 118
                ticks: [0, -12, -6, -3, -9]
                positionOf: function (db) { return (db + 12) / 12 }
            }
            Repeater {
                model: 4
                Column {
                    spacing: 2
                    MeterBar { objectName: "reductionMeter"; width: 14; height: 120; reduction: true; topDb: 0; bottomDb: -12; speaker: tab.speaker; index: modelData + 1 }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: modelData + 1
                        color: Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: 9
                    }
                }
            }
        }
        Item { Layout.fillHeight: true }
    }
}
