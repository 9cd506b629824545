#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include "tessel_qt/SubjectLink.h"

namespace Tessel
{
class IListModel;
}

namespace Tessel::Qt
{

// QML type "TableItems" (import Tessel 1.0): a framework list model (IListModel) found by skin
// address, as a QAbstractTableModel for a TableView, or for a ListView with one role per column.
//     TableItems { id: presets; address: "://roomdesk/Inspector/speakerPresetsList" }
//     ListView { model: presets
//                delegate: Text { text: name; color: selected ? "white" : "grey"
//                                 MouseArea { anchors.fill: parent
//                                             onClicked: presets.click(index, 0, mouse.modifiers)
//                                             onDoubleClicked: presets.open(index, 0) } } }
// Roles: "display" (the cell's text in a TableView), "selected", "focused", "row", and one role
// per column named after the column's id, carrying that column's value. Header titles come from
// the column titles (headerData, and `columnTitles`). The adapter follows the model: "changed"
// resets it, "rowChanged" updates one row, "selectionChanged" and "focusChanged" update the
// roles of every row.
class ListModelAdapter : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY addressChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY addressChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(QStringList columnTitles READ columnTitles NOTIFY addressChanged)
    Q_PROPERTY(int focusRow READ focusRow WRITE setFocusRow NOTIFY focusChanged)

public:
    enum Role
    {
        SelectedRole = ::Qt::UserRole + 1,
        FocusedRole,
        RowRole,
        FirstColumnRole, // one role per column from here on
    };

    explicit ListModelAdapter(QObject* parent = nullptr);
    ~ListModelAdapter() override;

    QString address() const { return addressText; }
    void setAddress(const QString& address);
    bool valid() const { return model != nullptr; }
    int count() const { return rowCount(); }
    QStringList columnTitles() const;
    int focusRow() const;
    void setFocusRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, ::Qt::Orientation orientation, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // A click on a cell; `modifiers` are Qt's keyboard modifiers (Shift extends the selection,
    // Control toggles the row). False when the cell does not exist.
    Q_INVOKABLE bool click(int row, int column = 0, int modifiers = 0);
    // A double click on a cell.
    Q_INVOKABLE bool open(int row, int column = 0);
    Q_INVOKABLE bool isSelected(int row) const;

Q_SIGNALS:
    void addressChanged();
    void countChanged();
    void focusChanged();
    void selectionChanged();

private:
    void rebind();
    void handle(const Message& msg);
    void rolesChangedEverywhere();

    QString addressText;
    IListModel* model = nullptr; // lives while `link` holds its component
    SubjectLink link;
};

} // namespace Tessel::Qt
