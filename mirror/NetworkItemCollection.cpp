#include "mirror/NetworkItemCollection.h"

#include <algorithm>

namespace Vellaris::LK
{

TESSEL_DEFINE_CLASS_NAMED(NetworkItemCollection, Tessel::Component, "NetworkItemCollection")

NetworkItemCollection::NetworkItemCollection() : Component(kObjectName) {}

NetworkItemCollection::~NetworkItemCollection()
{
    if (filter)
        filter->removeObserver(this);
}

void* NetworkItemCollection::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IItemListModel)
    return Component::queryInterface(iid);
}

NetworkItem* NetworkItemCollection::getItemAt(int index) const
{
    if (index < 0 || index >= int(items.size()))
        return nullptr;
    return items[size_t(index)].get();
}

int NetworkItemCollection::indexOf(const NetworkItem* item) const
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == item)
            return int(i);
    return -1;
}

bool NetworkItemCollection::add(NetworkItem* item)
{
    if (!item || contains(item))
        return false;
    items.emplace_back(item);
    signal(Tessel::Message("itemAdded", {Tessel::Variant(static_cast<Tessel::IUnknown*>(item))}));
    signal(Tessel::Message(Tessel::Messages::kChanged));
    return true;
}

bool NetworkItemCollection::remove(NetworkItem* item)
{
    int index = indexOf(item);
    if (index < 0)
        return false;
    // Keep the item alive until the observers have heard of it.
    Tessel::SharedPtr<NetworkItem> keep = items[size_t(index)];
    items.erase(items.begin() + index);
    ++removals;
    signal(Tessel::Message("itemRemoved", {Tessel::Variant(static_cast<Tessel::IUnknown*>(item))}));
    signal(Tessel::Message(Tessel::Messages::kChanged));
    return true;
}

void NetworkItemCollection::removeAll()
{
    // Release last first, the same order in which components release their children.
    while (!items.empty())
        items.pop_back();
}

void NetworkItemCollection::setFilter(Tessel::Object* newFilter)
{
    if (filter)
        filter->removeObserver(this);
    filter = Tessel::retained(newFilter);
    if (filter)
        filter->addObserver(this);
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

bool NetworkItemCollection::passes(NetworkItem* item) const
{
    if (!filter)
        return true;
    IObjectFilter* test = Tessel::unknownCast<IObjectFilter>(static_cast<Tessel::Object*>(filter.get()));
    return !test || test->matches(static_cast<Tessel::Object*>(item));
}

NetworkItem* NetworkItemCollection::rowItem(int row) const
{
    if (row < 0)
        return nullptr;
    int visible = 0;
    for (const auto& item : items)
    {
        if (!passes(item.get()))
            continue;
        if (visible++ == row)
            return item.get();
    }
    return nullptr;
}

int NetworkItemCollection::countRows() const
{
    if (!filter)
        return int(items.size());
    return int(
        std::count_if(items.begin(), items.end(), [this](const auto& item) { return passes(item.get()); }));
}

Tessel::Component* NetworkItemCollection::getRowItem(const Tessel::Variant& row) const
{
    if (!row.isInt())
        return nullptr;
    int64_t index = row.asInt();
    if (index < 0 || index >= int64_t(items.size()))
        return nullptr; // rows never outnumber items
    return rowItem(int(index));
}

std::string NetworkItemCollection::getRowPath(int row) const
{
    NetworkItem* item = rowItem(row);
    return item ? item->getComponentPath() : std::string();
}

std::string NetworkItemCollection::getRowIcon(int row) const
{
    NetworkItem* item = rowItem(row);
    return item ? item->getIcon() : std::string();
}

bool NetworkItemCollection::openRow(int row)
{
    Tessel::SharedPtr<NetworkItem> item = Tessel::retained(rowItem(row));
    if (!item)
        return false;
    item->open();
    return true;
}

bool NetworkItemCollection::clickRow(int row, const ItemClickEvent& event)
{
    Tessel::SharedPtr<NetworkItem> item = Tessel::retained(rowItem(row));
    if (!item)
        return false;
    item->onClick(event);
    return true;
}

Tessel::IUnknown* NetworkItemCollection::dragRow(int row)
{
    NetworkItem* item = rowItem(row);
    if (!item || !item->canDrag())
        return nullptr;
    return static_cast<Tessel::Object*>(item);
}

void NetworkItemCollection::collectItems(std::vector<Tessel::SharedPtr<Tessel::Component>>& target,
                                         const IObjectFilter* test) const
{
    for (const auto& item : items)
        if (!test || test->matches(static_cast<Tessel::Object*>(item.get())))
            target.emplace_back(item.get());
}

bool NetworkItemCollection::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "count")
    {
        value = Tessel::Variant(countRows());
        return true;
    }
    return Component::getProperty(propertyName, value);
}

void NetworkItemCollection::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (filter && subject == static_cast<Tessel::ISubject*>(filter.get()) &&
        msg.is(Tessel::Messages::kChanged))
    {
        signal(Tessel::Message(Tessel::Messages::kChanged));
        return;
    }
    Component::notify(subject, msg);
}

} // namespace Vellaris::LK
