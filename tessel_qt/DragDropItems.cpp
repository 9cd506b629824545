#include "tessel_qt/DragDropItems.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

#include "tessel/Component.h"
#include "tessel/DragSession.h"
#include "tessel/Style.h"
#include "tessel_qt/SkinAddress.h"
#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

namespace
{
template <class I> I* interfaceOf(const QString& address)
{
    Component* component = address.isEmpty() ? nullptr : resolveSkinComponent(address.toStdString());
    if (!component)
        return nullptr;
    if (I* own = unknownCast<I>(static_cast<Object*>(component)))
        return own;
    return component->getExtension<I>();
}

DropPoint toPoint(const QPointF& position)
{
    return {position.x(), position.y()};
}
} // namespace

// --- DropTargetItem --------------------------------------------------------------------------

DropTargetItem::DropTargetItem(QQuickItem* parent) : QQuickItem(parent)
{
    setFlag(ItemAcceptsDrops, true);
}

void DropTargetItem::setComponent(const QString& address)
{
    if (address == componentAddress)
        return;
    componentAddress = address;
    Q_EMIT componentChanged();
}

void DropTargetItem::setState(bool nowInside, bool nowAccepts)
{
    if (nowInside == inside && nowAccepts == accepts)
        return;
    inside = nowInside;
    accepts = nowAccepts;
    Q_EMIT dragStateChanged();
}

void DropTargetItem::dragEnterEvent(QDragEnterEvent* event)
{
    DragSession& session = DragSession::get();
    IDropTarget* target = interfaceOf<IDropTarget>(componentAddress);
    if (!session.isActive() || !target)
    {
        event->ignore();
        return;
    }
    const bool wants = session.moveTo(target, toPoint(event->position()));
    // Accepted in any case, so the moves keep coming: the component may take the drag elsewhere.
    event->setDropAction(wants ? event->proposedAction() : ::Qt::IgnoreAction);
    event->accept();
    setState(true, wants);
}

void DropTargetItem::dragMoveEvent(QDragMoveEvent* event)
{
    DragSession& session = DragSession::get();
    IDropTarget* target = interfaceOf<IDropTarget>(componentAddress);
    if (!session.isActive() || !target)
    {
        event->ignore();
        return;
    }
    const bool wants = session.moveTo(target, toPoint(event->position()));
    event->setDropAction(wants ? event->proposedAction() : ::Qt::IgnoreAction);
    event->accept();
    setState(true, wants);
}

void DropTargetItem::dragLeaveEvent(QDragLeaveEvent* event)
{
    DragSession& session = DragSession::get();
    if (session.isActive() && inside)
        session.moveTo(nullptr, {});
    setState(false, false);
    event->accept();
}

void DropTargetItem::dropEvent(QDropEvent* event)
{
    DragSession& session = DragSession::get();
    IDropTarget* target = interfaceOf<IDropTarget>(componentAddress);
    setState(false, false);
    if (!session.isActive() || !target)
    {
        event->ignore();
        return;
    }
    const bool taken = session.finish(target, toPoint(event->position()));
    event->setDropAction(taken ? event->proposedAction() : ::Qt::IgnoreAction);
    event->setAccepted(taken);
    Q_EMIT dropped(taken);
}

// --- DragSourceHelper ------------------------------------------------------------------------

void DragSourceHelper::setComponent(const QString& address)
{
    if (address == componentAddress)
        return;
    componentAddress = address;
    Q_EMIT componentChanged();
}

bool DragSourceHelper::active() const
{
    return DragSession::get().isActive();
}

QString DragSourceHelper::imageUrl() const
{
    const DragData* data = DragSession::get().getData();
    return data ? QString::fromStdString(Style::get().getImage(data->getImage())) : QString();
}

bool DragSourceHelper::start(const QStringList& itemPaths, const QVariantMap& attributes,
                             const QString& image)
{
    AutoPtr<DragData> data = new DragData;
    for (const QString& path : itemPaths)
        if (Component* item = resolveSkinComponent(path.toStdString()))
            data->addItem(static_cast<Object*>(item));
    for (auto it = attributes.begin(); it != attributes.end(); ++it)
        data->getAttributes().set(it.key().toStdString(), fromQVariant(it.value()));
    if (data->countItems() == 0 && data->getAttributes().isEmpty())
        return false;
    data->setImage(image.toStdString());
    DragSession::get().begin(interfaceOf<IDragSource>(componentAddress), data);
    Q_EMIT activeChanged();
    return true;
}

void DragSourceHelper::endNowhere()
{
    // After a drop on a DropTarget the drag is over already; `active` is announced either way.
    if (DragSession::get().isActive())
        DragSession::get().finish(nullptr, {});
    Q_EMIT activeChanged();
}

void DragSourceHelper::cancel()
{
    if (!DragSession::get().isActive())
        return;
    DragSession::get().cancel();
    Q_EMIT activeChanged();
}

} // namespace Tessel::Qt
