import QtQuick
import Tessel 1.0
import "."

// One speaker of the network browser: its picture (lit while selected), nickname or model,
// version and host.
Rectangle {
    id: row
    property string itemPath: ""
    // The item's picture name, read from its "icon" parameter so selection shows at once.
    readonly property string iconName: icon.text
    property bool current: false
    signal clicked(bool extend)
    signal opened()
    // Pressing and moving the row: the browser may turn it into a drag onto the floor plan. A row
    // that was dragged does not count the release as a click.
    signal dragMoved(real x, real y, real pressX, real pressY)
    signal dragReleased()
    // The window broke the drag off (it lost the mouse): no drop.
    signal dragCancelled()
    property bool dragged: false

    // "SpeakerIcon:TX10A" / "SpeakerIconSelected:TX10A"
    readonly property bool selected: iconName.indexOf("SpeakerIconSelected:") === 0
    readonly property string modelName: iconName.indexOf(":") >= 0 ? iconName.substring(iconName.indexOf(":") + 1) : "Unknown"

    implicitHeight: 58
    color: area.containsMouse ? Theme.raised : (current ? "#262a31" : "transparent")

    Param { id: icon; base: row.itemPath; address: "icon" }
    Param { id: name; base: row.itemPath; address: "name" }
    Param { id: version; base: row.itemPath; address: "version" }
    Param { id: host; base: row.itemPath; address: "hostname" }
    Param { id: duplicate; base: row.itemPath; address: "duplicate" }
    Param { id: nickname; base: row.itemPath; address: "component/nickname" }

    Rectangle {
        visible: row.selected
        width: 3; height: parent.height
        color: Theme.accent
    }
    SpeakerPicture {
        id: picture
        x: 12
        anchors.verticalCenter: parent.verticalCenter
        width: 40; height: 40
        model: row.modelName
        selected: row.selected
    }
    Column {
        anchors.left: picture.right
        anchors.leftMargin: 10
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        spacing: 2
        Text {
            width: parent.width
            elide: Text.ElideRight
            text: nickname.text !== "" ? nickname.text : name.text
            color: row.selected ? Theme.accent : Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
            font.bold: true
        }
        Text {
            width: parent.width
            elide: Text.ElideRight
            text: name.text + (version.text !== "" ? "  ·  v" + version.text : "")
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
        Text {
            width: parent.width
            elide: Text.ElideRight
            text: duplicate.value ? "\u26A0 Duplicate serial number  ·  " + host.text : host.text
            color: duplicate.value ? Theme.warning : Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
    }
    Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.line }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        preventStealing: row.dragged
        property point pressPoint
        onPressed: (mouse) => { pressPoint = Qt.point(mouse.x, mouse.y); row.dragged = false }
        onPositionChanged: (mouse) => {
            if (pressed)
                row.dragMoved(mouse.x, mouse.y, pressPoint.x, pressPoint.y)
        }
        onReleased: if (row.dragged) row.dragReleased()
        onCanceled: if (row.dragged) row.dragCancelled()
        onClicked: (mouse) => { if (!row.dragged) row.clicked((mouse.modifiers & Qt.ShiftModifier) !== 0) }
        onDoubleClicked: row.opened()
    }
    // A right click opens the speaker's menu (Copy, Paste); other clicks go to the row.
    SpeakerMenu { id: speakerMenu; speaker: row.itemPath !== "" ? row.itemPath + "/component" : "" }
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: (mouse) => speakerMenu.openAt(this, mouse.x, mouse.y)
    }
}
