import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The speakers found on the network.
Rectangle {
    color: Theme.panel

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        PanelHeader { Layout.fillWidth: true; text: "SPEAKERS" }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Column {
                anchors.centerIn: parent
                spacing: 6
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("Searching the network…")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontNormal
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("Speakers appear here as they are found.")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                }
            }
        }
    }
}
