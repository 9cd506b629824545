import QtQuick
import QtQuick.Controls.Basic as Controls
import QtQuick.Layouts
import Tessel 1.0
import "."

// The strip across the top: the product mark, the open venue with its room tabs, and the controls
// that act on every speaker of the active room (volume steps and wheel, the loudest speaker's
// level, mute all, lock, the mode label), then the switch of the Wi-Fi network setup.
Rectangle {
    id: bar
    implicitHeight: Theme.topBarHeight
    color: Theme.panel

    readonly property string venue: "://roomdesk/VenueManager/activeVenue"
    Prop { id: hasRooms; address: bar.venue + "/hasRooms" }
    Prop { id: activeRoomID; address: bar.venue + "/activeRoomID" }
    Param { id: showVenue; address: "://roomdesk/VenueManager/showVenue" }
    Param { id: venueName; address: bar.venue + "/venueName" }
    Param { id: roomList; address: bar.venue + "/roomList" }
    // The close question of a room that holds speakers: the room's index (-1: none) and its text.
    Prop { id: closePending; address: bar.venue + "/closeRoomPending" }
    Param { id: closeQuestion; address: bar.venue + "/closeRoomQuestion" }
    Param { id: closeConfirm; address: bar.venue + "/closeRoomConfirm" }
    Param { id: closeCancel; address: bar.venue + "/closeRoomCancel" }
    readonly property int pendingClose: bar.live && closePending.valid ? Number(closePending.value) : -1
    onPendingCloseChanged: pendingClose >= 0 ? closeQuestionPopup.show() : closeQuestionPopup.close()

    // Renames the room at `index` (after the key handler of its tab has returned: the new title
    // makes the tabs anew).
    function renameRoom(index, title) {
        const param = roomTitleAt.createObject(bar, { address: bar.venue + "/room[" + index + "]/roomTitle" })
        if (param.valid && title !== param.text)
            param.setText(title)
        param.destroy()
    }
    Component { id: roomTitleAt; Param {} }

    // The active room's component path, "" while there is none (the bindings then rest). The room
    // is named by its identifier, so the bindings follow a switch of rooms.
    readonly property bool live: Number(showVenue.value) !== 0 && Number(hasRooms.value) !== 0
                                 && String(activeRoomID.value || "") !== ""
    readonly property string room: live ? bar.venue + "/" + activeRoomID.value : ""
    function at(name) { return room !== "" ? room + "/" + name : "" }

    Param { id: maxVolume; address: bar.at("maxVolume") }
    Param { id: roomLabel; address: bar.at("roomLabel") }
    Param { id: scroll; address: bar.at("VolumeWheel/scrollParam") }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 8
        spacing: 6

        // The product mark on the start page; in its place while a venue is shown, the way back.
        Text {
            visible: !bar.live
            text: Skin.expand("$APPNAME").toUpperCase()
            color: Theme.accent
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontLarge
            font.bold: true
            font.letterSpacing: 2
        }
        // Back to the start page; the venue is kept (or, still empty, dropped) on the way.
        ToolButton {
            objectName: "backToVenues"
            visible: bar.live
            text: "\u2039 VENUES"
            implicitWidth: 74
            onClicked: showVenue.value = 0
        }
        Rectangle { width: 1; height: 24; color: Theme.line }
        Text {
            objectName: "venueName"
            Layout.maximumWidth: 110
            elide: Text.ElideRight
            text: !bar.live ? qsTr("Venues") : (venueName.text !== "" ? venueName.text : qsTr("Unnamed venue"))
            color: bar.live ? Theme.text : Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
            font.bold: bar.live
        }

        // Room tabs: a click activates the room, a double click edits its title in place (Enter
        // keeps, Escape cancels), the cross closes it (asking first when it holds speakers), "+"
        // adds one.
        Row {
            objectName: "roomTabs"
            visible: bar.live
            spacing: 2
            Repeater {
                id: tabs
                model: bar.live ? roomList.entries : []
                Rectangle {
                    id: tab
                    objectName: "roomTab" + index
                    readonly property bool active: Number(roomList.value) === index
                    property bool renaming: false
                    width: renaming ? 150 : Math.min(100, tabText.implicitWidth + 30)
                    height: 28
                    radius: Theme.radius
                    color: renaming ? "#0e0f11" : (active ? Theme.raisedHover : Theme.raised)
                    border.color: active || renaming ? Theme.accent : (bar.pendingClose === index ? Theme.error : Theme.line)

                    function startRenaming() {
                        titleInput.text = modelData
                        renaming = true
                        titleInput.forceActiveFocus()
                        titleInput.selectAll()
                    }
                    function keepTitle() {
                        if (!renaming)
                            return
                        renaming = false
                        const typed = titleInput.text.trim()
                        if (typed !== "" && typed !== modelData)
                            Qt.callLater(bar.renameRoom, index, typed)
                    }

                    MouseArea {
                        anchors.fill: parent
                        onClicked: roomList.value = index
                        onDoubleClicked: tab.startRenaming()
                    }
                    Text {
                        id: tabText
                        anchors.left: parent.left
                        anchors.leftMargin: 8
                        anchors.right: cross.left
                        anchors.verticalCenter: parent.verticalCenter
                        visible: !tab.renaming
                        elide: Text.ElideRight
                        text: modelData
                        color: parent.active ? Theme.text : Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontSmall
                    }
                    TextInput {
                        id: titleInput
                        objectName: "titleEditor"
                        anchors.left: parent.left
                        anchors.leftMargin: 8
                        anchors.right: cross.left
                        anchors.rightMargin: 4
                        anchors.verticalCenter: parent.verticalCenter
                        visible: tab.renaming
                        maximumLength: 63
                        clip: true
                        color: Theme.text
                        selectionColor: Theme.accent
                        selectedTextColor: Theme.background
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontSmall
                        selectByMouse: true
                        Keys.onReturnPressed: tab.keepTitle()
                        Keys.onEnterPressed: tab.keepTitle()
                        Keys.onEscapePressed: tab.renaming = false
                        // A click elsewhere keeps what was typed, as Enter does.
                        onActiveFocusChanged: if (!activeFocus) tab.keepTitle()
                    }
                    Text {
                        id: cross
                        objectName: "closeRoom" + index
                        anchors.right: parent.right
                        anchors.rightMargin: 6
                        anchors.verticalCenter: parent.verticalCenter
                        text: "\u00d7"
                        color: crossArea.containsMouse ? Theme.error : Theme.dimmed
                        font.pixelSize: Theme.fontLarge
                        Param { id: closeEntry; address: bar.venue + "/closeRoom[" + index + "]" }
                        MouseArea {
                            id: crossArea
                            anchors.fill: parent
                            anchors.margins: -3
                            hoverEnabled: true
                            onClicked: closeEntry.invoke()
                        }
                    }
                }
            }
            ParamButton {
                objectName: "newRoom"
                text: "+"
                implicitWidth: 28
                command: true
                address: bar.live ? bar.venue + "/newRoom" : ""
            }
        }
        Item { Layout.fillWidth: true }

        ParamButton {
            objectName: "roomVolumeDown"
            text: "VOL \u2212"
            command: true
            address: bar.at("roomVolumeDown")
        }
        // The volume wheel: drag sideways or turn the mouse wheel; up and right is louder.
        Rectangle {
            objectName: "volumeWheel"
            width: 44; height: 28
            radius: Theme.radius
            color: "#0e0f11"
            border.color: wheelArea.pressed ? Theme.accent : Theme.line
            opacity: scroll.valid ? 1.0 : 0.45
            clip: true
            Repeater {
                model: 9
                Rectangle {
                    width: 1; height: 18
                    anchors.verticalCenter: parent.verticalCenter
                    x: ((index * 5 - Number(scroll.value || 0) / 40) % 44 + 44) % 44
                    color: Theme.dimmed
                }
            }
            MouseArea {
                id: wheelArea
                anchors.fill: parent
                enabled: scroll.valid
                property real lastX: 0
                onPressed: (mouse) => { lastX = mouse.x; scroll.beginEdit() }
                onPositionChanged: (mouse) => {
                    scroll.value = Number(scroll.value) - Math.round((mouse.x - lastX) * 25)
                    lastX = mouse.x
                }
                onReleased: scroll.endEdit()
                onCanceled: scroll.endEdit()
                onWheel: (wheel) => { scroll.value = Number(scroll.value) - Math.round(wheel.angleDelta.y / 120 * 500) }
            }
        }
        ParamButton {
            objectName: "roomVolumeUp"
            text: "VOL +"
            command: true
            address: bar.at("roomVolumeUp")
        }
        // The loudest speaker of the room.
        Rectangle {
            objectName: "roomMeter"
            width: 40; height: 10
            radius: 2
            color: "#0e0f11"
            border.color: Theme.line
            Rectangle {
                x: 1; y: 1
                height: parent.height - 2
                width: (parent.width - 2) * Math.max(0, Math.min(1, maxVolume.valid && bar.live ? maxVolume.normalized : 0))
                color: maxVolume.normalized > 0.9 ? Theme.warning : Theme.good
                radius: 1
            }
        }
        ParamButton {
            objectName: "muteAll"
            text: "MUTE ALL"
            textOn: "ALL MUTED"
            checkedColor: Theme.error
            address: bar.at("muteAll")
        }
        ParamButton {
            objectName: "locked"
            text: "LOCK"
            textOn: "LOCKED"
            checkedColor: Theme.warning
            address: bar.at("locked")
        }
        Text {
            objectName: "roomLabel"
            Layout.preferredWidth: 74
            horizontalAlignment: Text.AlignHCenter
            text: bar.live ? roomLabel.text : ""
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        ParamButton {
            objectName: "networkSetup"
            text: "NETWORK SETUP"
            address: "://roomdesk/VenueManager/showNetwork"
        }
    }
    Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.line }

    // The close question, under the tab of its room. CLOSE ROOM closes it; KEEP, Escape or a click
    // elsewhere keeps it.
    Controls.Popup {
        id: closeQuestionPopup
        objectName: "closeRoomQuestion"
        padding: 10
        focus: true
        closePolicy: Controls.Popup.CloseOnEscape | Controls.Popup.CloseOnPressOutside
        function show() {
            const tab = tabs.itemAt(bar.pendingClose)
            const at = tab ? tab.mapToItem(bar, 0, tab.height + 4) : Qt.point(0, bar.height)
            x = Math.max(4, Math.min(at.x, bar.width - implicitWidth - 4))
            y = at.y
            open()
        }
        onClosed: if (bar.pendingClose >= 0) closeCancel.invoke()
        background: Rectangle {
            color: Theme.raised
            border.color: Theme.error
            radius: Theme.radius
        }
        contentItem: Column {
            spacing: 8
            Text {
                objectName: "closeQuestionText"
                text: closeQuestion.text
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
            Row {
                spacing: 6
                ToolButton {
                    objectName: "closeRoomConfirm"
                    text: "CLOSE ROOM"
                    checked: true
                    checkedColor: Theme.error
                    onClicked: closeConfirm.invoke()
                }
                ToolButton {
                    objectName: "closeRoomCancel"
                    text: "KEEP"
                    onClicked: closeQuestionPopup.close()
                }
            }
        }
    }
}
