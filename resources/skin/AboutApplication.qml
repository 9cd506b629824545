import QtQuick
import QtQuick.Window
import Tessel 1.0
import Roomdesk 1.0
import "."

// "About" box: name and version, copyright line, where the remote controls listen, close button.
// The tablet remote's part shows the address to type in a browser with its QR code for a phone's
// camera, or why the desk does not serve the page; while tablets must pair, the code to type.
// Escape (or Enter) closes it.
Window {
    id: about
    title: Skin.expand("About $APPNAME")
    width: 460
    height: content.implicitHeight + 40
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.panel
    // Centred on the screen even without a window manager to place it.
    x: Math.max(0, (Screen.width - width) / 2)
    y: Math.max(0, (Screen.height - height) / 3)
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: true

    Param { id: nameAndVersion; address: "://roomdesk/Application/appNameAndVersion" }
    Prop { id: oscListening; address: "://roomdesk/Application/oscListening" }
    Param { id: webUrl; address: "://roomdesk/WebRemote/url" }
    Param { id: webListening; address: "://roomdesk/WebRemote/listening" }
    Param { id: pairingRequired; address: "://roomdesk/WebRemote/pairingRequired" }
    Param { id: pairingCode; address: "://roomdesk/WebRemote/pairingCode" }

    Item {
        objectName: "aboutKeys"
        anchors.fill: parent
        focus: true
        Keys.onEscapePressed: about.close()
        Keys.onReturnPressed: about.close()
        Keys.onEnterPressed: about.close()
    }

    Column {
        id: content
        anchors.horizontalCenter: parent.horizontalCenter
        y: 20
        width: parent.width - 40
        spacing: 12
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Skin.expand("$APPNAME")
            color: Theme.accent
            font.family: Theme.fontFamily
            font.pixelSize: 26
            font.letterSpacing: 4
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: nameAndVersion.text
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Skin.expand("© $COPYYEAR $APPCOMPANY. All rights reserved.")
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Remote control (OSC): " + oscListening.value
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        Rectangle { width: parent.width; height: 1; color: Theme.line }
        WebRemoteAddress {
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width
            url: webUrl.valid ? String(webUrl.value) : ""
            listening: webListening.valid ? String(webListening.value) : ""
        }
        PairingCode {
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width
            visible: pairingRequired.valid && Number(pairingRequired.value) !== 0
            code: pairingCode.valid ? String(pairingCode.value) : ""
        }
        ToolButton {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "CLOSE"
            onClicked: about.close()
        }
    }
}
