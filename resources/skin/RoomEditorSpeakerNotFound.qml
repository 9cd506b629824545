import QtQuick
import "."

// The placeholder of a placed speaker that is not on the network: greyed, with its serial number.
Rectangle {
    id: placeholder
    property string serial: ""
    radius: Theme.radius + 2
    color: "#1c1d21"
    border.width: 1
    border.color: Theme.line

    SpeakerPicture {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 10
        width: 92; height: 96
        model: "Unknown"
        opacity: 0.35
    }
    Text {
        x: 8; y: 112
        width: parent.width - 16
        horizontalAlignment: Text.AlignHCenter
        text: qsTr("Not found")
        color: Theme.warning
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontNormal
        font.bold: true
    }
    Text {
        objectName: "missingSerial"
        x: 8; y: 132
        width: parent.width - 16
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        text: placeholder.serial
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }
}
