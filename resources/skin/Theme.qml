pragma Singleton
import QtQuick

// Colours, fonts and metrics of the roomdesk skin: one place for the look.
QtObject {
    readonly property color background: "#17181b"
    readonly property color panel: "#212328"
    readonly property color raised: "#2b2e34"
    readonly property color raisedHover: "#343841"
    readonly property color line: "#33363d"
    readonly property color text: "#e6e6e6"
    readonly property color dimmed: "#8a8f98"
    readonly property color accent: "#3fa9f5"
    readonly property color good: "#4cd964"
    readonly property color warning: "#ffb020"
    readonly property color error: "#ff3b30"

    readonly property string fontFamily: "DejaVu Sans"
    readonly property int fontSmall: 11
    readonly property int fontNormal: 13
    readonly property int fontLarge: 16

    readonly property int windowWidth: 1024
    readonly property int windowHeight: 748
    readonly property int topBarHeight: 48
    readonly property int stateLineHeight: 22
    // Room tabs never get narrower than this; more rooms than fit then scroll.
    readonly property int minTabWidth: 72
    readonly property int maxTabWidth: 130
    readonly property int leftColumnWidth: 260
    readonly property int rightColumnWidth: 300
    readonly property int spacing: 8
    readonly property int radius: 3

    // What a window of width `width` has beyond the design width (0 at the design width).
    function extraWidth(width) { return Math.max(0, width - windowWidth) }

    // The colour of equaliser band `band`, as the curve views draw its handle and its curve: eight
    // hues, the second eight (a composite's notch bands) a little darker.
    function bandColor(band) {
        const hue = (((band % 8) * 45 + 200) % 360) / 360
        return band < 8 ? Qt.hsva(hue, 150 / 255, 245 / 255, 1) : Qt.hsva(hue, 110 / 255, 215 / 255, 1)
    }
}
