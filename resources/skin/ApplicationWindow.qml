import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tessel 1.0
import "."

// The main window of roomdesk: top bar, network browser on the left, the
// venue (or the start page) in the centre, the inspector on the right. It opens at the design size
// (the smallest it gets) or where the user left it; the centre and the inspector take what it grows.
ApplicationWindow {
    id: window
    title: Skin.expand("$APPNAME")
    width: Theme.windowWidth
    height: Theme.windowHeight
    minimumWidth: Theme.windowWidth
    minimumHeight: Theme.windowHeight
    // The size and position of the last run, when they still fit a screen.
    WindowGeometry { id: geometry; objectName: "windowGeometry" }
    Component.onCompleted: geometry.window = window
    color: Theme.background
    visible: true

    font.family: Theme.fontFamily
    font.pixelSize: Theme.fontNormal

    menuBar: SkinMenuBar {}

    header: TopBar { id: topBar }

    RowLayout {
        anchors.fill: parent
        spacing: 1

        NetworkBrowser {
            id: browser
            visible: venueView.browserShown
            Layout.preferredWidth: Theme.leftColumnWidth
            Layout.fillHeight: true
            onCurrentSpeakerChanged: if (currentSpeaker !== "") venueView.currentSpeaker = ""
        }
        // The pages of the centre: the start page while no venue is shown ("showVenue" off), the
        // venue view while one is, the Wi-Fi setup over either while NETWORK SETUP is on.
        StartPage {
            objectName: "startPage"
            // An equaliser tab of the inspector takes the centre area for its curve.
            visible: !inspector.wide && !topBar.live && !networkSetup.visible
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
        // The Wi-Fi setup takes the centre while the top bar's NETWORK SETUP is on.
        NetworkSetupView {
            id: networkSetup
            visible: !inspector.wide && Number(showNetwork.value) !== 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            Param { id: showNetwork; address: "://roomdesk/VenueManager/showNetwork" }
        }
        VenueView {
            id: venueView
            objectName: "venueView"
            visible: !inspector.wide && topBar.live && !networkSetup.visible
            room: topBar.room
            Layout.fillWidth: true
            Layout.fillHeight: true
            onSpeakerPicked: (path) => { browser.currentSpeaker = ""; currentSpeaker = path }
            // The plan marks the speaker the right column shows; Escape or a click on empty plan
            // gives the column back to the room's master equaliser.
            shownSpeaker: inspector.visible ? inspector.shownItem : ""
            onMasterPicked: { browser.currentSpeaker = ""; currentSpeaker = ""; inspector.shownItem = "" }
        }
        InspectorPanel {
            id: inspector
            visible: !roomInspector.visible && (shownItem !== "" || !topBar.live)
            // Beside the floor plan it takes a share of what the window grows beyond its design width.
            Layout.preferredWidth: wide ? -1 : Theme.rightColumnWidth + Theme.extraWidth(window.width) / 3
            Layout.fillWidth: wide
            Layout.fillHeight: true
            speakerItem: venueView.currentSpeaker !== "" ? venueView.currentSpeaker : browser.currentSpeaker
        }
        MasterPanel {
            visible: !inspector.visible && !roomInspector.visible
            room: topBar.room
            Layout.preferredWidth: Theme.rightColumnWidth + Theme.extraWidth(window.width) / 3
            Layout.fillHeight: true
        }
        // The room's group editing while its "viewRoomInspector" is on.
        RoomInspector {
            id: roomInspector
            visible: topBar.live && topBar.room !== "" && Number(viewRoomInspector.value) !== 0
            room: topBar.room
            Layout.preferredWidth: Theme.rightColumnWidth
            Layout.fillHeight: true
            Param { id: viewRoomInspector; address: topBar.room !== "" ? topBar.room + "/viewRoomInspector" : "" }
        }
    }
}
