import QtQuick
import QtQuick.Window
import Tessel 1.0
import "."

// "Remote Devices": the tablet remote seen from the desk. The address to type with its QR code (or
// why the page is not served), the pairing code while browsers beyond this computer must pair,
// the READ-ONLY PAGES switch, and the paired devices, each with when it was last seen and REVOKE,
// which drops its pairing and closes its page's connection. Escape (or CLOSE) closes the window.
Window {
    id: devices
    title: "Remote Devices"
    width: 520
    height: Math.min(content.implicitHeight + 40, 700)
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.panel
    x: Math.max(0, (Screen.width - width) / 2)
    y: Math.max(0, (Screen.height - height) / 4)
    flags: Qt.Dialog
    visible: true

    readonly property string remote: "://roomdesk/WebRemote"
    Param { id: webUrl; address: devices.remote + "/url" }
    Param { id: webListening; address: devices.remote + "/listening" }
    Param { id: pairingRequired; address: devices.remote + "/pairingRequired" }
    Param { id: pairingCode; address: devices.remote + "/pairingCode" }
    Param { id: deviceCount; address: devices.remote + "/deviceCount" }

    Item {
        objectName: "remoteDevicesKeys"
        anchors.fill: parent
        focus: true
        Keys.onEscapePressed: devices.close()
    }

    Column {
        id: content
        anchors.horizontalCenter: parent.horizontalCenter
        y: 20
        width: parent.width - 40
        spacing: 14

        Text {
            text: "REMOTE DEVICES"
            color: Theme.accent
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontLarge
            font.bold: true
            font.letterSpacing: 2
        }
        WebRemoteAddress {
            width: parent.width
            url: webUrl.valid ? String(webUrl.value) : ""
            listening: webListening.valid ? String(webListening.value) : ""
        }
        PairingCode {
            width: parent.width
            visible: pairingRequired.valid && Number(pairingRequired.value) !== 0
            code: pairingCode.valid ? String(pairingCode.value) : ""
        }
        Rectangle { width: parent.width; height: 1; color: Theme.line }
        Row {
            width: parent.width
            spacing: 12
            ParamButton {
                id: readOnlySwitch
                objectName: "readOnlyPages"
                anchors.verticalCenter: parent.verticalCenter
                address: devices.remote + "/readOnly"
                textOn: "READ-ONLY PAGES ON"
                textOff: "READ-ONLY PAGES OFF"
                checkedColor: Theme.warning
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - readOnlySwitch.width - parent.spacing
                wrapMode: Text.Wrap
                text: readOnlySwitch.checked ? "Pages show the venue but change nothing."
                                             : "Pages drive the venue as this desk does."
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
        }
        Rectangle { width: parent.width; height: 1; color: Theme.line }
        SectionLabel { text: "PAIRED DEVICES" }
        Text {
            objectName: "noDevices"
            visible: deviceList.count === 0
            width: parent.width
            wrapMode: Text.Wrap
            text: pairingRequired.valid && Number(pairingRequired.value) !== 0
                  ? "No device is paired yet."
                  : "No device is paired: pages opened on this computer need no pairing."
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        Column {
            width: parent.width
            spacing: 1
            Repeater {
                id: deviceList
                model: deviceCount.valid ? Math.max(0, Number(deviceCount.value)) : 0
                Rectangle {
                    objectName: "device" + index
                    width: parent.width
                    height: 40
                    color: Theme.raised
                    radius: Theme.radius
                    Param { id: deviceName; address: devices.remote + "/Devices/deviceName[" + index + "]" }
                    Param { id: deviceSeen; address: devices.remote + "/Devices/deviceSeen[" + index + "]" }
                    Param { id: revoke; address: devices.remote + "/Devices/revoke[" + index + "]" }
                    Column {
                        anchors.left: parent.left
                        anchors.leftMargin: 10
                        anchors.right: revokeButton.left
                        anchors.rightMargin: 10
                        anchors.verticalCenter: parent.verticalCenter
                        Text {
                            objectName: "deviceName"
                            width: parent.width
                            elide: Text.ElideRight
                            text: deviceName.text
                            color: Theme.text
                            font.family: Theme.fontFamily
                            font.pixelSize: Theme.fontNormal
                        }
                        Text {
                            objectName: "deviceSeen"
                            text: deviceSeen.text !== "" ? "Last seen " + deviceSeen.text : ""
                            color: Theme.dimmed
                            font.family: Theme.fontFamily
                            font.pixelSize: Theme.fontSmall
                        }
                    }
                    ToolButton {
                        id: revokeButton
                        objectName: "revoke"
                        anchors.right: parent.right
                        anchors.rightMargin: 6
                        anchors.verticalCenter: parent.verticalCenter
                        text: "REVOKE"
                        enabled: revoke.valid
                        onClicked: revoke.invoke()
                    }
                }
            }
        }
        ToolButton {
            anchors.right: parent.right
            text: "CLOSE"
            onClicked: devices.close()
        }
    }
}
