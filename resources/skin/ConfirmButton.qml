import QtQuick
import Tessel 1.0
import "."

// A button for a command that cannot be undone: a click asks first ("Reset the EQ?"), YES runs
// the command parameter at `address`, NO or a click elsewhere leaves everything as it was.
Item {
    id: root
    property alias address: command.address
    property string text: ""
    property string question: ""
    implicitWidth: button.implicitWidth
    implicitHeight: button.implicitHeight
    readonly property bool asking: popup.visible

    Param { id: command }

    ToolButton {
        id: button
        anchors.fill: parent
        text: root.text
        enabled: command.valid
        checked: popup.visible
        checkedColor: Theme.warning
        onClicked: popup.visible = !popup.visible
    }
    Rectangle {
        id: popup
        objectName: "confirm"
        visible: false
        z: 10
        y: -height - 4
        width: Math.max(180, message.implicitWidth + 16)
        height: message.implicitHeight + 46
        color: Theme.raised
        border.color: Theme.warning
        radius: Theme.radius
        Column {
            anchors.fill: parent
            anchors.margins: 8
            spacing: 6
            Text {
                id: message
                text: root.question
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            Row {
                spacing: 6
                ToolButton { objectName: "confirmYes"; text: "YES"; onClicked: { popup.visible = false; command.invoke() } }
                ToolButton { text: "NO"; onClicked: popup.visible = false }
            }
        }
    }
}
