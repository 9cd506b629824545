import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import Roomdesk 1.0
import "."

// The Channel tab of the inspector: identity (nickname and comments editable in place), input
// volume with its meter and steps, mute, polarity, delay, voicing, 75 Hz and mono sum, limiter with
// threshold and the four output gain-reduction meters, temperature and thermal state. `speaker` is
// the path of its SpeakerComponent.
Item {
    id: panel
    property string speaker: ""
    // The path of the speaker's item in the speaker list (model name, version, host).
    property string item: ""

    Param { id: model; base: panel.item; address: "name" }
    Param { id: serial; base: panel.speaker; address: "id" }
    Param { id: version; base: panel.speaker; address: "version" }
    Param { id: temperature; base: panel.speaker; address: "temperature_c" }
    Param { id: thermal; base: panel.speaker; address: "thermalstate" }
    // The speaker also reports its input level as the parameter "meter".
    Param { id: meterLevel; base: panel.speaker; address: "line/ch1/meter" }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        // Tight enough that the gain-reduction meters and their labels stay inside a window of the
        // smallest size, with the dB scales beside the fader and meters.
        spacing: 7

        // Identity.
        RowLayout {
            Layout.fillWidth: true
            spacing: 10
            SpeakerPicture { width: 48; height: 48; implicitWidth: 48; implicitHeight: 48; model: model.text !== "" ? model.text : "Unknown"; selected: true }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 1
                // Nickname and comments are the speaker's own texts, edited in place.
                ParamTextEdit {
                    objectName: "nicknameEdit"
                    Layout.fillWidth: true
                    base: panel.speaker
                    address: "nickname"
                    placeholder: model.text !== "" ? model.text : "Nickname"
                    pixelSize: Theme.fontLarge
                    bold: true
                }
                Text {
                    text: model.text + "  ·  S/N " + serial.text + (version.text !== "" ? "  ·  v" + version.text : "")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                }
                ParamTextEdit {
                    objectName: "commentsEdit"
                    Layout.fillWidth: true
                    base: panel.speaker
                    address: "comments"
                    placeholder: "Add a comment"
                    pixelSize: Theme.fontSmall
                    textColor: Theme.text
                    maximumLength: 127
                }
            }
        }
        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }

        // Input: fader, meter and the volume steps.
        SectionLabel { text: "INPUT" }
        RowLayout {
            spacing: 10
            Fader {
                Layout.preferredHeight: 210
                base: panel.speaker
                address: "line/ch1/volume"
                label: "VOLUME"
            }
            // The input meter beside the fader's travel, its dB scale on its right.
            MeterBar {
                id: inputMeter
                Layout.preferredHeight: 152
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: 18
                implicitWidth: 12
                objectName: "inputMeter"
                speaker: panel.speaker
                index: 0
                floor: meterLevel.normalized
            }
            DbScale {
                objectName: "inputScale"
                Layout.preferredHeight: 210
                Layout.alignment: Qt.AlignTop
                Layout.leftMargin: -6
                side: "left"
                travelTop: 19
                travelHeight: 150
                ticks: [0, -12, -72, -3, -6, -24, -48, -36, -9]
                positionOf: function (db) { return inputMeter.positionOf(db) }
                revision: inputMeter.valid
            }
            ColumnLayout {
                Layout.alignment: Qt.AlignTop
                spacing: 6
                ParamButton { Layout.fillWidth: true; text: "VOL +"; command: true; base: panel.speaker; address: "volumeUp" }
                ParamButton { Layout.fillWidth: true; text: "0 dB"; command: true; base: panel.speaker; address: "volumeUnity" }
                ParamButton { Layout.fillWidth: true; text: "VOL −"; command: true; base: panel.speaker; address: "volumeDown" }
                Item { height: 6 }
                ParamButton { objectName: "mute"; Layout.fillWidth: true; text: "MUTED"; textOff: "MUTE OFF"; checkedColor: Theme.error; base: panel.speaker; address: "line/ch1/mute" }
                // Enabled while the speaker is placed in a room of the venue.
                ParamButton { objectName: "solo"; Layout.fillWidth: true; text: "SOLO ON"; textOff: "SOLO OFF"; checkedColor: Theme.warning; base: panel.speaker; address: "solo" }
                ParamButton { Layout.fillWidth: true; text: "POLARITY Ø INVERTED"; textOff: "POLARITY Ø NORMAL"; base: panel.speaker; address: "line/ch1/polarity" }
            }
        }
        ParamValue { objectName: "delay"; Layout.fillWidth: true; label: "Delay"; base: panel.speaker; address: "line/ch1/delay"; downCommand: "delayDown"; upCommand: "delayUp" }

        // Voicing and filters.
        SectionLabel { text: "VOICING" }
        ParamChoice { base: panel.speaker; address: "contour" }
        Row {
            spacing: 6
            ParamButton { text: "75 Hz ON"; textOff: "75 Hz OFF"; base: panel.speaker; address: "75hz" }
            ParamButton { text: "MONO SUM ON"; textOff: "MONO SUM OFF"; base: panel.speaker; address: "monosum" }
        }

        // Limiter and output gain reduction.
        SectionLabel { text: "LIMITER" }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            ParamButton { objectName: "limiterOn"; text: "ON"; textOff: "OFF"; checkedColor: Theme.warning; base: panel.speaker; address: "line/ch1/limit/limiteron" }
            ParamValue { objectName: "threshold"; Layout.fillWidth: true; label: "Threshold"; base: panel.speaker; address: "line/ch1/limit/threshold"; downCommand: "threshDown"; upCommand: "threshUp" }
        }
        RowLayout {
            spacing: 6
            Text {
                text: "GR"
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            // Gain reduction from 0 dB at the top down to -12 dB.
            DbScale {
                objectName: "reductionScale"
                Layout.preferredHeight: 66
                Layout.alignment: Qt.AlignTop
                travelTop: 1
                travelHeight: 46
                ticks: [0, -12, -6]
                positionOf: function (db) { return (db + 12) / 12 }
            }
            Repeater {
                model: 4
                Column {
                    spacing: 2
                    MeterBar { objectName: "reductionMeter"; width: 12; height: 48; reduction: true; topDb: 0; bottomDb: -12; speaker: panel.speaker; index: modelData + 1 }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: modelData + 1
                        color: Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: 9
                    }
                }
            }
            Item { Layout.fillWidth: true }
            // Temperature and thermal state.
            Column {
                spacing: 4
                Row {
                    spacing: 6
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 10; height: 10; radius: 5
                        color: Number(thermal.value) >= 1 ? Theme.error : (Number(thermal.value) >= 0.5 ? Theme.warning : Theme.good)
                    }
                    Text {
                        objectName: "temperature"
                        text: temperature.text
                        color: Theme.text
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontNormal
                    }
                }
                Text {
                    text: Number(thermal.value) >= 1 ? "HOT" : (Number(thermal.value) >= 0.5 ? "WARM" : "THERMAL OK")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                }
            }
        }
        Item { Layout.fillHeight: true }
    }
}
