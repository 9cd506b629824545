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
        Instantiator {
            model: entries.entries
            delegate: MenuItem {
                text: modelData.title
                enabled: modelData.enabled
                onTriggered: entries.trigger(index)
            }
            onObjectAdded: (index, object) => menu.insertItem(index, object)
            onObjectRemoved: (index, object) => menu.removeItem(object)
        }
    }
}
