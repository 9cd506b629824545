#pragma once

#include <string>
#include <vector>

#include "tessel/Object.h"
#include "tessel/SharedPtr.h"
#include "venue/SpeakerPosition.h"

namespace Tessel
{
class Attributes;
}

namespace Vellaris
{

class SpeakerRoom;

// A group of speaker positions within a room: the master group (type 0), "Subs", "Mids", "Tops"
// (types 1 to 3) or a named group (type 4). The master group holds no positions for the room's
// purposes: positions() answers the union of the room's other groups.
//
// Stored keys: "type" (integer), "title" (text, only for type 4), "positions" (array). GUI thread
// only.
class SpeakerGroup : public Tessel::Object
{
    TESSEL_DECLARE_CLASS(SpeakerGroup)
public:
    static constexpr int kMaster = 0;
    static constexpr int kSubs = 1;
    static constexpr int kMids = 2;
    static constexpr int kTops = 3;
    static constexpr int kCustom = 4;

    explicit SpeakerGroup(int type = kTops, const std::string& title = {});

    // "Master", "Subs", "Mids", "Tops", or "" for any other value.
    static std::string typeName(int type);

    int getType() const { return type; }
    // Types outside 0..4 are clamped; types 0 to 3 take their name as title.
    void setType(int newType);
    const std::string& getTitle() const { return title; }
    // Only a custom group takes a title of its own.
    void setTitle(const std::string& newTitle);
    SpeakerRoom* getRoom() const { return room; }
    void setRoom(SpeakerRoom* owner) { room = owner; }

    // The group's own positions, in order.
    const std::vector<Tessel::SharedPtr<SpeakerPosition>>& getOwnPositions() const { return own; }
    // The positions the room visits for this group: for the master group the positions of every
    // other group of its room, in group order; else the own list.
    std::vector<SpeakerPosition*> positions() const;

    // Inserts `position` at `index` (below 0: appends). Refuses (false) an index above the count
    // and a position that is already in the group. When the group has a room and the position a
    // live speaker, the room applies its settings to that speaker.
    bool insertPosition(SpeakerPosition* position, int index = -1);
    // Removes `position` from the own list; false when it is not there.
    bool removePosition(SpeakerPosition* position);
    // The own position whose speakerID equals `serial` exactly, or nullptr.
    SpeakerPosition* findPosition(const std::string& serial) const;
    // Whether one of positions() is bound to `item`.
    bool containsSpeaker(const SpeakerNetworkItem* item) const;
    // Whether `position` is one of positions().
    bool containsPosition(const SpeakerPosition* position) const;

    void save(Tessel::Attributes& into) const;
    // Reads an already checked attribute set: the type clamped to 0..4, the title for type 4 only,
    // the positions replaced.
    void load(const Tessel::Attributes& from);

protected:
    ~SpeakerGroup() override;

private:
    int type = kTops;
    std::string title;
    SpeakerRoom* room = nullptr;
    std::vector<Tessel::SharedPtr<SpeakerPosition>> own;
};

} // namespace Vellaris
