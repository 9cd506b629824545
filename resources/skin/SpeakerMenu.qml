import QtQuick
import QtQuick.Controls.Basic
import Tessel 1.0
import "."

// The right-click menu of a speaker: the entries its component offers ("Copy", "Paste").
// `speaker` is the component path of the SpeakerComponent ("SpeakerNetwork/<serial>/component").
Item {
    id: root
    property string speaker: ""

    ContextMenuModel { id: entries; component: root.speaker !== "" ? "://roomdesk/" + root.speaker : "" }

    // Opens the menu at (x, y) of `item`, when the speaker offers anything.
    function openAt(item, x, y) {
        if (root.speaker === "" || entries.collect({part: "speaker"}) === 0)
            return
        menu.popup(item, x, y)
    }

    Menu {
        id: menu
        // Kept whole inside the window: moved up or left where it would not fit below the pointer.
        margins: 0
        background: Rectangle {
            objectName: "speakerMenuFrame"
            implicitWidth: 180
            color: Theme.raised
            border.color: Theme.line
            radius: 2
        }
        Instantiator {
            model: entries.entries
            delegate: MenuItem {
                id: entry
                objectName: "speakerMenuEntry" + index
                text: modelData.title
                enabled: modelData.enabled
                onTriggered: entries.trigger(index)
                contentItem: Text {
                    text: entry.text
                    font.pixelSize: Theme.fontNormal
                    color: entry.enabled ? Theme.text : Theme.dimmed
                    verticalAlignment: Text.AlignVCenter
                    leftPadding: 4
                }
                background: Rectangle {
                    implicitHeight: 30
                    color: entry.highlighted ? Theme.raisedHover : "transparent"
                }
            }
            onObjectAdded: (index, object) => menu.insertItem(index, object)
            onObjectRemoved: (index, object) => menu.removeItem(object)
        }
    }
}
