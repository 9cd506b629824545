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
    confirmJoinParam = params.addParam("confirmJoin", 105);
    confirmJoinMessage = params.addString("confirmJoinMessage", 106);
    joinError = params.addString("joinError", 107);
    params.addCommand(kCommandCategory, "Join", "passwordJoin");
    params.addCommand(kCommandCategory, "Cancel", "passwordCancel");
    params.addCommand(kCommandCategory, "ConfirmJoin", "joinConfirm");
    params.addCommand(kCommandCategory, "CancelJoin", "joinConfirmCancel");
    // The password goes to the speakers and nowhere else: not into a file, not back to a remote.
    password->setFlag(Tessel::ParamFlags::kStorable, false);
    password->setFlag(Tessel::ParamFlags::kSecret, true);
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
        // The window has closed: the banner now tells how the join ended.
        if (joinCount.countAsked() > 0)
        {
            joinNetworkMessage->setValue(Tessel::Variant(joinCount.resultText(joiningSsid)), true);
            setJoinReport(true);
        }
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
            speakerArrived(itemOf(msg));
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
    closeQuestion();
    setJoinError({});
    if (!joining)
        setJoinReport(false);
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

NetworkSetupManager::Reach NetworkSetupManager::reachOf(const std::string& name) const
{
    Reach reach;
    for (int i = 0; speakers && i < speakers->countSpeakers(); ++i)
    {
        ++reach.total;
        SpeakerNetworkItem* item = speakers->getSpeaker(i);
        SpeakerComponent* speaker = item ? item->getSpeakerComponent() : nullptr;
        Tessel::IParameter* list = speaker ? speaker->findParameter(kNetworkList) : nullptr;
        for (int index = 0; list && index < list->countEntries(); ++index)
        {
            WifiReport report;
            if (WifiReport::parse(list->getEntry(index), report) && report.name == name)
            {
                ++reach.seeing;
                break;
            }
        }
    }
    return reach;
}

bool NetworkSetupManager::requestJoin()
{
    attachSpeakers();
    closeQuestion();
    if (refuseUnsendable())
        return false;
    const Reach reach = reachOf(getJoinSsid());
    if (reach.seeing >= reach.total)
        return join();
    // The password stays until the question is answered: the join that follows needs it.
    confirmJoinMessage->setValue(
        Tessel::Variant(joinConfirmationText(reach.seeing, reach.total, getJoinSsid())), true);
    confirmJoinParam->setValue(Tessel::Variant(1), true);
    return true;
}

bool NetworkSetupManager::confirmJoin()
{
    if (confirmJoinParam->getValue().asInt() == 0)
        return false; // nothing was asked
    closeQuestion();
    return join();
}

void NetworkSetupManager::cancelJoin()
{
    closeQuestion();
}

void NetworkSetupManager::closeQuestion()
{
    if (confirmJoinParam->getValue().asInt() != 0)
        confirmJoinParam->setValue(Tessel::Variant(0), true);
}

bool NetworkSetupManager::refuseUnsendable()
{
    const std::string refusal = joinRefusal(getJoinSsid(), getJoinPassword());
    setJoinError(refusal);
    if (refusal.empty())
        return false;
    // Nothing is sent: the speakers would get "?" in place of those characters and fail to join
    // without a word. The password is not kept for a second try.
    password->setValue(Tessel::Variant(std::string()), true);
    return true;
}

void NetworkSetupManager::setJoinError(const std::string& text)
{
    if (joinError->getValue().asString() != text)
        joinError->setValue(Tessel::Variant(text), true);
}

void NetworkSetupManager::setJoinReport(bool on)
{
    if (joinReport == on)
        return;
    joinReport = on;
    propertyChanged("hasJoinReport");
}

bool NetworkSetupManager::join()
{
    attachSpeakers();
    closeQuestion();
    if (refuseUnsendable())
        return false;
    std::vector<std::string> asked;
    for (int i = 0; speakers && i < speakers->countSpeakers(); ++i)
        if (SpeakerNetworkItem* item = speakers->getSpeaker(i))
            asked.push_back(item->getSerialNumber());
    if (speakers)
        speakers->requestNetworkChange();
    joiningSsid = getJoinSsid();
    joinCount.start(asked);
    joinNetworkMessage->setValue(Tessel::Variant(joinCount.progressText(joiningSsid)), true);
    propertyChanged("joinMissing");
    joining = true;
    joinedAt = Tessel::GetSystemTicks();
    setJoinReport(false);
    propertyChanged("networkChanging");
    // The speakers have it now; nothing keeps it longer.
    password->setValue(Tessel::Variant(std::string()), true);
    refresh();
    return true;
}

void NetworkSetupManager::speakerArrived(SpeakerNetworkItem* item)
{
    // A speaker asked to join leaves the network and announces itself again on the new one.
    if (!joining || !item || !joinCount.arrived(item->getSerialNumber()))
        return;
    joinNetworkMessage->setValue(Tessel::Variant(joinCount.progressText(joiningSsid)), true);
    propertyChanged("joinMissing");
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
    // Every speaker shows during the setup; outside it placed speakers stay out of the list.
    if (speakers)
        speakers->showEverySpeaker();
    closeQuestion();
    showPassword->setValue(Tessel::Variant(0), true);
    // A closed popup keeps no password.
    if (!password->getValue().asString().empty())
        password->setValue(Tessel::Variant(std::string()), true);
    if (!joining)
        setJoinReport(false);
    listModel->rebuild(wifis);
}

bool NetworkSetupManager::acceptsCommandCategory(const std::string& category) const
{
    return category == kCommandCategory;
}

bool NetworkSetupManager::onJoin(const Tessel::CommandMsg& msg)
{
    return msg.checkOnly || requestJoin();
}

bool NetworkSetupManager::onCancel(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        refresh();
    return true;
}

bool NetworkSetupManager::onConfirmJoin(const Tessel::CommandMsg& msg)
{
    return msg.checkOnly || confirmJoin();
}

bool NetworkSetupManager::onCancelJoin(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        cancelJoin();
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
    else if (propertyName == "hasJoinReport")
        value = Tessel::Variant(joinReport);
    else if (propertyName == "joinMissing")
        value = Tessel::Variant(joinCount.countAsked() - joinCount.countJoined());
    else if (propertyName == "commandRefusal")
        value = Tessel::Variant(joinError->getValue().asString());
    else
        return Component::getProperty(propertyName, value);
    return true;
}

TESSEL_BEGIN_COMMANDS(NetworkSetupManager)
TESSEL_COMMAND("NetworkSetupManager", "Join", NetworkSetupManager::onJoin)
TESSEL_COMMAND("NetworkSetupManager", "Cancel", NetworkSetupManager::onCancel)
TESSEL_COMMAND("NetworkSetupManager", "ConfirmJoin", NetworkSetupManager::onConfirmJoin)
TESSEL_COMMAND("NetworkSetupManager", "CancelJoin", NetworkSetupManager::onCancelJoin)
TESSEL_END_COMMANDS(NetworkSetupManager, Tessel::Component)

} // namespace Vellaris
