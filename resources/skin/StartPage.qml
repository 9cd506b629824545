import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The centre while no venue is shown: the user's venues, one row each with its name, its groups
// and its speakers. NEW VENUE makes a venue and opens its name editor; a row opens on a double
// click or OPEN, RENAME edits its name in place (Enter keeps, Escape cancels), DELETE asks first.
Rectangle {
    id: page
    color: Theme.background

    readonly property string manager: "://roomdesk/VenueManager"
    Param { id: nameAndVersion; address: "://roomdesk/Application/appNameAndVersion" }
    Prop { id: creating; address: page.manager + "/isCreatingVenue" }

    TableItems { id: venues; address: page.manager + "/HistoryList" }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            Text {
                text: qsTr("VENUES")
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontLarge
                font.bold: true
                font.letterSpacing: 2
            }
            Text {
                text: venues.count > 0 ? "(" + venues.count + ")" : ""
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
            Item { Layout.fillWidth: true }
            ParamButton {
                objectName: "newVenue"
                text: qsTr("NEW VENUE")
                command: true
                address: page.manager + "/newVenue"
            }
        }
        Rectangle { Layout.fillWidth: true; height: 1; color: Theme.line }

        ListView {
            id: list
            objectName: "venueList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 4
            model: venues
            delegate: VenueHistoryRow {
                width: list.width
                entryPath: path
                creatingVenue: Number(creating.value) !== 0
                onOpened: venues.open(index)
                onEditorOpened: list.positionViewAtIndex(index, ListView.Contain)
            }

            Column {
                anchors.centerIn: parent
                spacing: 8
                visible: venues.count === 0
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("No venues yet")
                    color: Theme.text
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontLarge
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTr("NEW VENUE makes one; its rooms and speakers are saved as you go.")
                    color: Theme.dimmed
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                }
            }
        }

        Text {
            Layout.alignment: Qt.AlignHCenter
            text: nameAndVersion.text
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
    }
}
