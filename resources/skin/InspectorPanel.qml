import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The inspector: the panel of the speaker the user picked, in six tabs (Channel, PEQ, Notch,
// GEQ, Limiter, Presets), or a hint when there is none. The equaliser tabs need room for a curve a
// mouse can work on: while one of them is open the inspector is `wide` and the main window gives
// it the centre area as well. The panel shows the inspector's current speaker (the one selected
// last, from a row, the remote control or a venue) and falls back to the row the window names.
// Ctrl+C / Ctrl+V copy and paste the shown speaker's settings; a right click offers the same.
Rectangle {
    id: inspector
    color: Theme.panel
    // The component path of the speaker's item ("SpeakerNetwork/<serial>") the window picked, or "".
    property string speakerItem: ""
    // The item shown: whichever changed last, the inspector's current speaker or `speakerItem`.
    property string shownItem: speakerItem
    // The speaker's own component, which its item answers as the child "component".
    readonly property string speaker: shownItem !== "" ? shownItem + "/component" : ""
    property int currentTab: 0
    readonly property var tabNames: ["Channel", "PEQ", "Notch", "GEQ", "Limiter", "Presets"]
    readonly property bool wide: shownItem !== "" && currentTab >= 1 && currentTab <= 3

    Prop {
        id: current
        address: "://roomdesk/Inspector/speakerItem"
        onChanged: inspector.shownItem = (value !== undefined && String(value) !== "") ? String(value) : inspector.speakerItem
    }
    onSpeakerItemChanged: shownItem = speakerItem
    Param { id: copySpeaker; address: "://roomdesk/Inspector/copySpeaker" }
    Param { id: pasteSpeaker; address: "://roomdesk/Inspector/pasteSpeaker" }
    // Without a current speaker the commands do nothing, so the shortcuts stay on.
    Shortcut {
        sequences: [StandardKey.Copy]
        context: Qt.ApplicationShortcut
        onActivated: copySpeaker.invoke()
    }
    Shortcut {
        sequences: [StandardKey.Paste]
        context: Qt.ApplicationShortcut
        onActivated: pasteSpeaker.invoke()
    }
    SpeakerMenu { id: speakerMenu; speaker: inspector.speaker }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0
        PanelHeader { Layout.fillWidth: true; text: "INSPECTOR" }
        Row {
            id: tabs
            objectName: "inspectorTabs"
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.topMargin: 8
            visible: inspector.shownItem !== ""
            spacing: 1
            Repeater {
                model: inspector.tabNames
                ToolButton {
                    objectName: "tab" + modelData
                    text: modelData
                    // Narrow tabs for short names, so all six fit the column.
                    implicitWidth: [54, 38, 44, 38, 48, 52][index]
                    checked: inspector.currentTab === index
                    onClicked: inspector.currentTab = index
                }
            }
        }
        // Every tab lives as long as the speaker is selected, so switching tabs never takes a
        // binding away from under its controls.
        Loader {
            Layout.fillWidth: true
            Layout.fillHeight: true
            // On `speaker`, not `speakerItem`: the tabs must be made after the path they bind to.
            active: inspector.speaker !== ""
            visible: active
            sourceComponent: StackLayout {
                currentIndex: inspector.currentTab
                SpeakerPanel { item: inspector.shownItem; speaker: inspector.speaker }
                PeqTab { speaker: inspector.speaker }
                NotchTab { speaker: inspector.speaker }
                GeqTab { speaker: inspector.speaker }
                LimiterTab { speaker: inspector.speaker }
                SpeakerPresetsTab { }
            }
            // Right clicks only: every other click goes on to the controls below.
            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.RightButton
                onClicked: (mouse) => speakerMenu.openAt(this, mouse.x, mouse.y)
            }
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: inspector.shownItem === ""
            Text {
                anchors.centerIn: parent
                text: qsTr("No speaker selected")
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
        }
    }
}
