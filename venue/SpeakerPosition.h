#pragma once

#include <string>

#include "speaker/SpeakerNetworkItem.h"
#include "tessel/Attributes.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Vellaris
{

class SpeakerComponent;

// One place on a room's floor plan, naming one physical speaker by its serial number. While the
// speaker is on the network the position holds its item; the position always keeps a copy of the
// speaker's settings, so a speaker that leaves and returns gets back what it had.
//
// Stored keys: "speakerID" (text), "locationX", "locationY" (integers), "speaker" (the speaker
// component's storage tree). GUI thread only.
class SpeakerPosition : public Tessel::Object
{
    TESSEL_DECLARE_CLASS(SpeakerPosition)
public:
    SpeakerPosition() = default;
    explicit SpeakerPosition(const std::string& speakerID, int x = 0, int y = 0);

    const std::string& getSpeakerID() const { return speakerID; }
    void setSpeakerID(const std::string& id) { speakerID = id; }
    int getLocationX() const { return locationX; }
    int getLocationY() const { return locationY; }
    void setLocation(int x, int y)
    {
        locationX = x;
        locationY = y;
    }

    // The live speaker, or nullptr while it is off the network. Borrowed.
    SpeakerNetworkItem* getSpeaker() const { return speaker.get(); }
    // The live speaker's component, or nullptr.
    SpeakerComponent* getSpeakerComponent() const;
    // The settings copy: the speaker component's storage tree as last taken.
    const Tessel::Attributes& getSpeakerState() const { return speakerState; }
    void setSpeakerState(const Tessel::Attributes& state) { speakerState = state; }

    // Binds the position to `item` or, with nullptr, unbinds it after taking a snapshot of the
    // live speaker's settings. Binding takes the item's serial number; with `applyStored` the
    // speaker component gets the stored settings (every storable value missing from them goes to
    // its default) and its "solo" is enabled.
    void setSpeaker(SpeakerNetworkItem* item, bool applyStored);
    // Pushes the settings copy onto the live speaker (nothing while unbound).
    void applyStoredState();

    // The offline alarm of a speaker that was on the network while the venue was open and left:
    // the local time it left ("21:14:03") and the name it had then ("TX20A 100000003"), both ""
    // while it is on the network or has not been seen since the venue opened. Not stored: a venue
    // opened anew starts without alarms. Each change signals "propertyChanged" ("offlineSince").
    const std::string& getOfflineSince() const { return offlineSince; }
    const std::string& getOfflineName() const { return offlineName; }
    void setOffline(const std::string& since, const std::string& name);
    // The name a live speaker goes by on screen: its nickname, else its model, then its serial number.
    static std::string nameOf(SpeakerNetworkItem* item);

    // Writes the stored keys; the live speaker's current settings when bound, else the copy.
    void save(Tessel::Attributes& into) const;
    // Reads the stored keys from an already checked attribute set ("speaker" that is not an
    // attribute set is ignored). The live link is not touched.
    void load(const Tessel::Attributes& from);

protected:
    ~SpeakerPosition() override;

private:
    void takeSnapshot();

    std::string speakerID;
    int locationX = 0;
    int locationY = 0;
    Tessel::SharedPtr<SpeakerNetworkItem> speaker;
    Tessel::Attributes speakerState;
    std::string offlineSince;
    std::string offlineName;
};

} // namespace Vellaris
