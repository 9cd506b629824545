import QtQuick
import QtQuick.Controls.Basic
import Tessel 1.0
import "."

// "Undo" or "Redo" in the Edit menu: names the step it would replay ("Undo Volume TX20A") and is
// greyed while there is none; its tooltip says the same with the key.
MenuItem {
    id: item
    property string category: "Edit"
    property string name: "Undo"
    readonly property bool undoes: name === "Undo"

    Param { id: command; address: "://roomdesk/Application/" + (item.undoes ? "undo" : "redo") }
    Param { id: step; address: "://roomdesk/Application/" + (item.undoes ? "undoName" : "redoName") }

    text: step.text !== "" ? name + " " + step.text : name
    enabled: command.enabled
    onTriggered: command.invoke()
    ToolTip.visible: hovered
    ToolTip.delay: 500
    ToolTip.text: text + (undoes ? "  (Ctrl+Z)" : "  (Ctrl+Shift+Z)")

    contentItem: Text {
        text: item.text
        color: item.enabled ? Theme.text : Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
        verticalAlignment: Text.AlignVCenter
        leftPadding: 8
    }
    background: Rectangle { color: item.highlighted ? Theme.accent : "transparent" }
}
