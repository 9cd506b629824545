#include "roomdesk/views/RoomEditItem.h"

#include <QDebug>
#include <QVariantMap>

#include "speaker/SpeakerNetworkItem.h"
#include "tessel/DragSession.h"
#include "tessel/Style.h"
#include "venue/RoomEditView.h"
#include "venue/SpeakerPositionComponent.h"
#include "venue/SpeakerRoom.h"

namespace Vellaris
{

RoomEditItem::RoomEditItem(QQuickItem* parent) : QQuickItem(parent) {}

RoomEditItem::~RoomEditItem()
{
    link.clear();
}

RoomEditView* RoomEditItem::view() const
{
    return Tessel::classCast<RoomEditView>(link.getView());
}

void RoomEditItem::setVenue(const QString& address)
{
    if (address == venueAddress)
        return;
    venueAddress = address;
    if (isComponentComplete())
        rebind();
}

void RoomEditItem::componentComplete()
{
    QQuickItem::componentComplete();
    rebind();
}

void RoomEditItem::rebind()
{
    const bool bound = link.bind(venueAddress.toStdString(), RoomEditView::kViewName,
                                 [this](const Tessel::Message& msg)
                                 {
                                     if (msg.is(Tessel::Messages::kChanged))
                                         scheduleReload();
                                     else if (msg.is(RoomEditView::kDragStateChanged) ||
                                              msg.is(Tessel::Messages::kPropertyChanged))
                                         Q_EMIT dragChanged();
                                 });
    if (!bound && !venueAddress.isEmpty())
        qWarning().noquote() << "Unresolved skin address:" << venueAddress << "(no room editor there)";
    if (RoomEditView* editor = view())
        editor->setSize(int(width()), int(height()));
    Q_EMIT bindingChanged();
    reload();
}

void RoomEditItem::scheduleReload()
{
    // The drag state is read at once (it follows the pointer); the cells are rebuilt on the next
    // turn, so a delegate is never destroyed inside its own mouse handler.
    Q_EMIT dragChanged();
    if (reloadPending)
        return;
    reloadPending = true;
    QMetaObject::invokeMethod(
        this, [this] { reload(); }, ::Qt::QueuedConnection);
}

void RoomEditItem::reload()
{
    reloadPending = false;
    const QVariantList groupsBefore = groupList;
    const QVariantList positionsBefore = positionList;
    groupList.clear();
    positionList.clear();
    if (RoomEditView* editor = view())
    {
        for (const auto& group : editor->getGroupViews())
        {
            const PlanRect& frame = group->getFrame();
            groupList.append(QVariantMap{
                {"x", frame.x},
                {"y", frame.y},
                {"width", frame.width},
                {"height", frame.height},
                {"freeX", group->getFreeCell().x - frame.x},
                {"freeY", group->getFreeCell().y - frame.y},
                {"title", QString::fromStdString(group->getTitle())},
                {"type", group->getGroup()->getType()},
                {"nodeImage", QString::fromStdString(Tessel::Style::get().getImage(group->getNodeImage()))}});
        }
        for (SpeakerPositionComponent* position : editor->getPositionViews())
        {
            const PlanRect cell = editor->cellOf(position->getPosition());
            SpeakerNetworkItem* item = position->getSpeaker();
            positionList.append(
                QVariantMap{{"path", QString::fromStdString(position->getComponentPath())},
                            {"x", cell.x},
                            {"y", cell.y},
                            {"serial", QString::fromStdString(position->getPosition()->getSpeakerID())},
                            {"missing", item == nullptr},
                            {"itemPath", item ? QString::fromStdString(item->getComponentPath()) : QString()},
                            {"model", item && item->getDescription()
                                          ? QString::fromStdString(item->getDescription()->name)
                                          : QString()}});
        }
    }
    // Cells are only made anew when something about them changed.
    const QSize contentNow(contentWidth(), contentHeight());
    // The hint too: it comes with the style's image and the room's browser, not only with cells.
    if (groupList != groupsBefore || positionList != positionsBefore || hintText() != hintBefore ||
        contentNow != contentBefore || emptyHint() != hintShownBefore)
    {
        hintBefore = hintText();
        hintShownBefore = emptyHint();
        contentBefore = contentNow;
        Q_EMIT planChanged();
    }
    Q_EMIT dragChanged();
}

void RoomEditItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (RoomEditView* editor = view())
        editor->setSize(int(newGeometry.width()), int(newGeometry.height()));
}

QString RoomEditItem::editor() const
{
    RoomEditView* editor = view();
    return editor ? QString::fromStdString(editor->getComponentPath()) : QString();
}

QString RoomEditItem::room() const
{
    RoomEditView* editor = view();
    return editor && editor->getRoom() ? QString::fromStdString(editor->getRoom()->getComponentPath())
                                       : QString();
}

bool RoomEditItem::swapping() const
{
    return view() && view()->isSwapping();
}

bool RoomEditItem::dragging() const
{
    return view() && view()->getDragHandler().isActive();
}

bool RoomEditItem::sessionActive() const
{
    return Tessel::DragSession::get().isActive();
}

int RoomEditItem::targetX() const
{
    return view() ? view()->getDragHandler().getTarget().x : kNoFreeCell.x;
}

int RoomEditItem::targetY() const
{
    return view() ? view()->getDragHandler().getTarget().y : kNoFreeCell.y;
}

int RoomEditItem::sourceX() const
{
    const SpeakerPosition* dragged = view() ? view()->getDragHandler().getDraggedPosition() : nullptr;
    return dragged ? view()->cellOf(dragged).x : kNoFreeCell.x;
}

int RoomEditItem::sourceY() const
{
    const SpeakerPosition* dragged = view() ? view()->getDragHandler().getDraggedPosition() : nullptr;
    return dragged ? view()->cellOf(dragged).y : kNoFreeCell.y;
}

bool RoomEditItem::emptyHint() const
{
    return view() && view()->showsEmptyHint();
}

QString RoomEditItem::hintImage() const
{
    return view() ? QString::fromStdString(view()->getHintImage()) : QString();
}

QString RoomEditItem::hintText() const
{
    return view() ? QString::fromStdString(view()->getEmptyHintText()) : QString();
}

int RoomEditItem::contentWidth() const
{
    return view() ? view()->getContentWidth() : 0;
}

int RoomEditItem::contentHeight() const
{
    return view() ? view()->getContentHeight() : 0;
}

int RoomEditItem::cellWidth() const
{
    return view() ? view()->getCellWidth() : 142;
}

int RoomEditItem::cellHeight() const
{
    return view() ? view()->getCellHeight() : 176;
}

bool RoomEditItem::startDrag(int index, double hotX, double hotY)
{
    RoomEditView* editor = view();
    if (!editor || index < 0 || index >= int(editor->getPositionViews().size()))
        return false;
    const bool started = editor->startDrag(editor->getPositionViews()[size_t(index)], int(hotX), int(hotY));
    Q_EMIT dragChanged();
    return started;
}

void RoomEditItem::endDrag()
{
    // After a drop on the plan the drag is over already; any other ends here, taken by nobody.
    if (Tessel::DragSession::get().isActive())
        Tessel::DragSession::get().finish(nullptr, {});
    Q_EMIT dragChanged();
}

void RoomEditItem::cancelDrag()
{
    // Broken off (Escape, the window lost the mouse): the speaker stays where it was.
    if (RoomEditView* editor = view())
        editor->cancelDrag();
    else
        Tessel::DragSession::get().cancel();
    Q_EMIT dragChanged();
}

} // namespace Vellaris
