#include "tessel/DragData.h"

namespace Tessel
{

void DragData::addItem(IUnknown* item)
{
    if (item)
        items.push_back(Tessel::retained(item));
}

IUnknown* DragData::getItem(int index) const
{
    return index >= 0 && index < countItems() ? items[size_t(index)].get() : nullptr;
}

void DragData::setImage(const std::string& styleName, double x, double y)
{
    image = styleName;
    hotX = x;
    hotY = y;
}

} // namespace Tessel
