#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include "tessel/ContextMenu.h"

namespace Tessel::Qt
{

// QML type "ContextMenuModel" (import Tessel 1.0): the entries a component and its ancestors add
// to a context menu, for a QML Menu to show.
//     ContextMenuModel { id: menuModel; component: "://roomdesk/VenueManager/activeRoom" }
//     MouseArea { acceptedButtons: Qt.RightButton
//                 onClicked: if (menuModel.collect({part: "row"}) > 0) popup.open() }
//     Menu { id: popup; Instantiator { model: menuModel.entries
//            delegate: MenuItem { text: modelData.title; enabled: modelData.enabled
//                                 onTriggered: menuModel.trigger(index) } ... } }
// `entries` holds {title, enabled, separator} for each entry, in order; collect() fills it anew
// (the component may offer other entries each time) and trigger() runs the chosen one.
class ContextMenuModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString component READ component WRITE setComponent NOTIFY componentChanged)
    Q_PROPERTY(QVariantList entries READ entries NOTIFY entriesChanged)
    Q_PROPERTY(int count READ count NOTIFY entriesChanged)

public:
    explicit ContextMenuModel(QObject* parent = nullptr) : QObject(parent) {}

    QString component() const { return componentAddress; }
    void setComponent(const QString& address);
    QVariantList entries() const;
    int count() const { return menu.countEntries(); }

    // Asks the component at `component` and its ancestors for entries, with `context` (numbers and
    // texts) describing where the click was. Returns the number of entries; 0 when the address
    // does not resolve or nobody offers anything.
    Q_INVOKABLE int collect(const QVariantMap& context = {});
    // Runs entry `index` of the last collect(); false for a separator, a disabled entry or a bad
    // index, else the component's answer.
    Q_INVOKABLE bool trigger(int index);

Q_SIGNALS:
    void componentChanged();
    void entriesChanged();

private:
    QString componentAddress;
    ContextMenu menu;
};

} // namespace Tessel::Qt
