import QtQuick
import "."

// The six digits a browser beyond this computer must type once before its page may drive the
// desk, large enough to read from a step away, with what to do with them.
Column {
    id: pairing
    property string code: ""
    spacing: 4
    SectionLabel {
        anchors.horizontalCenter: parent.horizontalCenter
        text: "PAIRING CODE"
    }
    Text {
        objectName: "pairingCode"
        anchors.horizontalCenter: parent.horizontalCenter
        text: pairing.code
        color: Theme.accent
        font.family: Theme.fontFamily
        font.pixelSize: 40
        font.bold: true
        font.letterSpacing: 8
    }
    Text {
        objectName: "pairingHint"
        width: parent.width
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: "Type this code on the tablet when its page asks for it; each code pairs one device."
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }
}
