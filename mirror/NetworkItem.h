#pragma once

#include <string>

#include "mirror/ItemListModel.h"
#include "mirror/ServerDescription.h"
#include "tessel/Component.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class Parameter;
class StringParam;
} // namespace Tessel

namespace Vellaris::LK
{

class NetworkPresentationManager;

// One device in a network list, built from its ServerDescription. Parameters, in order:
//   "icon" (tag 1)     the image name of the row's picture (a text; the derived item sets it),
//   "name" (tag 2)     the device's model name,
//   "version" (tag 3)  the version part of its announced name,
//   "hostname" (tag 4) the host text (ServerDescription::getHostText),
//   "duplicate" (tag 5) on while another listed device announced the same serial number first
//                       (the row shows a warning; the item has a path of its own all the same).
// Properties: "name" (the model name) and "interfaceType" (low 4 bits).
//
// The item's component name is chosen by the manager that lists it (see itemNameFor); the item is
// a child of that manager while it is listed.
class NetworkItem : public Tessel::Component
{
    TESSEL_DECLARE_CLASS(NetworkItem)
public:
    static constexpr int32_t kIconTag = 1;
    static constexpr int32_t kNameTag = 2;
    static constexpr int32_t kVersionTag = 3;
    static constexpr int32_t kHostNameTag = 4;
    static constexpr int32_t kDuplicateTag = 5;

    explicit NetworkItem(ServerDescription* description = nullptr);

    ServerDescription* getDescription() const { return description.get(); }
    // Replaces the description (retained): stops observing the old one, observes the new one,
    // refreshes "name", "version" and "hostname" and signals "changed".
    void setDescription(ServerDescription* newDescription);

    // The manager that lists the item (not retained), or nullptr while it is in no list.
    NetworkPresentationManager* getOwner() const { return owner; }
    void setOwner(NetworkPresentationManager* newOwner) { owner = newOwner; }

    bool isDuplicate() const;
    void setDuplicate(bool on);

    // The image name that "icon" holds.
    std::string getIcon() const;
    void setIcon(const std::string& imageName);

    // Operations a list calls; the defaults do what a plain device needs.
    // Once per idle tick while the item is listed. Default: nothing.
    virtual void onIdle() {}
    // The user clicked the item's row. Default: nothing.
    virtual void onClick(const ItemClickEvent& event) {}
    // The user opened (double-clicked) the row. Default: nothing.
    virtual void open() {}
    // Whether the item may leave the list now; while false the removal is retried every second.
    virtual bool canRemove() { return true; }
    // The item leaves the list (`shuttingDown` when the whole network goes down). Default: nothing.
    virtual void detach(bool shuttingDown) {}
    // Whether the row may be dragged. Default: true.
    virtual bool canDrag() { return true; }
    // A connection error concerned this device (the library's code). Default: nothing.
    virtual void onError(int code) {}

    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

protected:
    ~NetworkItem() override;

    Tessel::StringParam* iconParam = nullptr;
    Tessel::StringParam* nameParam = nullptr;
    Tessel::StringParam* versionParam = nullptr;
    Tessel::StringParam* hostNameParam = nullptr;
    Tessel::Parameter* duplicateParam = nullptr;

private:
    void showDescription();

    Tessel::SharedPtr<ServerDescription> description;
    NetworkPresentationManager* owner = nullptr;
};

} // namespace Vellaris::LK
