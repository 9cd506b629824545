#include "speaker/SpeakerNetworkManager.h"

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerUndoLocator.h"
#include "speaker/VenueSide.h"
#include "tessel/IParameter.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(SpeakerNetworkManager, LK::NetworkPresentationManager, "SpeakerNetworkManager")

SpeakerNetworkManager::SpeakerNetworkManager(lknet::INetworkManager* network)
    : NetworkPresentationManager(kComponentName, network)
{
    setTitle(kComponentName);
    attach(this);
    undoLocator = std::make_unique<SpeakerUndoLocator>(*this);
}

SpeakerNetworkManager::~SpeakerNetworkManager()
{
    undoLocator.reset();
    detach(this);
}

LK::NetworkItem* SpeakerNetworkManager::createItem(LK::ServerDescription* description)
{
    if (!description || description->deviceType != kSpeakerDeviceType)
        return nullptr;
    SpeakerNetworkItem* item = new SpeakerNetworkItem(description, getNetwork());
    item->setSelectable(itemsSelectable);
    if (SpeakerComponent* speaker = item->getSpeakerComponent())
        if (Tessel::IParameter* solo = speaker->findParameter("solo"))
            solo->enable(false);
    // The item is told of join requests directly, not as an observer of this manager: with a
    // thousand speakers every signal of the manager would reach a thousand items.
    item->setTakesJoinRequests(true);
    if (IVenueSide* venues = findVenueSide(); venues && venues->isShowingNetwork())
        item->setNetworkSetupMode(true);
    return item;
}

void SpeakerNetworkManager::removeItem(LK::NetworkItem* item)
{
    if (SpeakerNetworkItem* speaker = Tessel::classCast<SpeakerNetworkItem>(item))
    {
        if (IVenueSide* venues = findVenueSide())
            venues->speakerGone(speaker->getSerialNumber(), speaker);
    }
    NetworkPresentationManager::removeItem(item);
}

int SpeakerNetworkManager::countSpeakers() const
{
    return getItems().countItems();
}

SpeakerNetworkItem* SpeakerNetworkManager::getSpeaker(int index) const
{
    return Tessel::classCast<SpeakerNetworkItem>(getItems().getItemAt(index));
}

void SpeakerNetworkManager::selectAll(bool selected)
{
    for (int i = 0; i < countSpeakers(); ++i)
        if (SpeakerNetworkItem* item = getSpeaker(i))
            item->setSelected(selected, false);
}

void SpeakerNetworkManager::setItemsSelectable(bool on)
{
    itemsSelectable = on;
    for (int i = 0; i < countSpeakers(); ++i)
        if (SpeakerNetworkItem* item = getSpeaker(i))
            item->setSelectable(on);
}

void SpeakerNetworkManager::setNetworkSetupMode(bool on)
{
    if (on)
    {
        selectAll(true);
        setItemsSelectable(false);
    }
    else
    {
        setItemsSelectable(true);
        selectAll(false);
    }
    networkSetupMode = on;
    if (on)
    {
        showEverySpeaker();
    }
    else
    {
        Tessel::SharedPtr<Tessel::Object> filter = std::move(filterSetAside);
        if (filter && !getItems().getFilter())
            getItems().setFilter(filter.get());
    }
    for (int i = 0; i < countSpeakers(); ++i)
        if (SpeakerNetworkItem* item = getSpeaker(i); item && item->getSpeakerComponent())
            item->setNetworkSetupMode(on);
}

void SpeakerNetworkManager::showEverySpeaker()
{
    if (!networkSetupMode)
        return;
    if (Tessel::Object* filter = getItems().getFilter())
    {
        filterSetAside = Tessel::retained(filter);
        getItems().setFilter(nullptr);
    }
}

SpeakerNetworkItem* SpeakerNetworkManager::findItemBySerial(const std::string& serial) const
{
    for (int i = 0; i < countSpeakers(); ++i)
    {
        SpeakerNetworkItem* item = getSpeaker(i);
        if (item && item->getDescription() && item->getDescription()->serialNumber == serial)
            return item;
    }
    return nullptr;
}

SpeakerNetworkItem* SpeakerNetworkManager::findItemByComponent(const SpeakerComponent* speaker) const
{
    if (!speaker)
        return nullptr;
    for (int i = 0; i < countSpeakers(); ++i)
    {
        SpeakerNetworkItem* item = getSpeaker(i);
        if (item && item->getSpeakerComponent() == speaker)
            return item;
    }
    return nullptr;
}

void SpeakerNetworkManager::requestNetworkChange()
{
    for (int i = 0; i < countSpeakers(); ++i)
        if (SpeakerNetworkItem* item = getSpeaker(i); item && item->takesJoinRequests())
            item->sendNetworkChangeRequest();
}

} // namespace Vellaris
