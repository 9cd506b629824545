import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The centre while a venue is shown: the active room's floor plan (RoomEditor) under a header with
// the room's title, GROUPS (the room inspector) and BROWSER (the network browser). A click on a
// speaker on the plan picks it for the inspector; Escape or a click on empty plan gives the right
// column back to the room's master equaliser.
Rectangle {
    id: view
    color: Theme.background
    // The active room's component path (from the top bar), or "".
    property string room: ""
    // The component path of the speaker picked last, or "".
    property string currentSpeaker: ""
    // The speaker the right column shows (its cell is marked current), or "".
    property string shownSpeaker: currentSpeaker
    signal speakerPicked(string path)
    signal masterPicked()
    // Whether the network browser is shown beside the room ("viewNetwork").
    readonly property bool browserShown: room === "" || Number(viewNetwork.value) !== 0
    Param { id: viewNetwork; address: view.room !== "" ? view.room + "/viewNetwork" : "" }

    Prop { id: groupList; address: view.room !== "" ? view.room + "/groupList" : "" }
    Param { id: roomTitle; address: view.room !== "" ? view.room + "/roomTitle" : "" }

    // [{title, speakers: [{path, serial}]}] from the room's text lines.
    readonly property var groups: {
        const text = String(groupList.value || "")
        if (text === "")
            return []
        return text.split("\n").map(line => {
            const fields = line.split("\t")
            return {
                title: fields[0],
                speakers: fields.slice(1).map(entry => {
                    const cut = entry.lastIndexOf(";")
                    return { path: entry.substring(0, cut), serial: entry.substring(cut + 1) }
                })
            }
        })
    }

    // A picked speaker that left the room (or the network) is no longer picked.
    onGroupsChanged: {
        if (currentSpeaker === "")
            return
        for (const group of groups)
            for (const speaker of group.speakers)
                if (speaker.path === currentSpeaker)
                    return
        currentSpeaker = ""
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0
        RowLayout {
            Layout.fillWidth: true
            Layout.preferredHeight: 28
            Layout.leftMargin: 12
            Layout.rightMargin: 8
            SectionLabel { text: roomTitle.valid ? roomTitle.text.toUpperCase() : "" }
            Item { Layout.fillWidth: true }
            ParamButton {
                objectName: "viewRoomInspector"
                text: "GROUPS"
                address: view.room !== "" ? view.room + "/viewRoomInspector" : ""
            }
            ParamButton {
                objectName: "viewNetwork"
                text: "BROWSER"
                address: view.room !== "" ? view.room + "/viewNetwork" : ""
            }
        }
        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }

        RoomEditor {
            objectName: "roomEditor"
            Layout.fillWidth: true
            Layout.fillHeight: true
            room: view.room
            currentSpeaker: view.shownSpeaker
            onSpeakerPicked: (path) => view.speakerPicked(path)
            onMasterPicked: view.masterPicked()
        }
    }
}
