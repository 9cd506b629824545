import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// Shown in the centre while no venue is open.
Rectangle {
    color: Theme.background

    Param { id: nameAndVersion; address: "://roomdesk/Application/appNameAndVersion" }

    Column {
        anchors.centerIn: parent
        spacing: 10
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Skin.expand("$APPNAME")
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: 34
            font.letterSpacing: 6
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("No venue open")
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
        }
    }
    Text {
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottomMargin: 12
        text: nameAndVersion.text
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }
}
