#include "venue/VenueHistoryItemCollection.h"

#include <algorithm>
#include <cctype>

#include "tessel/FileUtilities.h"
#include "tessel/IParameter.h"
#include "venue/VenueHistoryItem.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(VenueHistoryItemCollection, Tessel::ListModel)

namespace
{
enum Column
{
    kNameColumn,
    kGroupsColumn,
    kSpeakersColumn,
    kPathColumn,
};

// The folder listing's order: by name ignoring ASCII case, then byte order.
bool lessByFileName(const VenueHistoryItem* a, const VenueHistoryItem* b)
{
    const std::string& x = a->getName();
    const std::string& y = b->getName();
    const bool less = std::lexicographical_compare(
        x.begin(), x.end(), y.begin(), y.end(),
        [](char p, char q) { return std::tolower((unsigned char)p) < std::tolower((unsigned char)q); });
    const bool greater = std::lexicographical_compare(
        y.begin(), y.end(), x.begin(), x.end(),
        [](char p, char q) { return std::tolower((unsigned char)p) < std::tolower((unsigned char)q); });
    return less || (!greater && x < y);
}
} // namespace

VenueHistoryItemCollection::VenueHistoryItemCollection() : Tessel::ListModel(kName)
{
    addColumn("name", "Name");
    addColumn("groups", "Groups");
    addColumn("speakers", "Speakers");
    addColumn("path", "");
}

VenueHistoryItemCollection::~VenueHistoryItemCollection()
{
    for (VenueHistoryItem* item : items)
        item->removeObserver(this);
}

void VenueHistoryItemCollection::append(VenueHistoryItem* item)
{
    if (!item || !addChild(item))
        return;
    items.push_back(item);
    item->addObserver(this);
    rowsChanged();
}

void VenueHistoryItemCollection::clear()
{
    std::vector<VenueHistoryItem*> gone;
    gone.swap(items);
    for (VenueHistoryItem* item : gone)
    {
        item->removeObserver(this);
        item->forgetManager();
        removeChild(item);
    }
    rowsChanged();
}

void VenueHistoryItemCollection::sortByName()
{
    std::stable_sort(items.begin(), items.end(), lessByFileName);
    rowsChanged();
}

VenueHistoryItem* VenueHistoryItemCollection::getItem(int row) const
{
    return row >= 0 && row < countRows() ? items[size_t(row)] : nullptr;
}

VenueHistoryItem* VenueHistoryItemCollection::findItemByUrl(const std::string& url) const
{
    for (VenueHistoryItem* item : items)
        if (item->getUrl() == url)
            return item;
    return nullptr;
}

int VenueHistoryItemCollection::indexOfItem(const VenueHistoryItem* item) const
{
    auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : int(found - items.begin());
}

Tessel::Variant VenueHistoryItemCollection::getCell(int row, int column) const
{
    VenueHistoryItem* item = getItem(row);
    if (!item)
        return {};
    switch (column)
    {
    case kNameColumn:
        return Tessel::Variant(item->getVenueName());
    case kGroupsColumn:
        return item->findParameter("groups")->getValue();
    case kSpeakersColumn:
        return item->findParameter("speakers")->getValue();
    case kPathColumn:
        return Tessel::Variant(item->getComponentPath());
    default:
        return {};
    }
}

void VenueHistoryItemCollection::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is(Tessel::Messages::kChanged))
        for (size_t i = 0; i < items.size(); ++i)
            if (static_cast<Tessel::ISubject*>(items[i]) == subject)
            {
                rowChanged(int(i));
                return;
            }
    ListModel::notify(subject, msg);
}

void VenueHistoryItemCollection::cellOpened(int row, int column)
{
    if (VenueHistoryItem* item = getItem(row))
        item->findParameter("loadVenue")->setValue(Tessel::Variant(1), true);
}

} // namespace Vellaris
