import QtQuick
import QtQuick.Controls.Basic as Controls
import Tessel 1.0
import "."

// The menu bar, built from the application's menu file (Skin.menus): each menu is {title, items:
// [{title, category, name, separator}]}. A click on a title opens its menu; a second click on it,
// Escape, a click elsewhere or a chosen entry closes it; while one is open, moving over another
// title opens that one. What is open is only ever the menus' own state, so a menu closed in any
// way opens again on the next click (the stock menu bar keeps a state of its own that a menu
// closed with Escape under the pointer leaves wrong, and then its menus stop opening).
Rectangle {
    id: bar
    implicitHeight: 24
    color: Theme.panel

    // The open menu's index, -1 while none is.
    property int openIndex: -1

    function openMenu(index) {
        for (let i = 0; i < titles.count; ++i) {
            const other = titles.itemAt(i)
            if (i !== index && other)
                other.menu.close()
        }
        const title = titles.itemAt(index)
        if (title)
            title.menu.open()
    }

    Component {
        id: itemComponent
        Controls.MenuItem {
            id: entry
            objectName: "menuItem:" + text
            property string category
            property string name
            onTriggered: Skin.invokeCommand(category, name)
            contentItem: Text {
                text: entry.text
                color: entry.enabled ? Theme.text : Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
                verticalAlignment: Text.AlignVCenter
                leftPadding: 8
            }
            background: Rectangle { color: entry.highlighted ? Theme.accent : "transparent" }
        }
    }
    Component {
        id: undoItemComponent
        UndoMenuItem {}
    }
    // Undo and redo from anywhere in the program (a text field keeps its own while it has the
    // focus), while the window of this bar is shown: two bars would make the keys ambiguous.
    Shortcut {
        sequences: [StandardKey.Undo]
        context: Qt.ApplicationShortcut
        enabled: bar.Window.window !== null && bar.Window.window.visible
        onActivated: Skin.invokeCommand("Edit", "Undo")
    }
    Shortcut {
        sequences: ["Ctrl+Shift+Z", "Ctrl+Y"]
        context: Qt.ApplicationShortcut
        enabled: bar.Window.window !== null && bar.Window.window.visible
        onActivated: Skin.invokeCommand("Edit", "Redo")
    }
    // The tablet remote's devices window, as the Application menu's "Remote Devices…" opens it.
    Shortcut {
        sequence: "Ctrl+Shift+R"
        context: Qt.ApplicationShortcut
        enabled: bar.Window.window !== null && bar.Window.window.visible
        onActivated: Skin.invokeCommand("Application", "Remote Devices")
    }
    UndoStatus {
        objectName: "undoStatus"
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        width: Math.min(implicitWidth, parent.width / 2)
    }
    Component {
        id: separatorComponent
        Controls.MenuSeparator {
            contentItem: Rectangle { implicitHeight: 1; color: Theme.line }
        }
    }

    Row {
        height: parent.height
        Repeater {
            id: titles
            model: Skin.menus
            Rectangle {
                id: title
                objectName: "menu:" + modelData.title
                readonly property alias menu: menu
                width: label.implicitWidth + 24
                height: bar.height
                color: menu.visible || area.containsMouse ? Theme.raised : "transparent"

                Text {
                    id: label
                    anchors.centerIn: parent
                    text: modelData.title
                    color: Theme.text
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.fontSmall
                }
                MouseArea {
                    id: area
                    anchors.fill: parent
                    hoverEnabled: true
                    onPressed: menu.visible ? menu.close() : bar.openMenu(index)
                    onContainsMouseChanged: {
                        if (containsMouse && bar.openIndex >= 0 && bar.openIndex !== index)
                            bar.openMenu(index)
                    }
                }

                Controls.Menu {
                    id: menu
                    y: title.height
                    // A press on its own title is that title's click (which closes it), not a press
                    // outside.
                    closePolicy: Controls.Popup.CloseOnEscape | Controls.Popup.CloseOnPressOutsideParent
                    background: Rectangle { implicitWidth: 200; color: Theme.panel; border.color: Theme.line }
                    onOpened: bar.openIndex = index
                    onClosed: if (bar.openIndex === index) bar.openIndex = -1
                    Component.onCompleted: {
                        const items = modelData.items
                        for (let j = 0; j < items.length; ++j) {
                            const it = items[j]
                            if (it.separator)
                                menu.addItem(separatorComponent.createObject(null))
                            else if (it.category === "Edit" && (it.name === "Undo" || it.name === "Redo"))
                                menu.addItem(undoItemComponent.createObject(null, { name: it.name }))
                            else
                                menu.addItem(itemComponent.createObject(null, { text: it.title, category: it.category, name: it.name }))
                        }
                    }
                }
            }
        }
    }
}
