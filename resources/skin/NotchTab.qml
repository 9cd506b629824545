import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import Roomdesk 1.0
import "."

// The Notch tab: the response-curve editor over the notch equaliser, on its own depth range, and
// its eight bands (frequency, gain, on). `speaker` is the path of its SpeakerComponent.
Item {
    id: tab
    property string speaker: ""
    readonly property string notch: speaker + "/line/ch1/notch"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        RowLayout {
            Layout.fillWidth: true
            SectionLabel { text: "NOTCH EQ" }
            Item { Layout.fillWidth: true }
            Text {
                text: "Drag a handle: frequency and depth · double click: reset · Q is 24"
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            ParamButton { objectName: "notchAllOn"; text: "NOTCH ON"; textOff: "NOTCH OFF"; base: tab.notch; address: "notchallon" }
        }
        CurveDisplay {
            id: curve
            objectName: "curveEditor"
            Layout.fillWidth: true
            Layout.preferredHeight: 310
            Layout.minimumWidth: 600
            Layout.minimumHeight: 300
            component: tab.notch
        }
        GridLayout {
            Layout.fillWidth: true
            columns: 2
            columnSpacing: 18
            rowSpacing: 4
            Repeater {
                model: 8
                RowLayout {
                    id: row
                    Layout.fillWidth: true
                    spacing: 6
                    readonly property int curveBand: index
                    Rectangle {
                        implicitWidth: 26; implicitHeight: 26
                        radius: 13
                        color: curve.currentBand === row.curveBand ? Theme.bandColor(row.curveBand) : Theme.raised
                        border.color: Theme.bandColor(row.curveBand)
                        Text {
                            anchors.centerIn: parent
                            text: index + 1
                            color: curve.currentBand === row.curveBand ? Theme.background : Theme.bandColor(row.curveBand)
                            font.family: Theme.fontFamily
                            font.pixelSize: Theme.fontSmall
                            font.bold: true
                        }
                        MouseArea { anchors.fill: parent; onClicked: curve.currentBand = row.curveBand }
                    }
                    ParamValue { objectName: "notchFreq" + (index + 1); Layout.fillWidth: true; labelWidth: 0; base: tab.notch; address: "notchfreq" + (index + 1) }
                    ParamValue { objectName: "notchGain" + (index + 1); Layout.fillWidth: true; labelWidth: 0; base: tab.notch; address: "notchgain" + (index + 1) }
                    ParamButton { implicitWidth: 40; text: "ON"; textOff: "OFF"; base: tab.notch; address: "notchbandon" + (index + 1) }
                }
            }
        }
        Item { Layout.fillHeight: true }
    }
}
