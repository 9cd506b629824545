#include "netsetup/WifiList.h"

#include "netsetup/NetworkSetupManager.h"
#include "netsetup/WifiEntry.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(Wifi, Tessel::Object, "NetworkSetupManager::Wifi")
TESSEL_DEFINE_ABSTRACT_CLASS(WifiListItem, Tessel::Component, "NetworkSetupManager::WifiListItem")
TESSEL_DEFINE_CLASS_NAMED(WifiListModel, Tessel::Component, "NetworkSetupManager::ListModel")

WifiListItem::WifiListItem(int row, Wifi* network, int strengthFrames)
    : Component(std::to_string(row), WifiReport::displayName(network->name)), wifi(network)
{
    Tessel::ParamContainer& params = getParams();
    params.addString("title", 1)->setValue(Tessel::Variant(getTitle()), false);
    params.addParam("common", 2)->setValue(Tessel::Variant(network->common ? 1 : 0), false);
    params.addParam("locked", 3)->setValue(Tessel::Variant(network->locked ? 1 : 0), false);
    params.addFloat(0, 100, "strength", 4)->setValue(Tessel::Variant(double(network->strength)), false);
    params.addInteger(0, strengthFrames - 1, "strengthFrame", 5)
        ->setValue(Tessel::Variant(int64_t(WifiReport::strengthFrame(network->strength, strengthFrames))),
                   false);
}

WifiListModel::WifiListModel() : Component(kObjectName) {}

WifiListModel::~WifiListModel() = default;

void* WifiListModel::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IItemListModel)
    return Component::queryInterface(iid);
}

void WifiListModel::rebuild(const std::vector<Tessel::SharedPtr<Wifi>>& networks)
{
    wifis = networks;
    for (WifiListItem* item : items)
        removeChild(item);
    items.clear();
    anyCommon = false;
    for (const auto& wifi : wifis)
    {
        auto* item = new WifiListItem(int(items.size()), wifi.get(), strengthFrames);
        addChild(item);
        items.push_back(item);
        anyCommon = anyCommon || wifi->common;
    }
    selectedRow = -1;
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

WifiListItem* WifiListModel::getItem(int row) const
{
    return row >= 0 && row < int(items.size()) ? items[size_t(row)] : nullptr;
}

void WifiListModel::setSelectedRow(int row)
{
    const int wanted = getItem(row) ? row : -1;
    if (wanted == selectedRow)
        return;
    selectedRow = wanted;
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

void WifiListModel::setStrengthFrames(int frames)
{
    strengthFrames = frames < 1 ? 1 : frames;
    rebuild(std::vector<Tessel::SharedPtr<Wifi>>(wifis));
}

Tessel::Component* WifiListModel::getRowItem(const Tessel::Variant& row) const
{
    return row.isInt() ? getItem(int(row.asInt())) : nullptr;
}

std::string WifiListModel::getRowPath(int row) const
{
    WifiListItem* item = getItem(row);
    return item ? item->getComponentPath() : std::string();
}

NetworkSetupManager* WifiListModel::getManager() const
{
    return Tessel::classCast<NetworkSetupManager>(getParent());
}

bool WifiListModel::openRow(int row)
{
    WifiListItem* item = getItem(row);
    NetworkSetupManager* manager = getManager();
    if (!item || !manager)
        return false;
    manager->chooseNetwork(item);
    return true;
}

bool WifiListModel::clickRow(int row, const ItemClickEvent&)
{
    return openRow(row);
}

void WifiListModel::collectItems(std::vector<Tessel::SharedPtr<Tessel::Component>>& target,
                                 const IObjectFilter* filter) const
{
    for (WifiListItem* item : items)
        if (!filter || filter->matches(static_cast<Tessel::Object*>(item)))
            target.emplace_back(item);
}

bool WifiListModel::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "count")
        value = Tessel::Variant(int64_t(items.size()));
    else if (propertyName == "anyCommon")
        value = Tessel::Variant(anyCommon);
    else if (propertyName == "selectedRow")
        value = Tessel::Variant(int64_t(selectedRow));
    else if (propertyName == "strengthFrames")
        value = Tessel::Variant(int64_t(strengthFrames));
    else if (propertyName == "columnWidths")
    {
        std::string text;
        for (int width : kColumnWidths)
            text += (text.empty() ? "" : " ") + std::to_string(width);
        value = Tessel::Variant(text);
    }
    else
        return Component::getProperty(propertyName, value);
    return true;
}

} // namespace Vellaris
