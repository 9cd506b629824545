import QtQuick
import "."

// A small caption that opens a group of controls.
Text {
    color: Theme.dimmed
    font.family: Theme.fontFamily
    font.pixelSize: Theme.fontSmall
    font.bold: true
    font.letterSpacing: 1.2
}
