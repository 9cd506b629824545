import QtQuick
import Roomdesk 1.0
import "."

// Where a tablet opens the desk's page: the address as selectable text and, beside it, its QR code
// for a phone's camera; without an address, why the desk does not serve the page (`listening`).
// An address on this computer only comes with the option that opens it to the network.
Item {
    id: block
    property string url: ""
    property string listening: ""
    // The page is served on a loopback address: a tablet cannot reach it.
    readonly property bool loopbackOnly: /^http:\/\/(127\.|\[::1\]|localhost)/.test(url)
    implicitHeight: url !== "" ? Math.max(qr.height, texts.implicitHeight) : offText.implicitHeight

    Text {
        id: offText
        objectName: "webListening"
        visible: block.url === ""
        width: parent.width
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        // "off" alone says nothing more than the sentence does; a reason is kept ("port 8080 is taken").
        text: {
            const reason = block.listening.replace(/^off(: )?/, "")
            return reason !== "" ? "Tablet remote off: " + reason : "Tablet remote off"
        }
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }

    Column {
        id: texts
        visible: block.url !== ""
        anchors.left: parent.left
        anchors.right: qr.left
        anchors.rightMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        spacing: 6
        SectionLabel { text: "TABLET REMOTE" }
        Text {
            width: parent.width
            wrapMode: Text.Wrap
            text: "Open this address in a browser on the same network, or point a phone's camera at the code:"
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        TextEdit {
            objectName: "webUrl"
            width: parent.width
            wrapMode: TextEdit.WrapAnywhere
            text: block.url
            readOnly: true
            selectByMouse: true
            persistentSelection: true
            color: Theme.text
            selectionColor: Theme.accent
            selectedTextColor: Theme.background
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontLarge
            font.bold: true
        }
        Text {
            visible: block.loopbackOnly
            width: parent.width
            wrapMode: Text.Wrap
            text: "Only this computer can open it: start roomdesk with --web-bind 0.0.0.0 for tablets on the network."
            color: Theme.warning
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
    }
    QrCode {
        id: qr
        objectName: "webQr"
        visible: block.url !== ""
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        text: block.url
        // Whole pixels per module: at least 3, so a camera resolves every module off the screen.
        width: Math.max(132, (modules + 8) * 3)
        height: width
    }
}
