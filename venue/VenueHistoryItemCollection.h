#pragma once

#include <string>
#include <vector>

#include "tessel/ListModel.h"

namespace Vellaris
{

class VenueHistoryItem;

// The venue list ("HistoryList"): the entries are its children, one row each, in order. Columns:
// "name", "groups", "speakers" (the entry's texts) and "path" (the entry's component path, for a
// view that binds to the entry's parameters). A double click on a row opens that venue. Signals
// "changed" after the rows changed and "rowChanged" when one entry shows something new.
class VenueHistoryItemCollection : public Tessel::ListModel
{
    TESSEL_DECLARE_CLASS(VenueHistoryItemCollection)
public:
    static constexpr const char* kName = "HistoryList";

    VenueHistoryItemCollection();

    // Takes over the caller's reference and appends the entry (signals "changed").
    void append(VenueHistoryItem* item);
    // Drops every entry (signals "changed").
    void clear();
    // Orders the entries by their file names as the folder lists them (ignoring case).
    void sortByName();
    VenueHistoryItem* getItem(int row) const;
    VenueHistoryItem* findItemByUrl(const std::string& url) const;
    int indexOfItem(const VenueHistoryItem* item) const;
    bool isEmpty() const { return items.empty(); }

    int countRows() const override { return int(items.size()); }
    Tessel::Variant getCell(int row, int column) const override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~VenueHistoryItemCollection() override;
    void cellOpened(int row, int column) override;

private:
    std::vector<VenueHistoryItem*> items; // children, in row order
};

} // namespace Vellaris
