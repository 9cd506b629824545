import QtQuick
import Tessel 1.0
import "."

// A text parameter edited in place: a click starts the edit, Enter (or leaving the field) keeps
// it and sends it to the speaker like any other change, Escape returns to the parameter's text.
// While nothing is typed the parameter's text shows, or `placeholder` when it is empty. Without
// `allowEmpty` an emptied field keeps the parameter's text. `accepted()` follows an Enter.
Item {
    id: edit
    property alias address: param.address
    property alias base: param.base
    property string placeholder: ""
    property int pixelSize: Theme.fontNormal
    property bool bold: false
    property color textColor: Theme.text
    // Longer texts are cut: the speaker keeps short identity texts.
    property int maximumLength: 63
    property bool allowEmpty: true
    readonly property bool editing: input.activeFocus
    signal accepted()

    implicitHeight: input.implicitHeight + 6
    implicitWidth: 160

    Param { id: param }

    function keep() {
        if (input.text !== param.text && (edit.allowEmpty || input.text.trim() !== ""))
            param.setText(edit.allowEmpty ? input.text : input.text.trim())
        input.text = Qt.binding(() => param.text)
    }
    function cancel() {
        input.text = Qt.binding(() => param.text)
    }

    Rectangle {
        anchors.fill: parent
        anchors.leftMargin: -4
        anchors.rightMargin: -4
        radius: Theme.radius
        color: input.activeFocus ? "#0e0f11" : (hover.containsMouse ? Theme.raised : "transparent")
        border.color: input.activeFocus ? Theme.accent : "transparent"
    }
    Text {
        anchors.fill: input
        visible: input.text === "" && !input.activeFocus
        text: edit.placeholder
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: edit.pixelSize
        font.bold: edit.bold
        font.italic: true
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }
    TextInput {
        id: input
        objectName: "input"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        text: param.text
        enabled: param.valid && param.enabled && !param.readOnly
        maximumLength: edit.maximumLength
        color: edit.textColor
        selectionColor: Theme.accent
        selectedTextColor: Theme.background
        font.family: Theme.fontFamily
        font.pixelSize: edit.pixelSize
        font.bold: edit.bold
        clip: true
        selectByMouse: true
        Keys.onReturnPressed: { edit.keep(); input.focus = false; edit.accepted() }
        Keys.onEnterPressed: { edit.keep(); input.focus = false; edit.accepted() }
        Keys.onEscapePressed: { edit.cancel(); input.focus = false }
        onActiveFocusChanged: if (!activeFocus && text !== param.text) edit.keep()
    }
    MouseArea {
        id: hover
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.NoButton
        cursorShape: Qt.IBeamCursor
    }
}
