import QtQuick
import QtQuick.Controls as Controls
import QtQuick.Layouts
import Tessel 1.0
import "."

// A labelled numeric value: the parameter's text form between step buttons ("−" and "+"). Every
// numeric control shows its value through this field, so all of them take typed values alike:
// - a double click on the value, or Enter while it has the keyboard focus, opens an editor with
//   the text selected; Enter keeps what was typed, Escape cancels, leaving the field keeps it when
//   it reads. The parameter's own formatter reads the text ("2.5k", "-6", "120 ms"); a text it
//   cannot read, or a value out of range, is refused: the field turns red, says why and stays
//   open. A typed value is one edit gesture (one undo step);
// - the wheel on the value and the buttons step on the unit's grid (0.5 dB, a twelfth of an
//   octave, 0.1 ms, the Q list), Shift takes the grid's other step. Buttons given the component's
//   step commands (`downCommand`, `upCommand`) run those instead, as the speaker fixes them;
// - Ctrl+click returns the value to its default.
// `buttons: false` and `labelWidth: 0` leave only the value (beneath a fader).
RowLayout {
    id: row
    property alias address: param.address
    property alias base: param.base
    property string label: ""
    property int labelWidth: 72
    property string downCommand: ""
    property string upCommand: ""
    property bool buttons: true
    property int fieldHeight: 26
    property int pixelSize: Theme.fontNormal
    // Why the last typed text was refused; "" while nothing is refused.
    property string error: ""
    readonly property bool editing: editor.visible
    spacing: 6
    Param { id: param }
    Param { id: down; base: param.base; address: row.downCommand }
    Param { id: up; base: param.base; address: row.upCommand }

    readonly property bool changeable: param.valid && param.enabled && !param.readOnly

    function open() {
        if (!row.changeable)
            return
        row.error = ""
        editor.text = param.text
        editor.visible = true
        editor.forceActiveFocus()
        editor.selectAll()
    }
    // Sets what was typed (Enter); refused, the editor stays open with the reason.
    function keep() {
        const refusal = param.enterText(editor.text)
        if (refusal !== "") {
            row.error = refusal
            editor.selectAll()
            return
        }
        close()
    }
    function cancel() {
        close()
    }
    property bool closing: false
    function close() {
        row.closing = true
        row.error = ""
        if (editor.activeFocus)
            field.forceActiveFocus()
        editor.visible = false
        row.closing = false
    }
    function stepBy(delta, modifiers) {
        if (!row.changeable || delta === 0)
            return
        const shift = (modifiers & Qt.ShiftModifier) !== 0
        const command = delta < 0 ? row.downCommand : row.upCommand
        if (command !== "" && !shift)
            (delta < 0 ? down : up).invoke()
        else
            param.stepOnGrid(delta, shift)
    }

    Text {
        visible: row.labelWidth > 0
        Layout.preferredWidth: row.labelWidth
        text: row.label
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }
    ToolButton {
        objectName: "stepDown"
        visible: row.buttons
        text: "−"
        implicitWidth: 26
        enabled: row.changeable
        // Over the button's own area: the click's modifiers decide the step.
        MouseArea {
            anchors.fill: parent
            enabled: parent.enabled
            onClicked: (mouse) => row.stepBy(-1, mouse.modifiers)
        }
    }
    Rectangle {
        id: field
        objectName: "valueField"
        Layout.fillWidth: true
        implicitWidth: 64
        implicitHeight: row.fieldHeight
        color: "#0e0f11"
        radius: Theme.radius
        activeFocusOnTab: row.changeable
        border.color: row.error !== "" ? Theme.error
                      : (editor.activeFocus || field.activeFocus ? Theme.accent : Theme.line)
        border.width: row.error !== "" ? 2 : 1
        Keys.onReturnPressed: row.open()
        Keys.onEnterPressed: row.open()

        Text {
            objectName: "valueText"
            anchors.centerIn: parent
            visible: !editor.visible
            text: param.text
            color: param.enabled ? Theme.text : Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: row.pixelSize
        }
        MouseArea {
            anchors.fill: parent
            enabled: !editor.visible
            cursorShape: row.changeable ? Qt.IBeamCursor : Qt.ArrowCursor
            onClicked: (mouse) => {
                if (mouse.modifiers & Qt.ControlModifier) {
                    if (row.changeable)
                        param.reset()
                } else if (row.changeable) {
                    field.forceActiveFocus()
                }
            }
            onDoubleClicked: row.open()
            onWheel: (wheel) => {
                // Shift turns some wheels sideways.
                const turn = wheel.angleDelta.y !== 0 ? wheel.angleDelta.y : wheel.angleDelta.x
                row.stepBy(turn > 0 ? 1 : (turn < 0 ? -1 : 0), wheel.modifiers)
            }
        }
        TextInput {
            id: editor
            objectName: "valueEditor"
            visible: false
            anchors.fill: parent
            anchors.leftMargin: 6
            anchors.rightMargin: 6
            verticalAlignment: TextInput.AlignVCenter
            horizontalAlignment: TextInput.AlignHCenter
            color: Theme.text
            selectionColor: Theme.accent
            selectedTextColor: Theme.background
            font.family: Theme.fontFamily
            font.pixelSize: row.pixelSize
            clip: true
            selectByMouse: true
            maximumLength: 32
            Keys.onReturnPressed: row.keep()
            Keys.onEnterPressed: row.keep()
            Keys.onEscapePressed: row.cancel()
            // Leaving the field keeps a text that reads, and drops one that does not.
            onActiveFocusChanged: {
                if (!activeFocus && visible && !row.closing) {
                    param.enterText(text)
                    row.close()
                }
            }
            onTextEdited: row.error = ""
        }
        Controls.ToolTip {
            objectName: "valueMessage"
            visible: row.error !== ""
            text: row.error
            y: field.height + 2
            delay: 0
            timeout: -1
            contentItem: Text {
                text: row.error
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            background: Rectangle { color: "#3a1512"; border.color: Theme.error; radius: Theme.radius }
        }
    }
    ToolButton {
        objectName: "stepUp"
        visible: row.buttons
        text: "+"
        implicitWidth: 26
        enabled: row.changeable
        MouseArea {
            anchors.fill: parent
            enabled: parent.enabled
            onClicked: (mouse) => row.stepBy(1, mouse.modifiers)
        }
    }
}
