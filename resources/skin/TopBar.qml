import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The strip across the top: the product mark, the venue, and the room-wide
// controls (inactive until a venue with rooms is open).
Rectangle {
    implicitHeight: Theme.topBarHeight
    color: Theme.panel

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 12

        Text {
            text: Skin.expand("$APPNAME").toUpperCase()
            color: Theme.accent
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontLarge
            font.bold: true
            font.letterSpacing: 3
        }
        Rectangle { width: 1; height: 24; color: Theme.line }
        Text {
            text: qsTr("No venue open")
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
        }
        Item { Layout.fillWidth: true }
        ToolButton { text: "VOL −"; enabled: false }
        ToolButton { text: "VOL +"; enabled: false }
        ToolButton { text: "MUTE ALL"; enabled: false; checkedColor: Theme.error }
        ToolButton { text: "LOCK"; enabled: false; checkedColor: Theme.warning }
        Rectangle { width: 1; height: 24; color: Theme.line }
        ToolButton { text: "NETWORK SETUP"; enabled: false }
    }
    Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.line }
}
