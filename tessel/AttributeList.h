#pragma once

#include <vector>

#include "tessel/Unknown.h"
#include "tessel/Variant.h"

namespace Tessel
{

class Attributes;

// An ordered list of Variants, the list value inside an Attributes dictionary (a JSON array).
// Reference counted like Attributes.
class AttributeList : public Unknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0002, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02};

    AttributeList() = default;
    void* queryInterface(const UID& iid) override;

    int count() const { return int(items.size()); }
    bool isEmpty() const { return items.empty(); }
    const Variant& at(int index) const { return items[size_t(index)]; }
    // The dictionary at `index` (borrowed), or nullptr when the item is not one.
    Attributes* attributesAt(int index) const;

    void append(const Variant& value) { items.push_back(value); }
    // Creates, appends and returns a new dictionary (borrowed).
    Attributes* appendAttributes();
    void removeAt(int index);
    void removeAll() { items.clear(); }

    // Same length and equal items; nested dictionaries and lists compare deeply.
    bool equals(const AttributeList& other) const;

private:
    std::vector<Variant> items;
};

} // namespace Tessel
