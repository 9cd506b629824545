#include "netsetup/NetworkSetupManager.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "netsetup/WifiEntry.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/CommandParam.h"
#include "tessel/IParameter.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(NetworkSetupManager, Tessel::Component, "NetworkSetupManager")

namespace
{
constexpr const char* kNetworkList = "networklist";

Tessel::ISubject* subjectOf(Tessel::IParameter* param)
{
    return Tessel::unknownCast<Tessel::ISubject>(param);
}

SpeakerNetworkItem* itemOf(const Tessel::Message& msg)
{
    if (msg.getArgCount() < 1)
        return nullptr;
    return Tessel::classCast<SpeakerNetworkItem>(
        Tessel::unknownCast<Tessel::Object>(msg.getArg(0).asObject()));
}

// The best choice on top: common networks, then strength from strongest, then name.
bool listsBefore(const Tessel::SharedPtr<Wifi>& a, const Tessel::SharedPtr<Wifi>& b)
{
    if (a->common != b->common)
        return a->common;
    if (a->strength != b->strength)
        return a->strength > b->strength;
    return a->name < b->name;
}
} // namespace

NetworkSetupManager::NetworkSetupManager()
    : Tessel::Component("NetworkSetupManager", "NetworkSetupManager"), timer([this] { onTimer(); })
{
    Tessel::ParamContainer& params = getParams();
    showPassword = params.addParam("showPassword", 100);
    ssid = params.addString("ssid", 101);
    password = params.addString("password", 102);
    needsPassword = params.addParam("needsPassword", 103);
    joinNetworkMessage = params.addString("joinNetworkMessage", 104);
    params.addCommand(kCommandCategory, "Join", "passwordJoin");
    params.addCommand(kCommandCategory, "Cancel", "passwordCancel");
    // Whatever the storage does with the other parameters, the password never goes into a file.
    password->setFlag(Tessel::ParamFlags::kStorable, false);
    listModel = new WifiListModel;
    addChild(listModel);
    attach(this);
    startTimer();
}

NetworkSetupManager::~NetworkSetupManager()
{
    timer.stop();
    detachSpeakers();
    detach(this);
}

void* NetworkSetupManager::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IWifiSetup)
    return Component::queryInterface(iid);
}

bool NetworkSetupManager::initialize(Tessel::IUnknown* context)
{
    if (!timer.isRegistered())
        startTimer();
    attachSpeakers();
    return Component::initialize(context);
}

bool NetworkSetupManager::terminate()
{
    timer.stop();
    detachSpeakers();
    return Component::terminate();
}

void NetworkSetupManager::attachSpeakers()
{
    if (speakers)
        return;
    // Never create the speaker list here: it belongs to the start-up, which starts the network.
    auto* found = Tessel::classCast<SpeakerNetworkManager>(
        Tessel::getRootComponent()->findChild(SpeakerNetworkManager::kComponentName));
    if (!found)
        return;
    speakers = Tessel::SharedPtr<SpeakerNetworkManager>(found);
    speakers->addObserver(this);
    for (int i = 0; i < speakers->countSpeakers(); ++i)
        watchSpeaker(speakers->getSpeaker(i), false);
    if (!watched.empty())
        scheduleRebuild();
}

void NetworkSetupManager::detachSpeakers()
{
    for (Watched& entry : watched)
        if (entry.networkList)
            subjectOf(entry.networkList.get())->removeObserver(this);
    watched.clear();
    if (speakers)
        speakers->removeObserver(this);
    speakers = nullptr;
}

void NetworkSetupManager::watchSpeaker(SpeakerNetworkItem* item, bool isNew)
{
    if (!item)
        return;
    for (const Watched& entry : watched)
        if (entry.item.get() == item)
            return;
    Watched entry;
    entry.item = Tessel::SharedPtr<SpeakerNetworkItem>(item);
    SpeakerComponent* speaker = item->getSpeakerComponent();
    if (Tessel::IParameter* list = speaker ? speaker->findParameter(kNetworkList) : nullptr)
    {
        entry.networkList = Tessel::retained(list);
        subjectOf(list)->addObserver(this);
    }
    watched.push_back(std::move(entry));
    // A speaker that arrives during the setup winks once too, although single selections are
    // locked then.
    if (isNew && !item->isSelectable())
    {
        item->setSelectable(true);
        item->setSelected(true, false);
        item->setSelectable(false);
    }
}

void NetworkSetupManager::unwatchSpeaker(SpeakerNetworkItem* item)
{
    for (auto it = watched.begin(); it != watched.end(); ++it)
    {
        if (it->item.get() != item)
            continue;
        if (it->networkList)
            subjectOf(it->networkList.get())->removeObserver(this);
        watched.erase(it);
        return;
    }
}

void NetworkSetupManager::scheduleRebuild()
{
    if (rebuildPending)
        return;
    rebuildPending = true;
    refreshAt = Tessel::GetSystemTicks() + kRebuildDelayMs;
}

void NetworkSetupManager::startTimer()
{
    // Until the speaker list is found the timer looks for it on every idle turn, so that the list
    // is watched before its first speaker can appear; then it ticks every kTimerMs.
    timer.start(speakers ? kTimerMs : 0, true);
}

void NetworkSetupManager::onTimer()
{
    if (!speakers)
    {
        attachSpeakers();
        if (speakers)
            startTimer();
    }
    const int64_t now = Tessel::GetSystemTicks();
    if (rebuildPending && now >= refreshAt)
    {
        rebuildPending = false;
        refreshAt = 0;
        rebuildList();
    }
    if (joining && now - joinedAt > kJoinMessageMs)
    {
        joining = false;
        joinedAt = 0;
        propertyChanged("networkChanging");
    }
}

void NetworkSetupManager::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (speakers && subject == static_cast<Tessel::ISubject*>(speakers.get()))
    {
        if (msg.is("itemAdded"))
        {
            watchSpeaker(itemOf(msg), true);
            scheduleRebuild();
        }
        else if (msg.is("itemRemoved"))
        {
            unwatchSpeaker(itemOf(msg));
            scheduleRebuild();
        }
        return;
    }
    for (const Watched& entry : watched)
    {
        if (entry.networkList && subject == subjectOf(entry.networkList.get()))
        {
            if (msg.is(Tessel::Messages::kChanged))
                scheduleRebuild();
            return;
        }
    }
    Component::notify(subject, msg);
}

Wifi* NetworkSetupManager::findWifi(const std::string& name) const
{
    for (const auto& wifi : wifis)
        if (wifi->name == name)
            return wifi.get();
    return nullptr;
}

void NetworkSetupManager::rebuildList()
{
    attachSpeakers();
    wifis.clear();
    std::unordered_map<std::string, Tessel::SharedPtr<Wifi>> wifiByName;
    int reporting = 0;
    for (int i = 0; speakers && i < speakers->countSpeakers(); ++i)
    {
        SpeakerNetworkItem* item = speakers->getSpeaker(i);
        SpeakerComponent* speaker = item ? item->getSpeakerComponent() : nullptr;
        Tessel::IParameter* list = speaker ? speaker->findParameter(kNetworkList) : nullptr;
        if (!list)
            continue;
        ++reporting;
        // A speaker that lists a network twice still counts once for it, or a network that only
        // one of two speakers sees would pass for common.
        std::unordered_set<std::string> seen;
        for (int index = 0; index < list->countEntries(); ++index)
        {
            const std::string entry = list->getEntry(index);
            WifiReport report;
            if (entry.empty() || !WifiReport::parse(entry, report) || report.name.empty())
                continue;
            auto found = wifiByName.find(report.name);
            if (found == wifiByName.end())
            {
                auto wifi = Tessel::adopt(new Wifi);
                wifi->name = report.name;
                wifi->strength = report.strength;
                wifi->locked = report.locked;
                found = wifiByName.emplace(report.name, wifi).first;
            }
            else
            {
                found->second->strength = std::min(found->second->strength, report.strength);
            }
            if (seen.insert(report.name).second)
                ++found->second->count;
        }
    }
    for (auto& [name, wifi] : wifiByName)
    {
        wifi->common = wifi->count == reporting;
        wifis.push_back(wifi);
    }
    std::sort(wifis.begin(), wifis.end(), listsBefore);
    listModel->rebuild(wifis);
    propertyChanged("hasWifi");
}

void NetworkSetupManager::chooseNetwork(WifiListItem* item)
{
    if (!item || !item->getWifi())
        return;
    Wifi* wifi = item->getWifi();
    for (int row = 0; row < listModel->countRows(); ++row)
        if (listModel->getItem(row) == item)
            listModel->setSelectedRow(row);
    ssid->setValue(Tessel::Variant(wifi->name), true);
    needsPassword->setValue(Tessel::Variant(wifi->locked ? 1 : 0), true);
    showPassword->setValue(Tessel::Variant(1), true);
    password->setValue(Tessel::Variant(std::string()), true);
    if (wifi->locked)
        signal(Tessel::Message("requestFocus", {Tessel::Variant("password")}));
}

void NetworkSetupManager::join()
{
    attachSpeakers();
    if (speakers)
        speakers->requestNetworkChange();
    joinNetworkMessage->setValue(Tessel::Variant(kJoinMessagePrefix + getJoinSsid() + " ..."), true);
    joining = true;
    joinedAt = Tessel::GetSystemTicks();
    propertyChanged("networkChanging");
    // The speakers have it now; nothing keeps it longer.
    password->setValue(Tessel::Variant(std::string()), true);
    refresh();
}

std::string NetworkSetupManager::getJoinSsid() const
{
    return ssid->getValue().asString();
}

std::string NetworkSetupManager::getJoinPassword() const
{
    return password->getValue().asString();
}

void NetworkSetupManager::refresh()
{
    attachSpeakers();
    if (speakers)
        speakers->getItems().setFilter(nullptr);
    showPassword->setValue(Tessel::Variant(0), true);
    listModel->rebuild(wifis);
}

bool NetworkSetupManager::acceptsCommandCategory(const std::string& category) const
{
    return category == kCommandCategory;
}

bool NetworkSetupManager::onJoin(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        join();
    return true;
}

bool NetworkSetupManager::onCancel(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        refresh();
    return true;
}

bool NetworkSetupManager::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "hasWifi")
        value = Tessel::Variant(!wifis.empty());
    else if (propertyName == "anyCommonWifi")
        value = Tessel::Variant(listModel->isAnyCommon());
    else if (propertyName == "networkChanging")
        value = Tessel::Variant(joining);
    else
        return Component::getProperty(propertyName, value);
    return true;
}

TESSEL_BEGIN_COMMANDS(NetworkSetupManager)
TESSEL_COMMAND("NetworkSetupManager", "Join", NetworkSetupManager::onJoin)
TESSEL_COMMAND("NetworkSetupManager", "Cancel", NetworkSetupManager::onCancel)
TESSEL_END_COMMANDS(NetworkSetupManager, Tessel::Component)

} // namespace Vellaris
