import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tessel 1.0
import "."

// The main window of roomdesk: top bar, network browser on the left, the
// venue (or the start page) in the centre, the inspector on the right.
ApplicationWindow {
    id: window
    title: Skin.expand("$APPNAME")
    width: Theme.windowWidth
    height: Theme.windowHeight
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.background
    visible: true

    font.family: Theme.fontFamily
    font.pixelSize: Theme.fontNormal

    menuBar: SkinMenuBar {}

    header: TopBar {}

    RowLayout {
        anchors.fill: parent
        spacing: 1

        NetworkBrowser {
            id: browser
            Layout.preferredWidth: Theme.leftColumnWidth
            Layout.fillHeight: true
        }
        StartPage {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
        InspectorPanel {
            Layout.preferredWidth: Theme.rightColumnWidth
            Layout.fillHeight: true
            speakerItem: browser.currentSpeaker
        }
    }
}
