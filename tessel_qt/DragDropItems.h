#pragma once

#include <QObject>
#include <QQuickItem>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace Tessel::Qt
{

// QML type "DropTarget" (import Tessel 1.0): an area that passes the drags of the framework's drag
// session (DragSession) to the component at `component`, which answers IDropTarget (itself or
// through an extension). Coordinates are the item's own.
//     DropTarget { anchors.fill: parent; component: "://roomdesk/VenueManager/activeRoom"
//                  Rectangle { anchors.fill: parent; visible: parent.containsDrag
//                              color: parent.accepting ? "#203fa9f5" : "#20ff3b30" } }
// `containsDrag` is true while a drag is over the area, `accepting` while the component would take
// it at the pointer. A drop the component refuses is reported to the drag's source as not taken.
// Drags that did not start through a DragSource (files from other programs) are ignored.
class DropTargetItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QString component READ component WRITE setComponent NOTIFY componentChanged)
    Q_PROPERTY(bool containsDrag READ containsDrag NOTIFY dragStateChanged)
    Q_PROPERTY(bool accepting READ accepting NOTIFY dragStateChanged)

public:
    explicit DropTargetItem(QQuickItem* parent = nullptr);

    QString component() const { return componentAddress; }
    void setComponent(const QString& address);
    bool containsDrag() const { return inside; }
    bool accepting() const { return accepts; }

Q_SIGNALS:
    void componentChanged();
    void dragStateChanged();
    // A drop happened here; `taken` is the component's answer.
    void dropped(bool taken);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setState(bool inside, bool accepts);

    QString componentAddress;
    bool inside = false;
    bool accepts = false;
};

// QML type "DragSource" (import Tessel 1.0): starts framework drags from the component at
// `component` (told how each drag ended when it answers IDragSource).
//     DragSource { id: source; component: "://roomdesk/SpeakerNetwork" }
//     MouseArea { drag.target: ghost
//                 onPressed: source.start(["SpeakerNetwork/123456789"], {kind: "speaker"}, "groupNode")
//                 onReleased: { ghost.Drag.drop(); source.endNowhere() } }
//     Item { id: ghost; Drag.active: source.active; Drag.imageSource: source.imageUrl }
// start() carries the components at `itemPaths` (paths or skin addresses; unresolved ones are left
// out), the named values of `attributes` and the drag image by style name. Call endNowhere() when
// the user lets go: a drag that a DropTarget took is over already, any other ends there and the
// source hears "not taken"; cancel() ends one the user broke off, also as "not taken". `active`
// is announced at start(), endNowhere() and cancel().
class DragSourceHelper : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString component READ component WRITE setComponent NOTIFY componentChanged)
    Q_PROPERTY(bool active READ active NOTIFY activeChanged)
    Q_PROPERTY(QString imageUrl READ imageUrl NOTIFY activeChanged)

public:
    explicit DragSourceHelper(QObject* parent = nullptr) : QObject(parent) {}

    QString component() const { return componentAddress; }
    void setComponent(const QString& address);
    bool active() const;
    QString imageUrl() const;

    // Begins a drag (ending any unfinished one first). False when nothing could be carried.
    Q_INVOKABLE bool start(const QStringList& itemPaths, const QVariantMap& attributes = {},
                           const QString& image = {});
    Q_INVOKABLE void endNowhere();
    Q_INVOKABLE void cancel();

Q_SIGNALS:
    void componentChanged();
    void activeChanged();

private:
    QString componentAddress;
};

} // namespace Tessel::Qt
