import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The room inspector ("Group Edit"): the active room's title and its groups as the user makes
// them. A click on a group picks it; its name (named groups only) and type can then be changed, or
// the group removed (its speakers go back to the network browser; a group holding speakers asks
// first). New groups are "Subs", "Mids", "Tops" or a named one: the name field adds it on Enter as
// ADD NAMED does, and is empty again for the next one.
Rectangle {
    id: inspector
    color: Theme.panel
    // The active room's component path.
    property string room: ""
    readonly property string groupsPath: "://roomdesk/VenueManager/activeVenue/RoomEditView/Groups"
    property bool confirming: false

    Prop { id: lines; address: inspector.groupsPath + "/groupLines" }
    Prop { id: selectedCount; address: inspector.groupsPath + "/selectedCount" }
    Param { id: selected; address: inspector.groupsPath + "/selectedGroup" }
    Param { id: addGroup; address: inspector.groupsPath + "/addGroup" }
    Param { id: newName; address: inspector.groupsPath + "/newGroupName" }
    Param { id: removeGroup; address: inspector.groupsPath + "/removeGroup" }
    Param { id: closeInspector; address: inspector.room !== "" ? inspector.room + "/viewRoomInspector" : "" }

    // A named group from the name field: what is typed is kept first (a click on ADD NAMED leaves
    // the keyboard in the field), then the field is emptied for the next group.
    function addNamedGroup() {
        newGroupEdit.keep()
        addGroup.value = 4
        newName.setText("")
    }

    // [{type, title, count}]
    readonly property var groups: {
        const text = String(lines.value || "")
        if (text === "")
            return []
        return text.split("\n").map(line => {
            const fields = line.split("\t")
            return { type: Number(fields[0]), title: fields[1], count: Number(fields[2]) }
        })
    }
    readonly property int current: selected.valid ? Number(selected.value) : -1
    onCurrentChanged: confirming = false

    ColumnLayout {
        anchors.fill: parent
        spacing: 0
        PanelHeader { Layout.fillWidth: true; text: "GROUP EDIT" }

        // The room's title, as its tab shows it (a double click on the tab edits it too).
        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.topMargin: 12
            spacing: 4
            SectionLabel { text: "ROOM" }
            Rectangle {
                Layout.fillWidth: true
                implicitHeight: 28
                radius: Theme.radius
                color: Theme.raised
                border.color: Theme.line
                ParamTextEdit {
                    objectName: "roomTitle"
                    anchors.fill: parent
                    anchors.leftMargin: 8
                    anchors.rightMargin: 8
                    address: inspector.room !== "" ? inspector.room + "/roomTitle" : ""
                    allowEmpty: false
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.margins: 12
            spacing: 4
            SectionLabel { text: "GROUPS OF THE ROOM" }
            Repeater {
                model: inspector.groups
                Rectangle {
                    objectName: "groupRow" + index
                    Layout.fillWidth: true
                    implicitHeight: 34
                    radius: Theme.radius
                    color: index === inspector.current ? "#262a31" : (rowArea.containsMouse ? Theme.raised : "transparent")
                    border.color: index === inspector.current ? Theme.accent : Theme.line
                    Image {
                        x: 10; anchors.verticalCenter: parent.verticalCenter
                        width: 14; height: 14
                        source: Skin.image("groupNode")
                    }
                    Text {
                        x: 32; anchors.verticalCenter: parent.verticalCenter
                        text: modelData.title
                        color: Theme.text
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontNormal
                        font.bold: index === inspector.current
                    }
                    Text {
                        anchors.right: parent.right; anchors.rightMargin: 10
                        anchors.verticalCenter: parent.verticalCenter
                        text: modelData.count === 1 ? "1 speaker" : modelData.count + " speakers"
                        color: Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontSmall
                    }
                    MouseArea { id: rowArea; anchors.fill: parent; hoverEnabled: true; onClicked: selected.value = index }
                }
            }
            Text {
                visible: inspector.groups.length === 0
                text: qsTr("No groups: a speaker dragged onto the plan makes one.")
                wrapMode: Text.WordWrap
                Layout.fillWidth: true
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
        }

        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }

        // The picked group.
        ColumnLayout {
            Layout.fillWidth: true
            Layout.margins: 12
            spacing: 6
            visible: inspector.current >= 0 && inspector.current < inspector.groups.length
            SectionLabel { text: "SELECTED GROUP" }
            RowLayout {
                Layout.fillWidth: true
                Text {
                    text: qsTr("Name")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                    Layout.preferredWidth: 44
                }
                Rectangle {
                    Layout.fillWidth: true
                    implicitHeight: 28
                    radius: Theme.radius
                    color: Theme.raised
                    border.color: Theme.line
                    opacity: nameParam.enabled ? 1 : 0.5
                    Param { id: nameParam; address: inspector.groupsPath + "/groupName" }
                    ParamTextEdit {
                        objectName: "groupName"
                        anchors.fill: parent
                        anchors.leftMargin: 8
                        address: inspector.groupsPath + "/groupName"
                        enabled: nameParam.enabled
                    }
                }
            }
            Text {
                text: qsTr("Type")
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            ParamChoice { objectName: "groupType"; address: inspector.groupsPath + "/groupType" }
            RowLayout {
                Layout.topMargin: 6
                spacing: 6
                ToolButton {
                    objectName: "removeGroup"
                    text: inspector.confirming ? "REALLY REMOVE" : "REMOVE GROUP"
                    checked: inspector.confirming
                    checkedColor: Theme.error
                    onClicked: {
                        if (!inspector.confirming && Number(selectedCount.value) > 0) {
                            inspector.confirming = true
                            return
                        }
                        inspector.confirming = false
                        removeGroup.value = 1
                    }
                }
                ToolButton {
                    visible: inspector.confirming
                    text: "KEEP"
                    onClicked: inspector.confirming = false
                }
            }
            Text {
                visible: inspector.confirming
                Layout.fillWidth: true
                wrapMode: Text.WordWrap
                text: Number(selectedCount.value) === 1
                      ? qsTr("Its speaker leaves the room and goes back to the browser.")
                      : qsTr("Its %1 speakers leave the room and go back to the browser.").arg(Number(selectedCount.value))
                color: Theme.warning
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
        }

        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.margins: 12
            spacing: 6
            SectionLabel { text: "ADD A GROUP" }
            Row {
                spacing: 4
                Repeater {
                    model: ["SUBS", "MIDS", "TOPS"]
                    ToolButton {
                        objectName: "add" + modelData
                        text: modelData
                        onClicked: addGroup.value = index + 1
                    }
                }
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 4
                Rectangle {
                    Layout.fillWidth: true
                    implicitHeight: 28
                    radius: Theme.radius
                    color: Theme.raised
                    border.color: Theme.line
                    ParamTextEdit {
                        id: newGroupEdit
                        objectName: "newGroupName"
                        anchors.fill: parent
                        anchors.leftMargin: 8
                        address: inspector.groupsPath + "/newGroupName"
                        placeholder: qsTr("Name of a new group")
                        onAccepted: if (newName.text.trim() !== "") inspector.addNamedGroup()
                    }
                }
                ToolButton {
                    objectName: "addNamed"
                    text: "ADD NAMED"
                    onClicked: inspector.addNamedGroup()
                }
            }
        }

        Item { Layout.fillHeight: true }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 44
            color: Theme.panel
            Rectangle { width: parent.width; height: 1; color: Theme.line }
            ToolButton {
                anchors.verticalCenter: parent.verticalCenter
                anchors.right: parent.right
                anchors.rightMargin: 10
                text: "DONE"
                onClicked: closeInspector.value = 0
            }
        }
    }
}
