import QtQuick
import QtQuick.Controls.Basic as Controls
import QtQuick.Layouts
import Tessel 1.0
import "."

// The strip across the top: the product mark, the open venue with its room tabs, and the controls
// that act on every speaker of the active room (volume steps and wheel, the loudest speaker's
// level, mute all, lock), then the switch of the Wi-Fi network setup. Below it, while a venue is
// shown, the room's state line: the mode label, then SOLO (naming the speaker), LOCKED, MUTED ALL
// and the speakers that went offline. However many rooms there are, the room controls and NETWORK
// SETUP keep their place: the tabs shrink down to Theme.minTabWidth, then scroll (arrows, wheel),
// always showing the active room.
Rectangle {
    id: bar
    implicitHeight: Theme.topBarHeight + (bar.live ? Theme.stateLineHeight : 0)
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
    Param { id: muteAll; address: bar.at("muteAll") }
    Param { id: locked; address: bar.at("locked") }
    Prop { id: roomEmpty; address: bar.at("roomempty") }
    Prop { id: soloSpeaker; address: bar.at("soloSpeaker") }
    Prop { id: offlineSpeakers; address: bar.at("offlineSpeakers") }
    Prop { id: offlineCount; address: bar.at("offlineCount") }

    // Wheel positions per notch of a mouse wheel: the room steps by position / -1000, so a notch is
    // 0.5 dB, the gain grid of every other control.
    readonly property int wheelNotch: 500

    RowLayout {
        id: mainRow
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: Theme.topBarHeight
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
            Layout.maximumWidth: 100
            elide: Text.ElideRight
            text: !bar.live ? qsTr("Venues") : (venueName.text !== "" ? venueName.text : qsTr("Unnamed venue"))
            color: bar.live ? Theme.text : Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
            font.bold: bar.live
        }

        // Room tabs: a click activates the room, a double click edits its title in place (Enter
        // keeps, Escape cancels), the cross closes it (asking first when it holds speakers), "+"
        // adds one. A red badge counts the room's speakers that went offline.
        Item {
            id: strip
            objectName: "roomTabs"
            visible: bar.live
            Layout.fillWidth: true
            Layout.minimumWidth: Theme.minTabWidth + 2 * arrowWidth + 34
            implicitHeight: 28
            readonly property int arrowWidth: 22
            readonly property int count: tabs.count
            // More rooms than fit at the smallest tab width: the arrows show and the tabs scroll.
            readonly property bool overflowing:
                count * Theme.minTabWidth + Math.max(0, count - 1) * tabs.spacing > width - newRoom.width - 4
            function scrollBy(pixels) {
                const last = tabs.originX + Math.max(0, tabs.contentWidth - tabs.width)
                tabs.contentX = Math.max(tabs.originX, Math.min(last, tabs.contentX + pixels))
            }
            function showActive() { showTab(tabs.activeIndex) }
            // Scrolls the least that brings the tab at `index` wholly into view.
            function showTab(index) {
                if (index < 0 || index >= tabs.count)
                    return
                tabs.forceLayout()
                const tab = tabs.itemAtIndex(index)
                if (!tab) {
                    tabs.positionViewAtIndex(index, ListView.Contain)
                    return
                }
                if (tab.x < tabs.contentX)
                    tabs.contentX = tab.x
                else if (tab.x + tab.width > tabs.contentX + tabs.width)
                    tabs.contentX = tab.x + tab.width - tabs.width
            }

            ToolButton {
                id: leftArrow
                objectName: "tabsLeft"
                visible: strip.overflowing
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                implicitWidth: strip.arrowWidth
                text: "\u2039"
                enabled: tabs.contentX > tabs.originX + 0.5
                onClicked: strip.scrollBy(-(Theme.minTabWidth + tabs.spacing))
            }
            ListView {
                id: tabs
                objectName: "tabList"
                anchors.left: strip.overflowing ? leftArrow.right : parent.left
                anchors.leftMargin: strip.overflowing ? 2 : 0
                anchors.verticalCenter: parent.verticalCenter
                // As wide as the tabs need, up to what the strip has.
                width: Math.min(contentWidth,
                                strip.width - newRoom.width - 4 - (strip.overflowing ? 2 * strip.arrowWidth + 4 : 0))
                height: 28
                orientation: ListView.Horizontal
                spacing: 2
                clip: true
                interactive: false
                boundsBehavior: Flickable.StopAtBounds
                // Delegates for every tab: a room's badge and its title stay live while scrolled away.
                cacheBuffer: 4000
                model: bar.live ? roomList.entries : []
                readonly property int activeIndex: Number(roomList.value)
                // The active tab keeps the width its title needs; the others share what is left.
                readonly property real activeWidth: {
                    const tab = itemAtIndex(activeIndex)
                    return tab ? Math.max(Theme.minTabWidth, Math.min(Theme.maxTabWidth, tab.natural)) : Theme.minTabWidth
                }
                readonly property real share: count > 1
                    ? (strip.width - newRoom.width - 4 - activeWidth - (count - 1) * spacing) / (count - 1) : strip.width
                onActiveIndexChanged: Qt.callLater(strip.showActive)
                onCountChanged: Qt.callLater(strip.showActive)
                onWidthChanged: Qt.callLater(strip.showActive)
                onActiveWidthChanged: Qt.callLater(strip.showActive)
                onShareChanged: Qt.callLater(strip.showActive)
                // Any tab that settles its width (a title laid out late, a badge) moves the ones after it.
                onContentWidthChanged: Qt.callLater(strip.showActive)

                delegate: Rectangle {
                    id: tab
                    objectName: "roomTab" + index
                    readonly property bool active: Number(roomList.value) === index
                    property bool renaming: false
                    readonly property int offline: offlineOfRoom.valid ? Number(offlineOfRoom.value) : 0
                    readonly property real natural: tabText.implicitWidth + 30 + (badge.visible ? badge.width + 4 : 0)
                    width: renaming ? 150
                           : Math.max(Theme.minTabWidth, Math.min(Theme.maxTabWidth, natural, active ? Theme.maxTabWidth : tabs.share))
                    height: 28
                    radius: Theme.radius
                    color: renaming ? "#0e0f11" : (active ? Theme.raisedHover : Theme.raised)
                    border.color: active || renaming ? Theme.accent : (bar.pendingClose === index ? Theme.error : Theme.line)
                    Prop { id: offlineOfRoom; address: bar.venue + "/room[" + index + "]/offlineCount" }

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
                        anchors.right: badge.visible ? badge.left : cross.left
                        anchors.rightMargin: 2
                        anchors.verticalCenter: parent.verticalCenter
                        visible: !tab.renaming
                        elide: Text.ElideRight
                        text: modelData
                        color: parent.active ? Theme.text : Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontSmall
                    }
                    // The count of the room's speakers that left the network.
                    Rectangle {
                        id: badge
                        objectName: "offlineBadge"
                        visible: tab.offline > 0 && !tab.renaming
                        anchors.right: cross.left
                        anchors.rightMargin: 3
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.max(16, badgeText.implicitWidth + 8)
                        height: 16
                        radius: 8
                        color: Theme.error
                        Text {
                            id: badgeText
                            objectName: "offlineBadgeText"
                            anchors.centerIn: parent
                            text: tab.offline
                            color: "white"
                            font.family: Theme.fontFamily
                            font.pixelSize: 10
                            font.bold: true
                        }
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
            // The mouse wheel over the tabs scrolls them (either wheel axis); clicks pass through.
            MouseArea {
                anchors.fill: tabs
                acceptedButtons: Qt.NoButton
                onWheel: (wheel) => {
                    const delta = wheel.angleDelta.x !== 0 ? wheel.angleDelta.x : wheel.angleDelta.y
                    if (strip.overflowing)
                        strip.scrollBy(-delta / 120 * (Theme.minTabWidth + tabs.spacing))
                }
            }
            ToolButton {
                id: rightArrow
                objectName: "tabsRight"
                visible: strip.overflowing
                anchors.left: tabs.right
                anchors.leftMargin: 2
                anchors.verticalCenter: parent.verticalCenter
                implicitWidth: strip.arrowWidth
                text: "\u203a"
                enabled: tabs.contentX < tabs.originX + tabs.contentWidth - tabs.width - 0.5
                onClicked: strip.scrollBy(Theme.minTabWidth + tabs.spacing)
            }
            ParamButton {
                id: newRoom
                objectName: "newRoom"
                anchors.left: strip.overflowing ? rightArrow.right : tabs.right
                anchors.leftMargin: 2
                anchors.verticalCenter: parent.verticalCenter
                text: "+"
                implicitWidth: 28
                command: true
                address: bar.live ? bar.venue + "/newRoom" : ""
            }
        }
        Item { visible: !bar.live; Layout.fillWidth: true }

        ParamButton {
            objectName: "roomVolumeDown"
            text: "VOL \u2212"
            command: true
            address: bar.at("roomVolumeDown")
        }
        // The volume wheel: drag sideways or turn the mouse wheel (one notch is 0.5 dB); up and
        // right is louder.
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
                onWheel: (wheel) => { scroll.value = Number(scroll.value) - Math.round(wheel.angleDelta.y / 120 * bar.wheelNotch) }
            }
        }
        ParamButton {
            objectName: "roomVolumeUp"
            text: "VOL +"
            command: true
            address: bar.at("roomVolumeUp")
        }
        // The loudest speaker of the room, as a bar and as its value.
        Column {
            spacing: 2
            Layout.preferredWidth: 56
            Rectangle {
                objectName: "roomMeter"
                width: 56; height: 8
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
            Text {
                objectName: "roomVolumeText"
                width: 56
                horizontalAlignment: Text.AlignHCenter
                text: bar.live && maxVolume.valid && roomEmpty.valid && !roomEmpty.value ? maxVolume.text : "\u2013"
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
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
        ParamButton {
            objectName: "networkSetup"
            text: "NETWORK SETUP"
            address: "://roomdesk/VenueManager/showNetwork"
        }
    }

    // The room's state at a glance: the mode label, then what holds the room.
    Rectangle {
        objectName: "stateLine"
        visible: bar.live
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: mainRow.bottom
        height: Theme.stateLineHeight
        color: "#1b1c20"
        Rectangle { width: parent.width; height: 1; color: Theme.line }
        Row {
            anchors.left: parent.left
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 8
            Text {
                objectName: "roomLabel"
                anchors.verticalCenter: parent.verticalCenter
                text: bar.live ? roomLabel.text : ""
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            StateChip {
                objectName: "stateSolo"
                shown: bar.live && soloSpeaker.valid && String(soloSpeaker.value || "") !== ""
                text: "SOLO " + String(soloSpeaker.value || "")
                tint: Theme.accent
            }
            StateChip {
                objectName: "stateLocked"
                shown: bar.live && Number(locked.value) !== 0
                text: "LOCKED"
                tint: Theme.warning
            }
            StateChip {
                objectName: "stateMutedAll"
                shown: bar.live && Number(muteAll.value) !== 0
                text: "MUTED ALL"
                tint: Theme.error
            }
            StateChip {
                objectName: "stateOffline"
                shown: bar.live && offlineCount.valid && Number(offlineCount.value) > 0
                text: Number(offlineCount.value) + " OFFLINE: " + String(offlineSpeakers.value || "")
                tint: Theme.error
            }
        }
    }
    Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.line }

    component StateChip: Rectangle {
        property bool shown: false
        property alias text: chipText.text
        property color tint: Theme.accent
        visible: shown
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
        width: chipText.implicitWidth + 12
        height: 16
        radius: 3
        color: "transparent"
        border.color: tint
        Text {
            id: chipText
            anchors.centerIn: parent
            color: parent.tint
            font.family: Theme.fontFamily
            font.pixelSize: 10
            font.bold: true
        }
    }

    // The close question, under the tab of its room. CLOSE ROOM closes it; KEEP, Escape or a click
    // elsewhere keeps it.
    Controls.Popup {
        id: closeQuestionPopup
        objectName: "closeRoomQuestion"
        padding: 10
        focus: true
        closePolicy: Controls.Popup.CloseOnEscape | Controls.Popup.CloseOnPressOutside
        function show() {
            strip.showTab(bar.pendingClose)
            const tab = tabs.itemAtIndex(bar.pendingClose)
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
