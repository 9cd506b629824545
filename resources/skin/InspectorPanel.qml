import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The inspector: the panel of the speaker the user picked, or a hint when there is none.
Rectangle {
    id: inspector
    color: Theme.panel
    // The component path of the speaker's item ("SpeakerNetwork/<serial>"), or "".
    property string speakerItem: ""

    ColumnLayout {
        anchors.fill: parent
        spacing: 0
        PanelHeader { Layout.fillWidth: true; text: "INSPECTOR" }
        Loader {
            Layout.fillWidth: true
            Layout.fillHeight: true
            active: inspector.speakerItem !== ""
            visible: active
            sourceComponent: SpeakerPanel { item: inspector.speakerItem; speaker: inspector.speakerItem + "//Speaker" }
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: inspector.speakerItem === ""
            Text {
                anchors.centerIn: parent
                text: qsTr("No speaker selected")
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
        }
    }
}
