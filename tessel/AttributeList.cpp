#include "tessel/AttributeList.h"

#include "tessel/Attributes.h"

namespace Tessel
{

bool attributeValuesEqual(const Variant& a, const Variant& b);

void* AttributeList::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(AttributeList)
    return Unknown::queryInterface(iid);
}

Attributes* AttributeList::attributesAt(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return items[size_t(index)].asInterface<Attributes>();
}

Attributes* AttributeList::appendAttributes()
{
    Attributes* child = new Attributes;
    items.emplace_back(static_cast<IUnknown*>(child));
    child->release();
    return child;
}

void AttributeList::removeAt(int index)
{
    if (index >= 0 && index < count())
        items.erase(items.begin() + index);
}

bool AttributeList::equals(const AttributeList& other) const
{
    if (items.size() != other.items.size())
        return false;
    for (size_t i = 0; i < items.size(); ++i)
        if (!attributeValuesEqual(items[i], other.items[i]))
            return false;
    return true;
}

} // namespace Tessel
