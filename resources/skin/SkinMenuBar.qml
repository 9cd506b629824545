import QtQuick
import QtQuick.Controls.Basic
import Tessel 1.0
import "."

// The menu bar, built from the application's menu file (Skin.menus): each menu
// is {title, items: [{title, category, name, separator}]}.
MenuBar {
    id: bar

    background: Rectangle {
        color: Theme.panel
        implicitHeight: 24
        UndoStatus {
            objectName: "undoStatus"
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, parent.width / 2)
        }
    }

    delegate: MenuBarItem {
        id: barItem
        contentItem: Text {
            text: barItem.text
            color: Theme.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontSmall
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle { color: barItem.highlighted ? Theme.raised : "transparent" }
    }

    Component {
        id: menuComponent
        Menu {
            background: Rectangle { implicitWidth: 200; color: Theme.panel; border.color: Theme.line }
        }
    }
    Component {
        id: itemComponent
        MenuItem {
            property string category
            property string name
            onTriggered: Skin.invokeCommand(category, name)
            contentItem: Text {
                text: parent.text
                color: parent.enabled ? Theme.text : Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontSmall
                verticalAlignment: Text.AlignVCenter
                leftPadding: 8
            }
            background: Rectangle { color: parent.highlighted ? Theme.accent : "transparent" }
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
    Component {
        id: separatorComponent
        MenuSeparator {
            contentItem: Rectangle { implicitHeight: 1; color: Theme.line }
        }
    }

    Component.onCompleted: {
        const menus = Skin.menus
        for (let i = 0; i < menus.length; ++i) {
            const m = menuComponent.createObject(bar, { title: menus[i].title })
            const items = menus[i].items
            for (let j = 0; j < items.length; ++j) {
                const it = items[j]
                if (it.separator)
                    m.addItem(separatorComponent.createObject(null))
                else if (it.category === "Edit" && (it.name === "Undo" || it.name === "Redo"))
                    m.addItem(undoItemComponent.createObject(null, { name: it.name }))
                else
                    m.addItem(itemComponent.createObject(null, { text: it.title, category: it.category, name: it.name }))
            }
            bar.addMenu(m)
        }
    }
}
