#include "venue/SpeakerPosition.h"

#include <utility>
#include <vector>

#include "mirror/ClientRootComponent.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/ComponentStorage.h"
#include "tessel/IParameter.h"
#include "tessel/Message.h"
#include "tessel/UndoHistory.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(SpeakerPosition, Tessel::Object)

namespace
{
struct StoredValue
{
    Tessel::Component* owner;
    Tessel::IParameter* param;
    Tessel::Variant before;
};

void collectStorable(Tessel::Component& component, std::vector<StoredValue>& out)
{
    for (int i = 0; i < component.countParameters(); ++i)
    {
        Tessel::IParameter* param = component.getParameterAt(i);
        if (param->isFlag(Tessel::ParamFlags::kStorable))
            out.push_back({&component, param, param->getValue()});
    }
    for (int i = 0; i < component.countChildren(); ++i)
        collectStorable(*component.getChild(i), out);
}
} // namespace

SpeakerPosition::SpeakerPosition(const std::string& speakerID, int x, int y)
    : speakerID(speakerID), locationX(x), locationY(y)
{
}

SpeakerPosition::~SpeakerPosition() = default;

SpeakerComponent* SpeakerPosition::getSpeakerComponent() const
{
    return speaker ? speaker->getSpeakerComponent() : nullptr;
}

void SpeakerPosition::takeSnapshot()
{
    SpeakerComponent* component = getSpeakerComponent();
    if (!component)
        return;
    speakerState.removeAll();
    Tessel::ComponentStorage::store(*component, speakerState);
}

void SpeakerPosition::setSpeaker(SpeakerNetworkItem* item, bool applyStored)
{
    if (!item)
        takeSnapshot();
    speaker = Tessel::retained(item);
    if (!item)
        return;
    speakerID = item->getSerialNumber();
    if (applyStored)
        applyStoredState();
}

void SpeakerPosition::setOffline(const std::string& since, const std::string& name)
{
    if (since == offlineSince && name == offlineName)
        return;
    offlineSince = since;
    offlineName = name;
    signal(
        Tessel::Message(Tessel::Messages::kPropertyChanged, {Tessel::Variant(std::string("offlineSince"))}));
}

std::string SpeakerPosition::nameOf(SpeakerNetworkItem* item)
{
    if (!item)
        return {};
    std::string name;
    if (SpeakerComponent* component = item->getSpeakerComponent())
        if (Tessel::IParameter* nickname = component->findParameter("nickname"))
            name = nickname->toString();
    if (name.empty() && item->getDescription())
        name = item->getDescription()->name;
    const std::string serial = item->getSerialNumber();
    return name.empty() ? serial : name + " " + serial;
}

void SpeakerPosition::applyStoredState()
{
    SpeakerComponent* component = getSpeakerComponent();
    if (!component)
        return;
    // The venue recalling a speaker is not an edit of this desk's user.
    Tessel::UndoHistory::Suspend recall;
    std::vector<StoredValue> values;
    collectStorable(*component, values);
    Tessel::ComponentStorage::restore(*component, speakerState);
    component->restoreFinished();
    // A speaker that has just appeared still shows the model's defaults until its own state
    // arrives: a stored value equal to them changes nothing here, so it is sent all the same, or
    // the device would keep whatever it had.
    if (LK::ClientRootComponent* root = LK::RemoteComponent::findClientRoot(component))
        for (const StoredValue& value : values)
            if (value.param->getValue() == value.before)
                root->remoteParamChanged(value.owner, value.param);
    if (Tessel::IParameter* solo = component->findParameter("solo"))
        solo->enable(true);
}

void SpeakerPosition::save(Tessel::Attributes& into) const
{
    into.setString("speakerID", speakerID);
    into.setInt("locationX", locationX);
    into.setInt("locationY", locationY);
    Tessel::Attributes* state = into.newAttributes("speaker");
    if (SpeakerComponent* component = getSpeakerComponent())
        Tessel::ComponentStorage::store(*component, *state);
    else
        *state = speakerState;
}

void SpeakerPosition::load(const Tessel::Attributes& from)
{
    speakerID = from.getString("speakerID");
    locationX = int(from.getInt("locationX"));
    locationY = int(from.getInt("locationY"));
    speakerState.removeAll();
    if (const Tessel::Attributes* state = from.getAttributes("speaker"))
        speakerState = *state;
}

} // namespace Vellaris
