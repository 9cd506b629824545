import QtQuick
import "."

// A thin caption above a panel, upper case and dimmed like a console strip label.
Rectangle {
    property alias text: label.text
    height: 28
    color: Theme.panel
    Text {
        id: label
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        // A long room title ends in "…" rather than running out of the column.
        elide: Text.ElideRight
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
        font.bold: true
        font.letterSpacing: 1.2
    }
    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: Theme.line
    }
}
