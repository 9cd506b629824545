#pragma once

#include <QQuickItem>
#include <QSize>
#include <QString>
#include <QVariantList>

#include "tessel_qt/ViewLink.h"

namespace Vellaris
{

class RoomEditView;

// QML type "RoomEditView" (import Roomdesk 1.0): the room editor of the open venue for the skin's
// floor plan. It binds the venue's view "RoomEditView", tells it its size and offers what the
// skin draws:
//   editor     the editor's component path (the DropTarget's component; position paths are
//              "<editor>/positionN")
//   groups     [{x, y, width, height, freeX, freeY, title, type, nodeImage}] the group frames
//              (freeX/freeY: the free cell a drop into the group takes, inside the frame)
//   positions  [{path, x, y, serial, missing, itemPath, model}] the speaker cells
//   swapping, dragging, targetX/targetY, sourceX/sourceY, emptyHint, hintImage, hintText,
//   cellWidth, cellHeight, contentWidth, contentHeight (the plan's extent)
// Every coordinate is a plan pixel: the skin may scroll and scale the plan, as long as the cells,
// frames and the DropTarget share one item. The item's own size is the width the groups wrap at.
//     RoomEditView { id: plan; anchors.fill: parent }
//     Repeater { model: plan.positions; SpeakerGroupItem { x: modelData.x; ... } }
// startDrag(index, hotX, hotY) begins dragging the speaker of cell `index` (refused while the
// room is locked); endDrag() ends a drag that no drop target took (the speaker leaves the room).
class RoomEditItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QString venue READ venue WRITE setVenue NOTIFY bindingChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY bindingChanged)
    Q_PROPERTY(QString editor READ editor NOTIFY bindingChanged)
    Q_PROPERTY(QString room READ room NOTIFY planChanged)
    Q_PROPERTY(QVariantList groups READ groups NOTIFY planChanged)
    Q_PROPERTY(QVariantList positions READ positions NOTIFY planChanged)
    Q_PROPERTY(bool swapping READ swapping NOTIFY dragChanged)
    Q_PROPERTY(bool dragging READ dragging NOTIFY dragChanged)
    Q_PROPERTY(bool sessionActive READ sessionActive NOTIFY dragChanged)
    Q_PROPERTY(int targetX READ targetX NOTIFY dragChanged)
    Q_PROPERTY(int targetY READ targetY NOTIFY dragChanged)
    Q_PROPERTY(int sourceX READ sourceX NOTIFY dragChanged)
    Q_PROPERTY(int sourceY READ sourceY NOTIFY dragChanged)
    Q_PROPERTY(bool emptyHint READ emptyHint NOTIFY planChanged)
    Q_PROPERTY(QString hintImage READ hintImage NOTIFY planChanged)
    Q_PROPERTY(QString hintText READ hintText NOTIFY planChanged)
    Q_PROPERTY(int cellWidth READ cellWidth NOTIFY planChanged)
    Q_PROPERTY(int cellHeight READ cellHeight NOTIFY planChanged)
    Q_PROPERTY(int contentWidth READ contentWidth NOTIFY planChanged)
    Q_PROPERTY(int contentHeight READ contentHeight NOTIFY planChanged)

public:
    explicit RoomEditItem(QQuickItem* parent = nullptr);
    ~RoomEditItem() override;

    QString venue() const { return venueAddress; }
    void setVenue(const QString& address);
    bool valid() const { return link.isBound(); }
    QString editor() const;
    QString room() const;
    QVariantList groups() const { return groupList; }
    QVariantList positions() const { return positionList; }
    bool swapping() const;
    bool dragging() const;
    bool sessionActive() const;
    int targetX() const;
    int targetY() const;
    int sourceX() const;
    int sourceY() const;
    bool emptyHint() const;
    QString hintImage() const;
    QString hintText() const;
    int cellWidth() const;
    int cellHeight() const;
    int contentWidth() const;
    int contentHeight() const;

    Q_INVOKABLE bool startDrag(int index, double hotX = 0, double hotY = 0);
    Q_INVOKABLE void endDrag();
    Q_INVOKABLE void cancelDrag();

Q_SIGNALS:
    void bindingChanged();
    void planChanged();
    void dragChanged();

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    void componentComplete() override;

private:
    RoomEditView* view() const;
    void rebind();
    void reload();
    void scheduleReload();

    QString venueAddress = QStringLiteral("://roomdesk/VenueManager/activeVenue");
    Tessel::Qt::ViewLink link;
    QVariantList groupList;
    QVariantList positionList;
    QString hintBefore;
    bool hintShownBefore = false;
    QSize contentBefore;
    bool reloadPending = false;
};

} // namespace Vellaris
