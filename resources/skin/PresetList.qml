import QtQuick
import QtQuick.Layouts
import Tessel 1.0
import "."

// The presets of one inspector: the list (name, delete cell with its two-click confirmation), the
// name editor that takes the keyboard focus (Enter saves, Escape cancels), the question before a
// preset of the same name is replaced, and SAVE / LOAD. A double click on a row loads it.
// LOAD is offered once a preset is chosen. `owner` is the inspector's skin address
// ("://roomdesk/Inspector"); the other properties name its list, switches and command parameters.
ColumnLayout {
    id: presets
    property string owner: "://roomdesk/Inspector"
    property string listName: "speakerPresetsList"
    property string showName: "showPresetEdit"
    property string confirmName: "confirmReplace"
    property string saveName: "savePreset"
    property string loadName: "loadPreset"
    property string okName: "okPreset"
    property string cancelName: "cancelPreset"
    property string replaceName: "replacePreset"
    property string keepName: "cancelReplace"
    property string title: "PRESETS"
    // Loading needs a target (a current speaker, a room).
    property bool canLoad: true
    property int listHeight: 150
    spacing: 6

    TableItems { id: items; address: presets.owner + "/" + presets.listName }
    Param { id: show; address: presets.owner + "/" + presets.showName }
    Param { id: confirm; address: presets.owner + "/" + presets.confirmName }
    Param { id: typed; address: presets.owner + "/newPresetName" }
    Param { id: save; address: presets.owner + "/" + presets.saveName }
    Param { id: load; address: presets.owner + "/" + presets.loadName }
    Param { id: ok; address: presets.owner + "/" + presets.okName }
    Param { id: cancel; address: presets.owner + "/" + presets.cancelName }
    Param { id: replace; address: presets.owner + "/" + presets.replaceName }
    Param { id: keep; address: presets.owner + "/" + presets.keepName }
    // The preset LOAD takes: the row (−1 for none) and its name, chosen here or by a remote.
    Param { id: chosen; address: presets.owner + "/selectedPreset" }

    readonly property bool editing: Number(show.value) !== 0
    readonly property bool asking: Number(confirm.value) !== 0

    SectionLabel { text: presets.title }

    Rectangle {
        objectName: "presetList"
        Layout.fillWidth: true
        Layout.preferredHeight: presets.listHeight
        color: "#0e0f11"
        border.color: Theme.line
        radius: Theme.radius
        clip: true
        ListView {
            id: list
            anchors.fill: parent
            anchors.margins: 1
            model: items
            boundsBehavior: Flickable.StopAtBounds
            delegate: Rectangle {
                objectName: "preset_" + name
                width: list.width
                height: 26
                color: selected ? "#262a31" : (rowArea.containsMouse ? Theme.raised : "transparent")
                Text {
                    x: 8
                    width: 195 - 8
                    anchors.verticalCenter: parent.verticalCenter
                    elide: Text.ElideRight
                    text: name
                    color: selected ? Theme.accent : Theme.text
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontNormal
                }
                MouseArea {
                    id: rowArea
                    width: 195
                    height: parent.height
                    hoverEnabled: true
                    onClicked: items.click(index, 0)
                    onDoubleClicked: { items.open(index, 0); if (presets.canLoad) load.invoke() }
                }
                // The delete cell: a first click arms it (the confirm image), a second deletes.
                Item {
                    objectName: "delete_" + name
                    x: Math.min(195, parent.width - 60)
                    width: 60
                    height: parent.height
                    readonly property string image: Skin.image(model["delete"])
                    readonly property bool armed: model["delete"] === "deleteConfirmIcon"
                    Image {
                        anchors.centerIn: parent
                        visible: parent.image !== ""
                        source: parent.image
                    }
                    Text {
                        anchors.centerIn: parent
                        visible: parent.image === ""
                        text: model["delete"]
                        color: Theme.error
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontSmall
                    }
                    Text {
                        anchors.right: parent.right
                        anchors.rightMargin: 4
                        anchors.verticalCenter: parent.verticalCenter
                        visible: parent.armed && parent.image !== ""
                        text: "?"
                        color: Theme.error
                        font.bold: true
                        font.pixelSize: Theme.fontSmall
                    }
                    MouseArea { anchors.fill: parent; onClicked: items.click(index, 1) }
                }
                Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.line }
            }
        }
        Text {
            anchors.centerIn: parent
            visible: items.count === 0
            text: qsTr("No presets yet")
            color: Theme.dimmed
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
        }
    }

    // The name editor.
    Rectangle {
        id: editor
        objectName: "presetNameEditor"
        Layout.fillWidth: true
        Layout.preferredHeight: 30
        visible: presets.editing && !presets.asking
        color: "#0e0f11"
        border.color: nameInput.activeFocus ? Theme.accent : Theme.line
        radius: Theme.radius
        TextInput {
            id: nameInput
            objectName: "presetName"
            anchors.fill: parent
            anchors.leftMargin: 8
            anchors.rightMargin: 8
            verticalAlignment: TextInput.AlignVCenter
            maximumLength: 120
            color: Theme.text
            selectionColor: Theme.accent
            selectedTextColor: Theme.background
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
            clip: true
            selectByMouse: true
            Keys.onReturnPressed: presets.finish()
            Keys.onEnterPressed: presets.finish()
            Keys.onEscapePressed: cancel.invoke()
        }
        onVisibleChanged: if (visible) presets.focusName()
    }
    function focusName() {
        nameInput.text = typed.text
        nameInput.selectAll()
        nameInput.forceActiveFocus()
    }
    function finish() {
        typed.setText(nameInput.text)
        ok.invoke()
    }
    Text {
        Layout.fillWidth: true
        visible: editor.visible
        text: qsTr("Enter saves, Escape cancels")
        color: Theme.dimmed
        font.family: Theme.fontFamily
        font.pixelSize: Theme.fontSmall
    }

    // The question before an existing preset is replaced.
    Rectangle {
        objectName: "presetReplaceQuestion"
        Layout.fillWidth: true
        Layout.preferredHeight: question.implicitHeight + 48
        visible: presets.asking
        color: "#3a2a12"
        border.color: Theme.warning
        radius: Theme.radius
        Column {
            anchors.fill: parent
            anchors.margins: 8
            spacing: 6
            Text {
                id: question
                width: parent.width
                wrapMode: Text.WordWrap
                text: qsTr("A preset named \"%1\" exists. Replace it?").arg(typed.text)
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
            }
            Row {
                spacing: 6
                ToolButton { objectName: "replaceYes"; text: "REPLACE"; onClicked: replace.invoke() }
                ToolButton { text: "CANCEL"; onClicked: keep.invoke() }
            }
        }
    }

    RowLayout {
        spacing: 6
        ToolButton { objectName: "presetSave"; text: "SAVE"; enabled: !presets.editing; onClicked: save.invoke() }
        ToolButton {
            objectName: "presetLoad"
            text: "LOAD"
            enabled: presets.canLoad && Number(chosen.value) >= 0
            onClicked: load.invoke()
        }
    }
}
