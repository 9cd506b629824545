import QtQuick
import Tessel 1.0
import "."

// The status line of undo and redo: what the last one did ("Undone: Room Volume Main Hall") and
// what it could not restore, shown for a while after each undo or redo.
Text {
    id: status
    Param { id: line; address: "://roomdesk/Application/undoStatus"; onTextChanged: shown.restart() }
    text: line.text
    visible: text !== "" && shown.running
    color: text.indexOf(". ") >= 0 ? Theme.warning : Theme.dimmed
    elide: Text.ElideRight
    font.family: Theme.fontFamily
    font.pixelSize: Theme.fontSmall
    Timer { id: shown; interval: 10000 }
}
