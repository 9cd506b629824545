import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The selected band of an equaliser through its "selected…" parameters: filter type, frequency,
// gain and Q. `equaliser` is the path of the equaliser component, `band` its current band (−1:
// none selected). A band without a type or Q parameter (a notch band) shows only what it has.
RowLayout {
    id: inspector
    property string equaliser: ""
    property int band: -1
    spacing: 14

    Param { id: type; base: inspector.equaliser; address: "selectedType" }
    Param { id: q; base: inspector.equaliser; address: "selectedQ" }

    Rectangle {
        Layout.alignment: Qt.AlignTop
        implicitWidth: 44; implicitHeight: 44
        radius: 22
        color: inspector.band >= 0 ? Theme.bandColor(inspector.band) : Theme.raised
        Text {
            anchors.centerIn: parent
            text: inspector.band >= 0 ? inspector.band + 1 : "–"
            color: Theme.background
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontLarge
            font.bold: true
        }
    }
    Text {
        visible: inspector.band < 0
        text: "Click a handle on the curve to select its band."
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormal
    }
    ColumnLayout {
        visible: inspector.band >= 0
        spacing: 6
        SectionLabel { text: "TYPE" }
        ParamChoice {
            objectName: "bandType"
            visible: type.entries.length > 1
            base: inspector.equaliser
            address: "selectedType"
        }
        Text {
            visible: type.entries.length <= 1
            text: "Notch"
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
        }
    }
    ColumnLayout {
        visible: inspector.band >= 0
        Layout.fillWidth: true
        spacing: 4
        ParamValue { objectName: "bandFreq"; Layout.fillWidth: true; label: "Frequency"; base: inspector.equaliser; address: "selectedFreq" }
        ParamValue { objectName: "bandGain"; Layout.fillWidth: true; label: "Gain"; base: inspector.equaliser; address: "selectedGain" }
        ParamValue { objectName: "bandQ"; Layout.fillWidth: true; visible: q.text !== ""; label: "Q"; base: inspector.equaliser; address: "selectedQ" }
    }
}
