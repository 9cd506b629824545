#pragma once

#include <string>
#include <vector>

#include "mirror/ItemListModel.h"
#include "tessel/Component.h"
#include "tessel/SharedPtr.h"

namespace Vellaris
{

class NetworkSetupManager;

// One Wi-Fi network of the merged list (class name "NetworkSetupManager::Wifi").
class Wifi : public Tessel::Object
{
    TESSEL_DECLARE_CLASS(Wifi)
public:
    std::string name;
    float strength = 0.0f; // the weakest report
    bool locked = false;   // from the first report
    int count = 0;         // how many speakers reported it
    bool common = false;   // reported by every speaker that has a network list
};

// One row of the Wi-Fi list, a component named by its row number below the list, so a delegate
// binds relative to it. Parameters: "title" (the name, cut for display), "common", "locked",
// "strength" (0 … 100) and "strengthFrame" (the frame of the strength picture).
class WifiListItem : public Tessel::Component
{
    TESSEL_DECLARE_CLASS(WifiListItem)
public:
    WifiListItem(int row, Wifi* wifi, int strengthFrames);

    Wifi* getWifi() const { return wifi.get(); }
    bool isCommon() const { return wifi->common; }

private:
    Tessel::SharedPtr<Wifi> wifi;
};

// The Wi-Fi list shown by the setup view, the child "wifiList" of the setup manager: one item per
// network in list order. Its rows are its items (no filter); a click or a double click chooses the
// row's network (the manager opens the password popup).
//
// Properties: "count", "anyCommon" (some item is common), "selectedRow" (-1 for none),
// "strengthFrames" and "columnWidths" (the five column widths, "20 476 40 40 40"). Column 1 holds
// the name (dimmed when not common), 2 the lock, 3 the strength picture, 4 the arrow when common;
// the pictures are the style's "wifiLock", "wifiStrength" and "wifiArrow".
// Signals "changed" after every rebuild and selection change.
class WifiListModel : public Tessel::Component, public IItemListModel
{
    TESSEL_DECLARE_CLASS(WifiListModel)
public:
    static constexpr const char* kObjectName = "wifiList";
    static constexpr int kColumnCount = 5;
    static constexpr int kColumnWidths[kColumnCount] = {20, 476, 40, 40, 40};
    static constexpr int kDefaultStrengthFrames = 4;
    static constexpr const char* kLockImage = "wifiLock";
    static constexpr const char* kStrengthImage = "wifiStrength";
    static constexpr const char* kArrowImage = "wifiArrow";

    WifiListModel();

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }

    // Replaces the items by one per network, in order; clears the selection; signals "changed".
    void rebuild(const std::vector<Tessel::SharedPtr<Wifi>>& wifis);
    WifiListItem* getItem(int row) const;
    bool isAnyCommon() const { return anyCommon; }
    int getSelectedRow() const { return selectedRow; }
    void setSelectedRow(int row);
    // The number of frames of the view's strength picture (at least 1).
    void setStrengthFrames(int frames);
    int getStrengthFrames() const { return strengthFrames; }

    // IItemListModel.
    int countRows() const override { return int(items.size()); }
    Tessel::Component* getRowItem(const Tessel::Variant& row) const override;
    std::string getRowPath(int row) const override;
    std::string getRowIcon(int row) const override { return {}; }
    bool openRow(int row) override;
    bool clickRow(int row, const ItemClickEvent& event) override;
    Tessel::IUnknown* dragRow(int row) override { return nullptr; }
    void collectItems(std::vector<Tessel::SharedPtr<Tessel::Component>>& target,
                      const IObjectFilter* filter = nullptr) const override;

    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

protected:
    ~WifiListModel() override;

private:
    NetworkSetupManager* getManager() const;

    std::vector<WifiListItem*> items; // children
    std::vector<Tessel::SharedPtr<Wifi>> wifis;
    bool anyCommon = false;
    int selectedRow = -1;
    int strengthFrames = kDefaultStrengthFrames;
};

} // namespace Vellaris
