import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The centre while a venue is shown: the active room's groups and their speakers as a plain list.
// A click on a speaker that is on the network picks it for the inspector.
Rectangle {
    id: view
    color: Theme.background
    // The active room's component path (from the top bar), or "".
    property string room: ""
    // The component path of the speaker picked last, or "".
    property string currentSpeaker: ""
    signal speakerPicked(string path)
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
                objectName: "viewNetwork"
                text: "BROWSER"
                address: view.room !== "" ? view.room + "/viewNetwork" : ""
            }
        }
        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }

        Flickable {
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentHeight: column.implicitHeight + 24
            clip: true
            Column {
                id: column
                x: 16; y: 12
                width: parent.width - 32
                spacing: 14
                Repeater {
                    model: view.groups
                    Column {
                        width: column.width
                        spacing: 4
                        readonly property var group: modelData
                        SectionLabel { text: group.title.toUpperCase() + "  (" + group.speakers.length + ")" }
                        Text {
                            visible: group.speakers.length === 0
                            text: qsTr("No speakers placed in this group")
                            color: Theme.dimmed
                            font.family: Theme.fontFamily
                            font.pixelSize: Theme.fontSmall
                        }
                        Repeater {
                            model: group.speakers
                            VenueSpeakerRow {
                                width: column.width
                                itemPath: modelData.path
                                serial: modelData.serial
                                current: modelData.path !== "" && view.currentSpeaker === modelData.path
                                onClicked: if (modelData.path !== "") view.speakerPicked(modelData.path)
                            }
                        }
                    }
                }
            }
        }
    }
}
