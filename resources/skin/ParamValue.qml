import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// A labelled value: the parameter's text form with step buttons ("−" and "+"), which either step
// the parameter itself or, when given, run the component's step commands.
RowLayout {
    id: row
    property alias address: param.address
    property alias base: param.base
    property string label: ""
    property int labelWidth: 72
    property string downCommand: ""
    property string upCommand: ""
    spacing: 6
    Param { id: param }
    Param { id: down; base: param.base; address: row.downCommand }
    Param { id: up; base: param.base; address: row.upCommand }

    Text {
        visible: row.labelWidth > 0
        Layout.preferredWidth: row.labelWidth
        text: row.label
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }
    ToolButton {
        text: "−"
        implicitWidth: 26
        enabled: param.enabled && !param.readOnly
        onClicked: row.downCommand !== "" ? down.invoke() : param.step(-1)
    }
    Rectangle {
        Layout.fillWidth: true
        implicitHeight: 26
        color: "#0e0f11"
        radius: Theme.radius
        border.color: Theme.line
        Text {
            anchors.centerIn: parent
            text: param.text
            color: param.enabled ? Theme.text : Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
        }
        MouseArea {
            anchors.fill: parent
            onDoubleClicked: param.reset()
            onWheel: (wheel) => param.step(wheel.angleDelta.y > 0 ? 1 : -1)
        }
    }
    ToolButton {
        text: "+"
        implicitWidth: 26
        enabled: param.enabled && !param.readOnly
        onClicked: row.upCommand !== "" ? up.invoke() : param.step(1)
    }
}
