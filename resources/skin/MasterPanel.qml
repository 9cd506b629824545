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

    Param { id: title; address: panel.room !== "" ? panel.room + "/roomTitle" : "" }

    ColumnLayout {
        anchors.fill: parent
        spacing: 8
        PanelHeader { Layout.fillWidth: true; text: "ROOM MASTER" + (title.valid ? "  ·  " + title.text.toUpperCase() : "") }
        Loader {
            id: bankLoader
            objectName: "masterGeq"
            Layout.preferredWidth: panel.width - 20
            Layout.maximumWidth: panel.width - 20
            Layout.fillHeight: true
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            active: panel.room !== ""
            // The bank fits the column at full size: its axis and band labels thin out to what the
            // width can show, so every text stays readable.
            sourceComponent: GeqBank {
                width: bankLoader.width
                height: bankLoader.height
                geq: panel.room + "/Master/geq"
                title: "MASTER GEQ"
            }
        }
        // GEQ presets of the room's master and its reset (the band gains only).
        PresetList {
            id: geqPresets
            objectName: "geqPresets"
            visible: panel.room !== ""
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            owner: "://roomdesk/MasterInspector"
            listName: "geqPresetsList"
            showName: "showGEQPresetEdit"
            confirmName: "confirmGEQReplace"
            saveName: "saveGEQPreset"
            loadName: "loadGEQPreset"
            okName: "okGEQPreset"
            cancelName: "cancelGEQPreset"
            replaceName: "replaceGEQPreset"
            keepName: "cancelGEQReplace"
            title: "GEQ PRESETS"
            listHeight: 96
            ConfirmButton {
                objectName: "resetGEQ"
                text: "RESET GEQ"
                question: qsTr("Set every band of the master GEQ to 0 dB?")
                address: "://roomdesk/MasterInspector/resetGEQ"
            }
        }
        Text {
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.bottomMargin: 12
            Layout.fillWidth: true
            wrapMode: Text.WordWrap
            text: qsTr("Changes go to every speaker of the room. Pick a speaker for its own controls.")
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
    }
}
