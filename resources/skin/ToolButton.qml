import QtQuick
import "."

// A flat console-style button; "checked" lights it in the accent colour.
Rectangle {
    id: button
    property alias text: label.text
    property bool checkable: false
    property bool checked: false
    property color checkedColor: Theme.accent
    signal clicked()

    implicitWidth: Math.max(56, label.implicitWidth + 20)
    implicitHeight: 28
    radius: Theme.radius
    color: checked ? checkedColor : (area.containsMouse && enabled ? Theme.raisedHover : Theme.raised)
    border.color: Theme.line
    opacity: enabled ? 1.0 : 0.45

    Text {
        id: label
        anchors.centerIn: parent
        color: button.checked ? Theme.background : Theme.text
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
        font.bold: true
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        enabled: button.enabled
        onClicked: {
            if (button.checkable)
                button.checked = !button.checked
            button.clicked()
        }
    }
}
