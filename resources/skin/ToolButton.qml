import QtQuick
import "."

// A flat console-style button. A switch (`toggle: true`) shows its state by text and colour
// together: lit in `checkedColor` with `textOn` while on, dim with `textOff` while off (both default
// to `text`, so a switch named after what it does reads the same in both states). A plain button
// shows `text`; "checked" lights it too (the open tab, an armed question).
Rectangle {
    id: button
    property string text: ""
    property string textOn: text
    property string textOff: text
    property bool toggle: false
    property bool checkable: false
    property bool checked: false
    property color checkedColor: Theme.accent
    // What the button says now.
    readonly property string shownText: toggle ? (checked ? textOn : textOff) : text
    signal clicked()

    implicitWidth: Math.max(56, Math.max(onWidth.advanceWidth, offWidth.advanceWidth, label.implicitWidth) + 20)
    implicitHeight: 28
    radius: Theme.radius
    color: checked ? checkedColor : (area.containsMouse && enabled ? Theme.raisedHover : Theme.raised)
    border.color: Theme.line
    opacity: enabled ? 1.0 : 0.45

    // A switch keeps its width when its text changes with its state.
    TextMetrics { id: onWidth; font: label.font; text: button.toggle ? button.textOn : "" }
    TextMetrics { id: offWidth; font: label.font; text: button.toggle ? button.textOff : "" }
    Text {
        id: label
        anchors.centerIn: parent
        text: button.shownText
        color: button.checked ? Theme.background : (button.toggle ? Theme.dimmed : Theme.text)
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
