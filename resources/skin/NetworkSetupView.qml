import QtQuick
import QtQuick.Layouts
import Roomdesk 1.0
import Tessel 1.0
import "."

// The Wi-Fi network setup, in the centre while the top bar's NETWORK SETUP is on: the networks
// the speakers see (the ones every speaker sees in full colour, with an arrow), a click on one
// opens the password popup, JOIN sends every speaker onto it (after a question when not every
// speaker sees the network). Every speaker winks meanwhile. The banner counts the speakers that
// come back on the new network.
Rectangle {
    id: view
    color: Theme.background

    // Column widths of the list: margin, name, lock, strength, arrow. The name takes what the
    // centre leaves when it is narrower than the full 476.
    readonly property var columns: [20, 476, 40, 40, 40]
    readonly property int strengthFrames: 4

    Param { id: showPassword; address: "://roomdesk/NetworkSetupManager/showPassword" }
    Param { id: ssid; address: "://roomdesk/NetworkSetupManager/ssid" }
    Param { id: password; address: "://roomdesk/NetworkSetupManager/password" }
    Param { id: needsPassword; address: "://roomdesk/NetworkSetupManager/needsPassword" }
    Param { id: joinMessage; address: "://roomdesk/NetworkSetupManager/joinNetworkMessage" }
    Param { id: join; address: "://roomdesk/NetworkSetupManager/passwordJoin" }
    Param { id: cancel; address: "://roomdesk/NetworkSetupManager/passwordCancel" }
    Param { id: joinError; address: "://roomdesk/NetworkSetupManager/joinError" }
    Param { id: confirmJoin; address: "://roomdesk/NetworkSetupManager/confirmJoin" }
    Param { id: confirmMessage; address: "://roomdesk/NetworkSetupManager/confirmJoinMessage" }
    Param { id: confirm; address: "://roomdesk/NetworkSetupManager/joinConfirm" }
    Param { id: confirmCancel; address: "://roomdesk/NetworkSetupManager/joinConfirmCancel" }
    Prop { id: changing; address: "://roomdesk/NetworkSetupManager/networkChanging" }
    Prop { id: joinReport; address: "://roomdesk/NetworkSetupManager/hasJoinReport" }
    Prop { id: joinMissing; address: "://roomdesk/NetworkSetupManager/joinMissing" }
    Prop { id: anyCommon; address: "://roomdesk/NetworkSetupManager/anyCommonWifi" }

    ItemList {
        id: wifis
        address: "://roomdesk/NetworkSetupManager/wifiList"
        onCountChanged: anyCommon.refresh()
    }

    readonly property bool popupShown: Number(showPassword.value) !== 0
    readonly property bool secured: Number(needsPassword.value) !== 0
    readonly property bool asking: Number(confirmJoin.value) !== 0

    function sendJoin() {
        // The typed text reaches the manager only now, and the manager forgets it once sent or
        // refused. The field keeps it while the popup stays open (a question, a refusal), so it
        // can be answered or corrected; it is emptied when the popup closes.
        password.setText(passwordInput.text)
        join.invoke()
    }
    function closePopup() {
        passwordInput.text = ""
        cancel.invoke()
    }
    function focusPopup() {
        if (view.secured)
            passwordInput.forceActiveFocus()
        else
            popup.forceActiveFocus()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        PanelHeader { Layout.fillWidth: true; text: "WI-FI NETWORK SETUP" }

        Text {
            Layout.fillWidth: true
            Layout.margins: 12
            text: wifis.count === 0
                  ? qsTr("Waiting for the speakers to report the Wi-Fi networks they see…")
                  : (Number(anyCommon.value) !== 0
                     ? qsTr("Choose the network for every speaker. Networks that only some speakers see are dimmed.")
                     : qsTr("No network is seen by every speaker."))
            color: Theme.dimmed
            wrapMode: Text.WordWrap
            font.family: Theme.fontFamily
            font.pixelSize: Theme.fontNormal
        }

        // The join message, for as long as the speakers are changing networks, then how many
        // came back (green when all did, amber when some did not) until a network is chosen again.
        Rectangle {
            objectName: "joinMessage"
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            readonly property bool running: Number(changing.value) !== 0
            visible: running || Number(joinReport.value) !== 0
            implicitHeight: visible ? 34 : 0
            radius: Theme.radius
            color: "#1b2a38"
            border.color: running ? Theme.accent : (Number(joinMissing.value) > 0 ? Theme.warning : Theme.good)
            Text {
                objectName: "joinMessageText"
                anchors.fill: parent
                anchors.leftMargin: 10
                verticalAlignment: Text.AlignVCenter
                text: joinMessage.text
                elide: Text.ElideRight
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
        }

        ListView {
            id: list
            objectName: "wifiList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.topMargin: 8
            clip: true
            model: wifis
            spacing: 1
            delegate: Rectangle {
                id: row
                required property string path
                required property int index
                width: list.width
                height: 40
                readonly property bool common: Number(commonParam.value) !== 0
                color: area.containsMouse ? Theme.raised : Theme.panel

                Param { id: title; base: row.path; address: "title" }
                Param { id: commonParam; base: row.path; address: "common" }
                Param { id: locked; base: row.path; address: "locked" }
                Param { id: frame; base: row.path; address: "strengthFrame" }

                Row {
                    anchors.fill: parent
                    Item { width: view.columns[0]; height: parent.height }
                    Text {
                        objectName: "wifiName"
                        width: Math.min(view.columns[1],
                                        row.width - view.columns[0] - view.columns[2] - view.columns[3] - view.columns[4])
                        height: parent.height
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                        text: title.text
                        color: row.common ? Theme.text : Theme.dimmed
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontLarge
                    }
                    // The lock of a secured network (the column keeps its width without one).
                    Item {
                        width: view.columns[2]
                        height: parent.height
                        opacity: Number(locked.value) === 0 ? 0 : (row.common ? 1 : 0.45)
                        Rectangle {
                            x: (parent.width - 10) / 2
                            y: parent.height / 2 - 9
                            width: 10; height: 10; radius: 5
                            color: "transparent"
                            border.color: Theme.text
                            border.width: 2
                        }
                        Rectangle {
                            x: (parent.width - 14) / 2
                            y: parent.height / 2 - 3
                            width: 14; height: 11; radius: 2
                            color: Theme.text
                        }
                    }
                    // Strength bars: the frame lights as many bars (frame 0 none, the last all).
                    Item {
                        width: view.columns[3]
                        height: parent.height
                        opacity: row.common ? 1 : 0.45
                        Row {
                            anchors.centerIn: parent
                            spacing: 3
                            Repeater {
                                model: view.strengthFrames - 1
                                Rectangle {
                                    required property int index
                                    width: 5
                                    height: 6 + index * 5
                                    anchors.bottom: parent.bottom
                                    radius: 1
                                    color: index < Number(frame.value) ? Theme.good : Theme.line
                                }
                            }
                        }
                    }
                    // The arrow of a network every speaker sees.
                    Text {
                        width: view.columns[4]
                        height: parent.height
                        opacity: row.common ? 1 : 0
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        text: "\u203A"
                        color: Theme.accent
                        font.family: Theme.fontFamily
                        font.pixelSize: 24
                    }
                }
                MouseArea {
                    id: area
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: wifis.click(row.index)
                }
            }
        }
    }

    // The password popup over the list.
    Rectangle {
        anchors.fill: parent
        visible: view.popupShown
        color: "#a0000000"
        MouseArea { anchors.fill: parent } // the list stays untouched while the popup is open
    }
    Rectangle {
        id: popup
        objectName: "passwordPopup"
        visible: view.popupShown
        width: 420
        height: column.implicitHeight + 32
        anchors.centerIn: parent
        radius: 6
        color: Theme.panel
        border.color: Theme.line

        onVisibleChanged: {
            passwordInput.text = ""
            if (visible) {
                showText.checked = false
                view.focusPopup()
            }
        }
        Keys.onReturnPressed: view.sendJoin()
        Keys.onEnterPressed: view.sendJoin()
        Keys.onEscapePressed: view.closePopup()

        ColumnLayout {
            id: column
            anchors.fill: parent
            anchors.margins: 16
            spacing: 12

            Text {
                Layout.fillWidth: true
                text: qsTr("Join \u201C%1\u201D").arg(ssid.text)
                elide: Text.ElideRight
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontLarge
                font.bold: true
            }
            Text {
                Layout.fillWidth: true
                text: view.secured ? qsTr("Password of the network:") : qsTr("An open network: no password is needed.")
                color: Theme.dimmed
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
            RowLayout {
                Layout.fillWidth: true
                visible: view.secured
                spacing: 8
                Rectangle {
                    Layout.fillWidth: true
                    implicitHeight: 32
                    radius: Theme.radius
                    color: "#0e0f11"
                    border.color: passwordInput.activeFocus ? Theme.accent : Theme.line
                    TextInput {
                        id: passwordInput
                        objectName: "passwordInput"
                        anchors.fill: parent
                        anchors.leftMargin: 8
                        anchors.rightMargin: 8
                        verticalAlignment: TextInput.AlignVCenter
                        echoMode: showText.checked ? TextInput.Normal : TextInput.Password
                        passwordCharacter: "\u2022"
                        color: Theme.text
                        selectionColor: Theme.accent
                        font.family: Theme.fontFamily
                        font.pixelSize: Theme.fontNormal
                        clip: true
                        Keys.onReturnPressed: view.sendJoin()
                        Keys.onEnterPressed: view.sendJoin()
                        Keys.onEscapePressed: view.closePopup()
                    }
                }
                ToolButton {
                    id: showText
                    objectName: "showPasswordText"
                    text: checked ? "HIDE" : "SHOW"
                    checkable: true
                }
            }
            // Why the last JOIN was refused (a character the speakers cannot take).
            Text {
                objectName: "joinError"
                Layout.fillWidth: true
                visible: text !== ""
                text: joinError.text
                wrapMode: Text.WordWrap
                color: Theme.error
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
            RowLayout {
                Layout.alignment: Qt.AlignRight
                spacing: 8
                ToolButton {
                    objectName: "cancelButton"
                    text: "CANCEL"
                    onClicked: view.closePopup()
                }
                ToolButton {
                    objectName: "joinButton"
                    text: "JOIN"
                    checked: true
                    onClicked: view.sendJoin()
                }
            }
        }
    }

    // The question before a join that not every speaker can follow, over the password popup:
    // Enter or JOIN sends, Escape or CANCEL goes back to the popup.
    Rectangle {
        anchors.fill: parent
        visible: view.asking
        color: "#60000000"
        MouseArea { anchors.fill: parent }
    }
    Rectangle {
        id: question
        objectName: "joinConfirmation"
        visible: view.asking
        width: 420
        height: questionColumn.implicitHeight + 32
        anchors.centerIn: parent
        radius: 6
        color: Theme.panel
        border.color: Theme.warning

        onVisibleChanged: {
            if (visible)
                question.forceActiveFocus()
            else if (view.popupShown)
                view.focusPopup()
        }
        Keys.onReturnPressed: confirm.invoke()
        Keys.onEnterPressed: confirm.invoke()
        Keys.onEscapePressed: confirmCancel.invoke()

        ColumnLayout {
            id: questionColumn
            anchors.fill: parent
            anchors.margins: 16
            spacing: 12

            Text {
                objectName: "joinConfirmationText"
                Layout.fillWidth: true
                text: confirmMessage.text
                wrapMode: Text.WordWrap
                color: Theme.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.fontNormal
            }
            RowLayout {
                Layout.alignment: Qt.AlignRight
                spacing: 8
                ToolButton {
                    objectName: "confirmCancelButton"
                    text: "CANCEL"
                    onClicked: confirmCancel.invoke()
                }
                ToolButton {
                    objectName: "confirmJoinButton"
                    text: "JOIN"
                    checked: true
                    onClicked: confirm.invoke()
                }
            }
        }
    }
}
