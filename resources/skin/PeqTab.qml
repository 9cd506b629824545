import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import Roomdesk 1.0
import "."

// The PEQ tab: the response-curve editor over the speaker's composite equaliser (the eight
// parametric bands, then the eight notch bands), the band inspector of the selected band, the
// bands' on switches and the all-bands switch. `speaker` is the path of its SpeakerComponent.
Item {
    id: tab
    property string speaker: ""
    readonly property string eq: speaker + "/line/ch1/eq"
    readonly property string compeq: speaker + "/compeq"

    Param { id: current; base: tab.compeq; address: "currentBand" }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        RowLayout {
            Layout.fillWidth: true
            SectionLabel { text: "PARAMETRIC EQ" }
            Item { Layout.fillWidth: true }
            Text {
                text: "Drag a handle: frequency and gain · wheel or Shift+drag: Q · double click: reset"
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            ParamButton { objectName: "eqAllOn"; text: "EQ ON"; textOff: "EQ OFF"; base: tab.eq; address: "eqallon" }
        }
        CurveDisplay {
            id: curve
            objectName: "curveEditor"
            Layout.fillWidth: true
            Layout.preferredHeight: 330
            Layout.minimumWidth: 600
            Layout.minimumHeight: 300
            component: tab.compeq
            // The parametric bands; the notch bands draw their curves in the sum.
            firstHandle: 0
            handleCount: 8
        }

        // One strip per parametric band: select it, switch it on or off.
        RowLayout {
            Layout.fillWidth: true
            spacing: 4
            Text {
                Layout.preferredWidth: 44
                text: "BANDS"
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
                font.bold: true
            }
            Repeater {
                model: 8
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 1
                    Rectangle {
                        implicitWidth: 28; implicitHeight: 28
                        radius: Theme.radius
                        readonly property bool selected: curve.currentBand === index
                        color: selected ? Theme.bandColor(index) : Theme.raised
                        border.color: selected ? "white" : Theme.line
                        Text {
                            anchors.centerIn: parent
                            text: index + 1
                            color: parent.selected ? Theme.background : Theme.bandColor(index)
                            font.family: Theme.fontFamily
                            font.pixelSize: Theme.fontSmall
                            font.bold: true
                        }
                        MouseArea { anchors.fill: parent; onClicked: curve.currentBand = index }
                    }
                    ParamButton {
                        Layout.fillWidth: true
                        implicitWidth: 40
                        text: "ON"
                        textOff: "OFF"
                        base: tab.eq
                        address: "eqbandon" + (index + 1)
                    }
                }
            }
        }
        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }

        // The band inspector: whatever band is selected, on the curve or above.
        BandInspector {
            Layout.fillWidth: true
            equaliser: tab.compeq
            band: curve.currentBand
        }
        Item { Layout.fillHeight: true }
    }
}
