import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import Roomdesk 1.0
import "."

// The speakers found on the network: picture, name, version and host of each; a click selects
// a speaker (the real one winks). "Rescan All" asks the network again and tells how many speakers
// answered; a banner shows the last connection error, and another names the placed speakers that
// left the network until they return ("… back online").
Rectangle {
    id: browser
    color: Theme.panel
    // The component path of the speaker the user picked last ("SpeakerNetwork/<serial>"), or "".
    property string currentSpeaker: ""

    Prop { id: hasItems; address: "://roomdesk/SpeakerNetwork/hasItems" }
    Prop { id: hasErrors; address: "://roomdesk/SpeakerNetwork/hasErrors" }
    Param { id: errorMessage; address: "://roomdesk/SpeakerNetwork/errorMessage" }
    Prop { id: searching; address: "://roomdesk/SpeakerNetwork/searching" }
    Prop { id: rescanMessage; address: "://roomdesk/SpeakerNetwork/rescanMessage" }
    Prop { id: offlineMessage; address: "://roomdesk/VenueManager/activeVenue/offlineMessage" }
    Prop { id: offlineState; address: "://roomdesk/VenueManager/activeVenue/offlineState" }
    readonly property string offline: offlineState.valid ? String(offlineState.value || "") : ""

    ItemList {
        id: speakers
        address: "://roomdesk/SpeakerNetwork/NetworkList"
        onCountChanged: {
            if (browser.currentSpeaker !== "" && speakers.indexOfPath(browser.currentSpeaker) < 0)
                browser.currentSpeaker = ""
        }
    }

    DragSource { id: dragSource }
    // A drag broken off (Escape, the window lost the mouse) places nothing.
    function cancelDrag() {
        ghost.cancel()
        dragSource.cancel()
    }
    Shortcut {
        sequence: "Escape"
        enabled: ghost.active
        onActivated: browser.cancelDrag()
    }
    SpeakerDragGhost { id: ghost; width: Skin.metric("speakerWidth", 142); height: Skin.metric("speakerHeight", 176) }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        PanelHeader { Layout.fillWidth: true; text: "SPEAKERS  " + (speakers.count > 0 ? "(" + speakers.count + ")" : "") }

        // Connection problems, until the next rescan.
        Rectangle {
            Layout.fillWidth: true
            visible: Number(hasErrors.value) !== 0
            implicitHeight: visible ? bannerText.implicitHeight + 16 : 0
            color: "#3a1d1b"
            border.color: Theme.error
            Text {
                id: bannerText
                anchors.fill: parent
                anchors.margins: 8
                text: errorMessage.text
                wrapMode: Text.WordWrap
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
        }

        // Placed speakers that left the network, until they return; then who came back.
        Rectangle {
            objectName: "offlineBanner"
            Layout.fillWidth: true
            visible: browser.offline !== ""
            implicitHeight: visible ? offlineText.implicitHeight + 16 : 0
            color: browser.offline === "offline" ? "#3a1d1b" : "#1c3321"
            border.color: browser.offline === "offline" ? Theme.error : Theme.good
            Text {
                id: offlineText
                objectName: "offlineBannerText"
                anchors.fill: parent
                anchors.margins: 8
                text: String(offlineMessage.value || "")
                wrapMode: Text.WordWrap
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
        }

        ListView {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: speakers
            spacing: 1
            delegate: SpeakerRow {
                id: speakerRow
                objectName: "speakerRow" + index
                width: list.width
                itemPath: path
                current: browser.currentSpeaker === path
                onClicked: (extend) => {
                    speakers.click(index, extend)
                    browser.currentSpeaker = path
                }
                onOpened: speakers.open(index)
                // Dragging a speaker onto the floor plan places it (not while the room is locked).
                onDragMoved: (x, y, pressX, pressY) => {
                    if (!dragged) {
                        if (Math.abs(x - pressX) + Math.abs(y - pressY) < 6 || !speakers.canDrag(index))
                            return
                        const hotX = ghost.width / 2, hotY = ghost.height / 2
                        if (!dragSource.start([path], { kind: "speaker", hotX: hotX, hotY: hotY }, icon))
                            return
                        dragged = true
                        ghost.begin(modelName, speakerRow, x, y, hotX, hotY)
                    }
                    ghost.moveTo(speakerRow, x, y)
                }
                onDragReleased: {
                    ghost.drop()
                    dragSource.endNowhere()
                }
                onDragCancelled: browser.cancelDrag()
            }

            Column {
                anchors.centerIn: parent
                spacing: 6
                visible: speakers.count === 0
                // Speakers found but none listed: every one of them stands in the venue already.
                readonly property bool allPlaced: hasItems.valid && Number(hasItems.value) !== 0
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: parent.allPlaced ? qsTr("Every speaker found is placed") : qsTr("Searching the network…")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontNormal
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: parent.allPlaced ? qsTr("New speakers appear here as they are found.")
                                           : qsTr("Speakers appear here as they are found.")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 44
            color: Theme.panel
            Rectangle { width: parent.width; height: 1; color: Theme.line }
            ParamButton {
                id: rescanAll
                objectName: "rescanAll"
                anchors.verticalCenter: parent.verticalCenter
                anchors.left: parent.left
                anchors.leftMargin: 10
                text: "RESCAN ALL"
                command: true
                address: "://roomdesk/SpeakerNetwork/rescanAll"
                checked: Number(searching.value || 0) !== 0
            }
            // While the search runs it says so; then how many speakers answered.
            Text {
                id: rescanStatus
                objectName: "rescanStatus"
                anchors.verticalCenter: parent.verticalCenter
                anchors.left: rescanAll.right
                anchors.leftMargin: 8
                anchors.right: parent.right
                anchors.rightMargin: 8
                elide: Text.ElideRight
                text: String(rescanMessage.value || "")
                color: Number(searching.value || 0) !== 0 ? Theme.accent : Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
                SequentialAnimation on opacity {
                    running: Number(searching.value || 0) !== 0
                    loops: Animation.Infinite
                    onRunningChanged: if (!running) rescanStatus.opacity = 1
                    NumberAnimation { from: 1; to: 0.35; duration: 600 }
                    NumberAnimation { from: 0.35; to: 1; duration: 600 }
                }
            }
        }
    }
}
