#pragma once

#include <string>
#include <vector>

#include "tessel/Parameter.h"

namespace Tessel
{

// A list parameter (type 4): an integer index into an ordered list of entry texts. The range is
// always 0 to count-1 (0 to 0 when empty). Its text is the selected entry's text; setting it from
// text selects the first entry with exactly that text, or else reads an index number.
class ListParam : public Parameter
{
    TESSEL_DECLARE_CLASS(ListParam)
public:
    explicit ListParam(const std::string& name = {});

    int countEntries() const override { return int(entries.size()); }
    // The entry at `index`, or "" when out of range.
    std::string getEntry(int index) const override;
    void clearEntries() override;
    void appendEntry(const std::string& text) override;
    // The range follows the entries; these do nothing.
    void setMin(const Variant& minimum) override {}
    void setMax(const Variant& maximum) override {}
    std::string valueToString(const Variant& value) const override;
    bool fromString(const std::string& text, bool notify = true) override;

    // Replaces all entries at once (one "changed").
    void setEntries(const std::vector<std::string>& texts);
    const std::vector<std::string>& getEntries() const { return entries; }
    // Index of the first entry equal to `text`, or -1.
    int findEntry(const std::string& text) const;

protected:
    // Reads an entry text as its index, else a number.
    bool scanPlain(const std::string& text, double& number) const override;

private:
    void entriesChanged();

    std::vector<std::string> entries;
};

} // namespace Tessel
