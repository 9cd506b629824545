import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The inspector: the panel of the speaker the user picked, in five tabs (Channel, PEQ, Notch,
// GEQ, Limiter), or a hint when there is none. The equaliser tabs need room for a curve a mouse
// can work on: while one of them is open the inspector is `wide` and the main window gives it the
// centre area as well.
Rectangle {
    id: inspector
    color: Theme.panel
    // The component path of the speaker's item ("SpeakerNetwork/<serial>"), or "".
    property string speakerItem: ""
    // The speaker's own component, which its item answers as the child "component".
    readonly property string speaker: speakerItem !== "" ? speakerItem + "/component" : ""
    property int currentTab: 0
    readonly property var tabNames: ["Channel", "PEQ", "Notch", "GEQ", "Limiter"]
    readonly property bool wide: speakerItem !== "" && currentTab >= 1 && currentTab <= 3

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
            visible: inspector.speakerItem !== ""
            spacing: 2
            Repeater {
                model: inspector.tabNames
                ToolButton {
                    objectName: "tab" + modelData
                    text: modelData
                    implicitWidth: 52
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
                SpeakerPanel { item: inspector.speakerItem; speaker: inspector.speaker }
                PeqTab { speaker: inspector.speaker }
                NotchTab { speaker: inspector.speaker }
                GeqTab { speaker: inspector.speaker }
                LimiterTab { speaker: inspector.speaker }
            }
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: inspector.speakerItem === ""
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
