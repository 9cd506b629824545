import QtQuick
import QtQuick.Window
import Tessel 1.0
import "."

// "About" box: name and version, copyright line, close button. Escape (or Enter) closes it.
Window {
    id: about
    title: Skin.expand("About $APPNAME")
    width: 420
    height: 220
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

    Item {
        objectName: "aboutKeys"
        anchors.fill: parent
        focus: true
        Keys.onEscapePressed: about.close()
        Keys.onReturnPressed: about.close()
        Keys.onEnterPressed: about.close()
    }

    Column {
        anchors.centerIn: parent
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
        ToolButton {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "CLOSE"
            onClicked: about.close()
        }
    }
}
