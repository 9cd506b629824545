import QtQuick
import Tessel 1.0
import "."

// The status line: what the last undo or redo did ("Undone: Room Volume Main Hall") and what it
// could not restore, or why an action was refused ("room is locked", the application's
// "statusMessage", in the warning colour); the latest of them, for a while after it came.
Text {
    id: status
    property string message: ""
    property bool refusal: false
    function show(text, isRefusal) {
        if (text === "") {
            if (refusal === isRefusal)
                message = "" // the text it showed was taken back
            return
        }
        message = text
        refusal = isRefusal
        shown.restart()
    }
    Param { id: line; address: "://roomdesk/Application/undoStatus"; onTextChanged: status.show(text, false) }
    Param { id: general; address: "://roomdesk/Application/statusMessage"; onTextChanged: status.show(text, true) }
    text: message
    visible: text !== "" && shown.running
    color: refusal || text.indexOf(". ") >= 0 ? Theme.warning : Theme.dimmed
    elide: Text.ElideRight
    font.family: Theme.fontFamily
    font.pixelSize: Theme.fontSmall
    Timer { id: shown; interval: 10000 }
}
