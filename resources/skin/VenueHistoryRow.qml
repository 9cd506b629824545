import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// One venue of the start page, bound to its entry ("VenueManager/HistoryList/<file name>"): the
// name (an editor in place while "editVenue" is on), "N Groups", "N Speakers", OPEN, RENAME and
// DELETE, and the delete confirmation while "promptDeleteConfirm" is on. A venue file that cannot
// be read is greyed with "cannot be read": it can only be deleted (opening it is refused with an
// alert that names the file).
Rectangle {
    id: row
    // The entry's component path.
    property string entryPath: ""
    // A venue is being created: its editor's Escape cancels it, a name left as it is opens it.
    property bool creatingVenue: false
    signal opened()
    signal editorOpened()

    readonly property bool editing: Number(editVenue.value) !== 0
    readonly property bool confirming: Number(prompt.value) !== 0
    readonly property bool readable: !readableProp.valid || Number(readableProp.value) !== 0

    objectName: "venueRow:" + name.text
    implicitHeight: 56
    radius: Theme.radius
    color: editing ? Theme.raised : (hover.containsMouse ? Theme.raisedHover : Theme.panel)
    border.color: editing ? Theme.accent : (confirming ? Theme.error : Theme.line)

    Param { id: name; base: row.entryPath; address: "name" }
    Param { id: groups; base: row.entryPath; address: "groups" }
    Param { id: speakers; base: row.entryPath; address: "speakers" }
    Param { id: editVenue; base: row.entryPath; address: "editVenue" }
    Param { id: closeEditor; base: row.entryPath; address: "closeVenueEditor" }
    Param { id: prompt; base: row.entryPath; address: "promptDeleteConfirm" }
    Param { id: load; base: row.entryPath; address: "loadVenue" }
    Param { id: cancelNew; base: row.entryPath; address: "cancelNewVenue" }
    Prop { id: readableProp; base: row.entryPath; address: "readable" }

    function startEditing() {
        nameInput.text = name.text
        nameInput.forceActiveFocus()
        nameInput.selectAll()
        row.editorOpened()
    }
    onEditingChanged: if (editing) Qt.callLater(startEditing)
    Component.onCompleted: if (editing) Qt.callLater(startEditing)

    // Enter: the typed name is the venue's. A new venue whose name is left as it is opens instead,
    // so it can be filled (an empty new venue is not kept).
    function keep() {
        const typed = nameInput.text.trim()
        if (typed !== "" && typed !== name.text) {
            name.setText(typed)
            closeEditor.value = 1
        } else if (row.creatingVenue) {
            load.invoke()
        } else {
            closeEditor.value = 1
        }
    }
    function cancel() {
        if (row.creatingVenue)
            cancelNew.invoke()
        else
            closeEditor.value = 1
    }

    MouseArea {
        id: hover
        anchors.fill: parent
        hoverEnabled: true
        onDoubleClicked: if (!row.editing && !row.confirming) row.opened()
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 8
        spacing: 6

        // The name (or its editor) over the counts (or the delete question).
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Column {
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width
                spacing: 4
                Item {
                    width: parent.width
                    height: 24
                    Text {
                        objectName: "entryName"
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width
                        visible: !row.editing
                        elide: Text.ElideRight
                        text: name.text
                        color: row.readable ? Theme.text : Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontNormal
                        font.bold: true
                    }
                    Rectangle {
                        anchors.fill: parent
                        visible: row.editing
                        radius: Theme.radius
                        color: "#0e0f11"
                        border.color: nameInput.activeFocus ? Theme.accent : Theme.line
                        TextInput {
                            id: nameInput
                            objectName: "nameEditor"
                            anchors.fill: parent
                            anchors.leftMargin: 6
                            anchors.rightMargin: 6
                            verticalAlignment: TextInput.AlignVCenter
                            maximumLength: 100
                            color: Theme.text
                            selectionColor: Theme.accent
                            selectedTextColor: Theme.background
                            font.family: Theme.fontFamily
                            font.pixelSize: Theme.fontNormal
                            clip: true
                            selectByMouse: true
                            Keys.onReturnPressed: row.keep()
                            Keys.onEnterPressed: row.keep()
                            Keys.onEscapePressed: row.cancel()
                        }
                    }
                }
                Row {
                    visible: !row.confirming
                    spacing: 14
                    Text {
                        objectName: "venueGroups"
                        text: groups.text
                        color: row.readable ? Theme.dimmed : Theme.warning
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontSmall
                    }
                    Text {
                        objectName: "venueSpeakers"
                        text: speakers.text
                        color: Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontSmall
                    }
                }
                Text {
                    visible: row.confirming
                    text: qsTr("Delete this venue and its files?")
                    color: Theme.error
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                    font.bold: true
                }
            }
        }

        // Editing: keep or cancel.
        ToolButton {
            objectName: "keepName"
            visible: row.editing
            text: qsTr("OK")
            onClicked: row.keep()
        }
        ToolButton {
            objectName: "cancelName"
            visible: row.editing
            text: qsTr("CANCEL")
            onClicked: row.cancel()
        }

        // The delete confirmation.
        ParamButton {
            objectName: "deleteConfirm"
            visible: row.confirming
            text: qsTr("DELETE")
            command: true
            base: row.entryPath
            address: "deleteVenueConfirm"
        }
        ParamButton {
            objectName: "deleteCancel"
            visible: row.confirming
            text: qsTr("CANCEL")
            command: true
            base: row.entryPath
            address: "deleteVenueCancel"
        }

        // The row's actions.
        ParamButton {
            objectName: "openVenue"
            visible: !row.editing && !row.confirming
            enabled: row.readable
            text: qsTr("OPEN")
            command: true
            base: row.entryPath
            address: "loadVenue"
        }
        ToolButton {
            objectName: "renameVenue"
            visible: !row.editing && !row.confirming
            enabled: row.readable
            text: qsTr("RENAME")
            onClicked: editVenue.value = 1
        }
        ParamButton {
            objectName: "deleteVenue"
            visible: !row.editing && !row.confirming
            text: qsTr("DELETE")
            command: true
            base: row.entryPath
            address: "deleteVenue"
        }
    }
}
