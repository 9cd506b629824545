import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The Presets tab of the inspector: the speaker presets of the inspector's current speaker
// (save, load, delete) and the resets of the speaker, its EQ and its notch, each asked first.
Item {
    id: tab
    Prop { id: hasSpeaker; address: "://roomdesk/Inspector/hasSpeaker" }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 10
        PresetList {
            Layout.fillWidth: true
            owner: "://roomdesk/Inspector"
            title: "SPEAKER PRESETS"
            canLoad: Number(hasSpeaker.value) !== 0
        }
        SectionLabel { text: "RESET" }
        Flow {
            Layout.fillWidth: true
            spacing: 6
            ConfirmButton {
                objectName: "resetSpeaker"
                text: "RESET SPEAKER"
                question: qsTr("Reset every setting of this speaker?")
                address: "://roomdesk/Inspector/resetSpeaker"
            }
            ConfirmButton {
                objectName: "resetEQ"
                text: "RESET EQ"
                question: qsTr("Reset the parametric EQ?")
                address: "://roomdesk/Inspector/resetEQ"
            }
            ConfirmButton {
                objectName: "resetNotch"
                text: "RESET NOTCH"
                question: qsTr("Reset the notch filters?")
                address: "://roomdesk/Inspector/resetNotch"
            }
        }
        Item { Layout.fillHeight: true }
    }
}
