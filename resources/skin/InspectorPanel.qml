import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The inspector of the selected speaker.
Rectangle {
    color: Theme.panel

    ColumnLayout {
        anchors.fill: parent
        spacing: 0
        PanelHeader { Layout.fillWidth: true; text: "INSPECTOR" }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
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
