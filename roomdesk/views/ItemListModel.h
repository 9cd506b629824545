#pragma once

#include <QAbstractListModel>

#include "tessel/SharedPtr.h"
#include "tessel_qt/SubjectLink.h"

namespace Tessel
{
class Component;
} // namespace Tessel

namespace Vellaris
{

class IItemListModel;

// QML type "ItemList" (import Roomdesk 1.0): the rows of an item model of the component tree
// ("://roomdesk/SpeakerNetwork/NetworkList") for a ListView. Roles:
//   path  the row item's component path, to use as `base` of the delegate's bindings
//   icon  the row's picture name ("SpeakerIcon:TX10A")
// The list reloads when the model signals "changed". click() and open() pass the user's gestures
// on to the model.
class ItemListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY addressChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY addressChanged)

public:
    enum Role
    {
        PathRole = ::Qt::UserRole + 1,
        IconRole,
    };

    explicit ItemListModel(QObject* parent = nullptr);
    ~ItemListModel() override;

    QString address() const { return addressText; }
    void setAddress(const QString& address);
    int count() const { return rowCount(); }
    bool valid() const { return model != nullptr; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // A click on `row`; `extend` reports Shift held (add to the selection).
    Q_INVOKABLE bool click(int row, bool extend = false);
    // A double click on `row`.
    Q_INVOKABLE bool open(int row);
    // Whether the row's item may be dragged now (a speaker only onto an unlocked room's plan).
    Q_INVOKABLE bool canDrag(int row) const;
    // The row whose item has component path `path`, or -1.
    Q_INVOKABLE int indexOfPath(const QString& path) const;

Q_SIGNALS:
    void addressChanged();
    void countChanged();

private:
    void rebind();
    void unbind();
    void reload();

    QString addressText;
    IItemListModel* model = nullptr;
    bool reloadPending = false;
    Tessel::Qt::SubjectLink link; // the model's component, retained while shown
};

} // namespace Vellaris
