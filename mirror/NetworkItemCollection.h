#pragma once

#include <vector>

#include "mirror/ItemListModel.h"
#include "mirror/NetworkItem.h"

namespace Vellaris::LK
{

// The ordered list of network items, shown by list views as the item model "NetworkList" (its
// component name; it is a child of its manager). Items stay in the order in which their devices
// appeared. Views see the items that pass the optional filter; code that asks for "the items"
// (countItems, getItemAt) sees all of them.
//
// The collection signals "itemAdded" / "itemRemoved" (arg: the item) and then "changed" on each
// change, and "changed" when the filter or the filter's answers change.
class NetworkItemCollection : public Tessel::Component, public IItemListModel
{
    TESSEL_DECLARE_CLASS(NetworkItemCollection)
public:
    static constexpr const char* kObjectName = "NetworkList";

    NetworkItemCollection();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // All items, unfiltered.
    int countItems() const { return int(items.size()); }
    NetworkItem* getItemAt(int index) const;
    bool contains(const NetworkItem* item) const { return indexOf(item) >= 0; }
    int indexOf(const NetworkItem* item) const;
    bool isEmpty() const { return items.empty(); }
    // Counts the removals so far: while it stands, every item once seen is still in the list
    // (a walk over many items skips the search for each).
    uint64_t getRemovalCount() const { return removals; }
    // Appends `item` (retained); returns false when it is null or already listed.
    bool add(NetworkItem* item);
    // Removes `item` and releases the list's reference; false when it was not listed.
    bool remove(NetworkItem* item);
    // Removes every item without signalling (the caller announces what it needs).
    void removeAll();

    // The filter object (retained and observed; it must answer IObjectFilter), or null for none.
    void setFilter(Tessel::Object* filter);
    Tessel::Object* getFilter() const { return filter.get(); }

    // IItemListModel: rows are the items that pass the filter.
    int countRows() const override;
    Tessel::Component* getRowItem(const Tessel::Variant& row) const override;
    std::string getRowPath(int row) const override;
    std::string getRowIcon(int row) const override;
    bool openRow(int row) override;
    bool clickRow(int row, const ItemClickEvent& event) override;
    Tessel::IUnknown* dragRow(int row) override;
    void collectItems(std::vector<Tessel::SharedPtr<Tessel::Component>>& target,
                      const IObjectFilter* filter = nullptr) const override;

    // Property "count": the number of rows.
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    // The filter's "changed" makes the rows change.
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~NetworkItemCollection() override;

private:
    uint64_t removals = 0;
    bool passes(NetworkItem* item) const;
    NetworkItem* rowItem(int row) const;

    std::vector<Tessel::SharedPtr<NetworkItem>> items;
    Tessel::SharedPtr<Tessel::Object> filter;
};

} // namespace Vellaris::LK
