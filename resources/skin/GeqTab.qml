import QtQuick
import QtQuick.Layouts
import "."

// The GEQ tab: the speaker's graphic equaliser. `speaker` is the path of its SpeakerComponent.
Item {
    property string speaker: ""
    GeqBank {
        anchors.fill: parent
        anchors.margins: 12
        geq: parent.speaker + "/line/ch1/geq"
    }
}
