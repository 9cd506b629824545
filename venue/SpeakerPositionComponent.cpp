#include "venue/SpeakerPositionComponent.h"

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/AliasParam.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"
#include "venue/VenueUndo.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(SpeakerPositionComponent, Tessel::Component)
TESSEL_DEFINE_CLASS_NAMED(SpeakerPositionComponent::SpeakerNotFoundComponent, Tessel::Component,
                          "SpeakerPositionComponent::SpeakerNotFoundComponent")

namespace
{
constexpr const char* kRemoveMessage = "removeFromRoom";

// The room of the open venue that holds `position`, or nullptr.
SpeakerRoom* roomHolding(const SpeakerPosition* position)
{
    VenueManager* manager = VenueManager::instance();
    Venue* venue = manager ? manager->getVenue() : nullptr;
    if (!venue || !position)
        return nullptr;
    for (int i = 0; i < venue->countRooms(); ++i)
        for (SpeakerPosition* candidate : venue->getRoom(i)->allPositions())
            if (candidate == position)
                return venue->getRoom(i);
    return nullptr;
}
} // namespace

// --- SpeakerNotFoundComponent ------------------------------------------------------------------

SpeakerPositionComponent::SpeakerNotFoundComponent::SpeakerNotFoundComponent()
    : Tessel::Component(kSpeakerChild)
{
    getParams().addParam("removeFromRoom", kRemoveFromRoomTag);
}

void SpeakerPositionComponent::SpeakerNotFoundComponent::paramChanged(Tessel::IParameter* param)
{
    if (param->getTag() != kRemoveFromRoomTag)
        return;
    param->setValue(Tessel::Variant(0), false);
    deferMessage(Tessel::Message(kRemoveMessage));
}

void SpeakerPositionComponent::SpeakerNotFoundComponent::notify(Tessel::ISubject* subject,
                                                                const Tessel::Message& msg)
{
    if (!msg.is(kRemoveMessage))
        return Component::notify(subject, msg);
    if (SpeakerRoom* room = roomHolding(position.get()))
    {
        VenueLayoutEdit edit(room->getVenue(), "Remove Speaker " + position->getSpeakerID());
        room->removeSerial(position->getSpeakerID());
        if (Venue* venue = room->getVenue())
        {
            venue->setLastChange(Tessel::GetSystemTicks());
            venue->placementChanged();
        }
    }
}

// --- SpeakerPositionComponent ------------------------------------------------------------------

SpeakerPositionComponent::SpeakerPositionComponent() : SpeakerPositionComponent({}, nullptr) {}

SpeakerPositionComponent::SpeakerPositionComponent(const std::string& name, SpeakerPosition* shown)
    : Tessel::Component(name), position(Tessel::retained(shown))
{
    SpeakerComponent* speaker = shown ? shown->getSpeakerComponent() : nullptr;
    hilite =
        getParams().addAlias(speaker ? speaker->findParameter("selected") : nullptr, "hilite", kHiliteTag);
    placeholder = new SpeakerNotFoundComponent;
    placeholder->setPosition(shown);
    addChild(placeholder);
    if (shown)
        shown->addObserver(this);
}

SpeakerPositionComponent::~SpeakerPositionComponent()
{
    if (position)
        position->removeObserver(this);
}

void SpeakerPositionComponent::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (position && subject == static_cast<Tessel::ISubject*>(position.get()))
    {
        if (msg.is(Tessel::Messages::kPropertyChanged))
            propertyChanged("offlineSince");
        return;
    }
    Component::notify(subject, msg);
}

Tessel::IParameter* SpeakerPositionComponent::getHilite() const
{
    return hilite;
}

Tessel::Component* SpeakerPositionComponent::findChild(const std::string& childName) const
{
    if (childName == kSpeakerChild)
    {
        if (SpeakerNetworkItem* item = getSpeaker())
            return item;
        return placeholder;
    }
    return Component::findChild(childName);
}

bool SpeakerPositionComponent::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    SpeakerNetworkItem* item = getSpeaker();
    if (propertyName == "speakerNotFound")
        value = item == nullptr;
    else if (propertyName == "hiliteState")
        value = std::string(hilite->getValue().asDouble() != 0 ? "hilite" : "normal");
    else if (propertyName == "serial")
        value = position ? position->getSpeakerID() : std::string();
    else if (propertyName == "model")
        value = item && item->getDescription() ? item->getDescription()->name : std::string();
    else if (propertyName == "offlineSince")
        value = position ? position->getOfflineSince() : std::string();
    else if (propertyName == "itemPath")
        value = item ? item->getComponentPath() : std::string();
    else
        return Component::getProperty(propertyName, value);
    return true;
}

} // namespace Vellaris
