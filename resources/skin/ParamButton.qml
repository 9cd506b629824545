import QtQuick
import Tessel 1.0
import "."

// A button bound to a parameter: a toggle parameter makes it a switch, lit and reading `textOn`
// while on, dim and reading `textOff` while off, flipped by a click; a command parameter
// (`command: true`) runs its command on a click. The flip is one edit gesture, so the controller
// takes it as the user's own (unmuting a speaker ends the room's solo).
ToolButton {
    id: button
    property alias address: param.address
    property alias base: param.base
    property bool command: false
    toggle: !command
    enabled: param.valid && param.enabled && !param.readOnly
    checked: !command && param.valid && Number(param.value) !== 0
    onClicked: {
        if (command)
            param.invoke()
        else
            param.editTo(checked ? 0 : 1)
    }
    // The click above already flipped `checked` locally; the binding restores the parameter's view.
    checkable: false

    Param { id: param }
}
