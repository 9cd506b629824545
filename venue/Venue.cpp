#include "venue/Venue.h"

#include <cstdlib>
#include <ctime>

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/CommandParam.h"
#include "tessel/CommandParamList.h"
#include "tessel/ListParam.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/UID.h"
#include "tessel/UndoHistory.h"
#include "venue/RoomEditView.h"
#include "venue/VenueSpeakers.h"
#include "venue/VenueUndo.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(Venue, Tessel::Component)
TESSEL_DEFINE_CLASS_NAMED(Venue::UnusedSpeakersFilter, Tessel::Object, "Venue::UnusedSpeakersFilter")

TESSEL_BEGIN_COMMANDS(Venue)
TESSEL_COMMAND("File", "New", Venue::onNew)
TESSEL_COMMAND("File", "Save", Venue::onSave)
TESSEL_COMMAND("File", "Close", Venue::onClose)
TESSEL_COMMAND("File", "Mono", Venue::onMono)
TESSEL_COMMAND("File", "Load", Venue::onLoad)
TESSEL_COMMAND("File", "CloseConfirm", Venue::onCloseConfirm)
TESSEL_COMMAND("File", "CloseCancel", Venue::onCloseCancel)
TESSEL_END_COMMANDS(Venue, Tessel::Component)

namespace
{

constexpr const char* kRoomPrefix = "room[";
constexpr const char* kCloseRoom = "closeRoom";

bool isNumber(const Tessel::Variant* value)
{
    return !value || value->isNumeric();
}

bool isText(const Tessel::Variant* value)
{
    return !value || value->isString();
}

// An absent list is an empty one; a present one must be a list of attribute sets.
bool isListOfSets(const Tessel::Attributes& owner, const char* key)
{
    const Tessel::Variant* value = owner.find(key);
    if (!value)
        return true;
    const Tessel::AttributeList* list = owner.getList(key);
    if (!list)
        return false;
    for (int i = 0; i < list->count(); ++i)
        if (!list->attributesAt(i))
            return false;
    return true;
}

bool checkPosition(const Tessel::Attributes& position, std::string& problem)
{
    if (!isText(position.find("speakerID")))
        problem = "a speakerID is not a text";
    else if (!isNumber(position.find("locationX")) || !isNumber(position.find("locationY")))
        problem = "a location is not a number";
    return problem.empty();
}

bool checkGroup(const Tessel::Attributes& group, std::string& problem)
{
    if (!isNumber(group.find("type")))
        problem = "a group type is not a number";
    else if (group.getInt("type", 3) == 4 && !isText(group.find("title")))
        problem = "a group title is not a text";
    else if (!isListOfSets(group, "positions"))
        problem = "\"positions\" is not a list of positions";
    else if (const Tessel::AttributeList* positions = group.getList("positions"))
        for (int i = 0; i < positions->count() && problem.empty(); ++i)
            checkPosition(*positions->attributesAt(i), problem);
    return problem.empty();
}

// The master equaliser's values, when the room has them: a set of numbers.
bool isSetOfNumbers(const Tessel::Attributes& owner, const char* key)
{
    if (!owner.find(key))
        return true;
    const Tessel::Attributes* set = owner.getAttributes(key);
    if (!set)
        return false;
    for (int i = 0; i < set->count(); ++i)
        if (!set->valueAt(i).isNumeric())
            return false;
    return true;
}

bool checkRoom(const Tessel::Attributes& room, std::string& problem)
{
    if (!isText(room.find("roomID")) || !isText(room.find("title")))
        problem = "a room's roomID or title is not a text";
    else if (!isSetOfNumbers(room, "masterGEQ"))
        problem = "a room's \"masterGEQ\" is not a set of numbers";
    else if (!isNumber(room.find("locked")))
        problem = "a room's \"locked\" is not a number";
    else if (!isListOfSets(room, "groups"))
        problem = "\"groups\" is not a list of groups";
    else if (const Tessel::AttributeList* groups = room.getList("groups"))
        for (int i = 0; i < groups->count() && problem.empty(); ++i)
            checkGroup(*groups->attributesAt(i), problem);
    return problem.empty();
}

} // namespace

// --- UnusedSpeakersFilter ---------------------------------------------------------------------

void* Venue::UnusedSpeakersFilter::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IObjectFilter)
    return Object::queryInterface(iid);
}

bool Venue::UnusedSpeakersFilter::matches(Tessel::IUnknown* object) const
{
    auto* item = Tessel::classCast<SpeakerNetworkItem>(Tessel::unknownCast<Tessel::Object>(object));
    if (!item)
        return false;
    return !venue || !venue->holdsItem(item);
}

// --- Venue ------------------------------------------------------------------------------------

Venue::Venue() : Tessel::Component("Venue"), venueID(Tessel::UID::generate().toString())
{
    Tessel::ParamContainer& params = getParams();
    roomList = params.addList("roomList", kRoomListTag);
    venueName = params.addString("venueName", kVenueNameTag);
    venueName->setFlag(Tessel::ParamFlags::kStorable | Tessel::ParamFlags::kUndoable, true);
    params.addCommand("File", "New", "newRoom");
    params.addCommand("File", "Save", "saveRoom");
    params.addCommand("File", "Close", kCloseRoom);
    params.addCommand("File", "Mono", "configureRoom");
    params.addCommand("File", "Load", "loadRoom");
    closeRoomQuestion = params.addString("closeRoomQuestion", kCloseRoomQuestionTag);
    closeRoomQuestion->setFlag(Tessel::ParamFlags::kReadOnly, true);
    params.addCommand("File", "CloseConfirm", "closeRoomConfirm");
    params.addCommand("File", "CloseCancel", "closeRoomCancel");
    closeEntries =
        std::make_unique<Tessel::CommandParamList>(params, kCloseRoom, "File", "Close", kCloseRoom);
    filter = Tessel::adopt(new UnusedSpeakersFilter(this));
    editor = new RoomEditView;
    addChild(editor);
}

Venue::~Venue()
{
    destroying = true;
    filter->forgetVenue();
    detachNetwork();
}

void Venue::renewVenueID()
{
    venueID = Tessel::UID::generate().toString();
}

std::string Venue::getVenueName() const
{
    return venueName->getText();
}

void Venue::setVenueName(const std::string& name, bool notify)
{
    setTitle(name);
    venueName->setValue(Tessel::Variant(name), notify);
}

std::string Venue::getStoredTitle() const
{
    return getTitle().empty() ? getName() : getTitle();
}

SpeakerRoom* Venue::getRoom(int index) const
{
    return index >= 0 && index < countRooms() ? rooms[size_t(index)] : nullptr;
}

int Venue::indexOfRoom(const SpeakerRoom* room) const
{
    for (size_t i = 0; i < rooms.size(); ++i)
        if (rooms[i] == room)
            return int(i);
    return -1;
}

SpeakerRoom* Venue::getActiveRoom() const
{
    for (SpeakerRoom* room : rooms)
        if (room->isActive())
            return room;
    return nullptr;
}

SpeakerRoom* Venue::findRoom(const std::string& roomID) const
{
    for (SpeakerRoom* room : rooms)
        if (room->getRoomID() == roomID)
            return room;
    return nullptr;
}

void Venue::addRoom(SpeakerRoom* room, int index)
{
    if (!room || !addChild(room))
        return;
    if (index >= 0 && index < int(rooms.size()))
        rooms.insert(rooms.begin() + index, room);
    else
        rooms.push_back(room);
    updateCloseEntries();
    room->addObserver(this);
    refreshRoomList();
    propertyChanged("numRooms");
    propertyChanged("hasRooms");
    lastChange = Tessel::GetSystemTicks();
    placementChanged();
}

SpeakerRoom* Venue::newRoom(bool activate)
{
    auto* room = new SpeakerRoom;
    room->setRoomTitle(SpeakerRoom::kDefaultTitle);
    room->makeDefaultGroups();
    addRoom(room);
    if (activate)
        setActiveRoom(room);
    return room;
}

void Venue::closeRoom(SpeakerRoom* room)
{
    const int index = indexOfRoom(room);
    if (index < 0)
        return;
    const bool wasActive = room->isActive();
    if (room == closePending)
    {
        closePending = nullptr;
        if (!destroying)
            setClosePending(nullptr);
    }
    rooms.erase(rooms.begin() + index);
    room->removeObserver(this);
    if (editor->getRoom() == room)
        editor->setRoom(nullptr);
    updateCloseEntries();
    if (!destroying)
    {
        // Speakers of the closed room are no longer soloed or muted by it.
        for (SpeakerComponent* speaker : room->speakers())
            if (Tessel::IParameter* solo = speaker->findParameter("solo"))
                solo->enable(false);
    }
    removeChild(room);
    if (destroying)
        return;
    refreshRoomList();
    if (wasActive && !rooms.empty())
        setActiveRoom(rooms.front());
    propertyChanged("numRooms");
    propertyChanged("hasRooms");
    propertyChanged("activeRoomID");
    if (closePending)
        propertyChanged("closeRoomPending"); // its index moved
    lastChange = Tessel::GetSystemTicks();
    placementChanged();
}

void Venue::closeAllRooms()
{
    while (!rooms.empty())
        closeRoom(rooms.back());
}

void Venue::updateCloseEntries()
{
    // Entry i closes the room at index i by its ID, whatever the index is when it is used.
    std::vector<Tessel::Variant> ids;
    for (SpeakerRoom* room : rooms)
        ids.emplace_back(room->getRoomID());
    closeEntries->setValues(ids);
}

void Venue::refreshRoomList()
{
    std::vector<std::string> titles;
    for (SpeakerRoom* room : rooms)
        titles.push_back(room->getTitle());
    if (titles != roomList->getEntries())
        roomList->setEntries(titles);
    const int active = indexOfRoom(getActiveRoom());
    roomList->setValue(Tessel::Variant(active < 0 ? 0 : active), false);
}

void Venue::setActiveRoom(SpeakerRoom* room)
{
    if (indexOfRoom(room) < 0)
        return;
    for (SpeakerRoom* other : rooms)
        if (other != room && other->isActive())
            other->setActive(false);
    editor->setRoom(room);
    room->setActive(true);
    roomList->setValue(Tessel::Variant(indexOfRoom(room)), false);
    propertyChanged("activeRoomID");
    if (Tessel::Component* owner = getParent())
        owner->notify(this, Tessel::Message(Tessel::Messages::kChanged));
    room->signal(Tessel::Message(SpeakerRoom::kRoomConfigured));
}

bool Venue::closeRoomCommand(const std::string& roomID, bool checkOnly)
{
    if (checkOnly)
        return true;
    SpeakerRoom* room = roomID.empty() ? getActiveRoom() : findRoom(roomID);
    // Its speakers and their stored settings would go with the room: the user confirms first.
    if (room && !room->allPositions().empty())
    {
        askToClose(room);
        return true;
    }
    if (room)
    {
        VenueRoomsEdit edit(this, "Close Room " + room->getTitle());
        closeRoom(room);
    }
    if (rooms.empty())
        setShowVenue(false);
    return true;
}

std::string Venue::closeQuestion(const std::string& title, int speakers)
{
    std::string question = "Close \"" + title + "\"?";
    if (speakers == 1)
        question += " Its speaker leaves the venue.";
    else if (speakers > 1)
        question += " Its " + std::to_string(speakers) + " speakers leave the venue.";
    return question;
}

void Venue::askToClose(SpeakerRoom* room)
{
    if (indexOfRoom(room) >= 0)
        setClosePending(room);
}

void Venue::setClosePending(SpeakerRoom* room)
{
    closePending = room;
    const std::string question =
        room ? closeQuestion(room->getTitle(), int(room->allPositions().size())) : std::string();
    closeRoomQuestion->setValue(Tessel::Variant(question), true);
    propertyChanged("closeRoomPending");
}

bool Venue::onCloseConfirm(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    if (SpeakerRoom* room = closePending)
    {
        {
            VenueRoomsEdit edit(this, "Close Room " + room->getTitle());
            closeRoom(room);
        }
        if (rooms.empty())
            setShowVenue(false);
    }
    return true;
}

bool Venue::onCloseCancel(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly && closePending)
        setClosePending(nullptr);
    return true;
}

void Venue::setShowVenue(bool on)
{
    if (Tessel::IParameter* show = Tessel::getRootComponent()->lookupParameter("VenueManager/showVenue"))
        show->setValue(Tessel::Variant(on ? 1 : 0), true);
}

// --- Speakers ---------------------------------------------------------------------------------

bool Venue::holdsItem(const SpeakerNetworkItem* item) const
{
    for (SpeakerRoom* room : rooms)
        if (room->holdsItem(item))
            return true;
    return false;
}

int Venue::countPositions() const
{
    int count = 0;
    for (SpeakerRoom* room : rooms)
        count += int(room->allPositions().size());
    return count;
}

void Venue::removeSpeaker(const std::string& serial)
{
    bool removed = false;
    for (SpeakerRoom* room : rooms)
    {
        bool fromThisRoom = false;
        for (SpeakerGroup* group : room->getGroups())
            while (SpeakerPosition* position = group->findPosition(serial))
            {
                if (SpeakerComponent* speaker = position->getSpeakerComponent())
                    if (Tessel::IParameter* solo = speaker->findParameter("solo"))
                        solo->enable(false);
                group->removePosition(position);
                fromThisRoom = true;
            }
        if (fromThisRoom)
        {
            room->update();
            room->setLastChange(Tessel::GetSystemTicks());
            removed = true;
        }
    }
    if (removed)
    {
        lastChange = Tessel::GetSystemTicks();
        placementChanged();
    }
}

void Venue::speakerGone(SpeakerNetworkItem* item)
{
    for (SpeakerRoom* room : rooms)
        room->speakerGone(item);
}

void Venue::placementChanged()
{
    filter->signal(Tessel::Message(Tessel::Messages::kChanged));
    // A removed offline speaker no longer counts.
    offlineChanged();
}

void Venue::attachNetwork()
{
    if (network)
        return;
    network = findSpeakerNetwork();
    if (!network)
        return;
    network->addObserver(this);
    network->getItems().setFilter(filter.get());
}

void Venue::detachNetwork()
{
    if (!network)
        return;
    network->removeObserver(this);
    if (network->getItems().getFilter() == filter.get())
        network->getItems().setFilter(nullptr);
    network = nullptr;
}

namespace
{
// The local time of day now, "21:14:03".
std::string timeOfDay()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}
} // namespace

void Venue::itemAdded(SpeakerNetworkItem* item)
{
    item->setSelected(false, true);
    // A serial number that a position already holds (a second device with the same serial) stays
    // unplaced: a speaker is held by one position at most.
    for (SpeakerRoom* room : rooms)
        for (SpeakerPosition* position : room->allPositions())
            if (position->getSpeaker() && position->getSpeakerID() == item->getSerialNumber())
                return;
    for (SpeakerRoom* room : rooms)
        if (SpeakerPosition* position = room->findPosition(item->getSerialNumber()))
        {
            const bool wasOffline = !position->getOfflineSince().empty();
            position->setSpeaker(item, true);
            position->setOffline({}, {});
            if (wasOffline)
            {
                backOnline = SpeakerPosition::nameOf(item);
                offlineChanged();
            }
            room->update();
            placementChanged();
            return;
        }
}

void Venue::itemRemoved(SpeakerNetworkItem* item)
{
    for (SpeakerRoom* room : rooms)
        for (SpeakerPosition* position : room->allPositions())
            if (position->getSpeaker() == item)
            {
                const std::string name = SpeakerPosition::nameOf(item);
                position->setSpeaker(nullptr, true);
                position->setOffline(timeOfDay(), name);
                backOnline.clear();
                room->update();
                offlineChanged();
                return;
            }
}

void Venue::offlineChanged()
{
    propertyChanged("offlineCount");
    propertyChanged("offlineMessage");
    propertyChanged("offlineState");
}

std::string Venue::offlineMessage() const
{
    std::vector<std::string> entries;
    for (SpeakerRoom* room : rooms)
        for (SpeakerPosition* position : room->allPositions())
            if (!position->getOfflineSince().empty())
                entries.push_back(position->getOfflineName() + " (" + room->getTitle() + ") offline since " +
                                  position->getOfflineSince());
    if (entries.empty())
        return backOnline.empty() ? std::string() : backOnline + " back online";
    std::string text =
        entries.size() == 1 ? std::string() : std::to_string(entries.size()) + " speakers offline: ";
    for (size_t i = 0; i < entries.size(); ++i)
        text += (i ? "; " : "") + entries[i];
    if (!backOnline.empty())
        text = backOnline + " back online. " + text;
    return text;
}

// --- Persistence ------------------------------------------------------------------------------

void Venue::save(Tessel::Attributes& into) const
{
    into.setString("venueID", venueID);
    into.setString("title", getStoredTitle());
    Tessel::AttributeList* list = into.newList("rooms");
    for (SpeakerRoom* room : rooms)
        room->save(*list->appendAttributes());
}

bool Venue::checkStoredForm(const Tessel::Attributes& stored, std::string& problem)
{
    problem.clear();
    Tessel::UID id;
    if (!stored.find("venueID") || !stored.find("venueID")->isString() ||
        !id.fromString(stored.getString("venueID")))
        problem = "\"venueID\" is not an identifier";
    else if (!isText(stored.find("title")))
        problem = "\"title\" is not a text";
    else if (!isListOfSets(stored, "rooms"))
        problem = "\"rooms\" is not a list of rooms";
    else if (const Tessel::AttributeList* list = stored.getList("rooms"))
        for (int i = 0; i < list->count() && problem.empty(); ++i)
            checkRoom(*list->attributesAt(i), problem);
    return problem.empty();
}

void Venue::load(const Tessel::Attributes& from, bool bindSpeakers)
{
    // What a file holds is no edit of this desk's user (a venue read for the list, or for a rename).
    Tessel::UndoHistory::Suspend reading;
    venueID = from.getString("venueID", venueID);
    setVenueName(from.getString("title"), false);
    closeAllRooms();
    if (const Tessel::AttributeList* list = from.getList("rooms"))
        for (int i = 0; i < list->count(); ++i)
            if (const Tessel::Attributes* entry = list->attributesAt(i))
            {
                auto* room = new SpeakerRoom;
                room->load(*entry, bindSpeakers ? this : nullptr, bindSpeakers);
                addRoom(room);
            }
    // A venue that is only read (a summary) leaves the application's inspectors alone.
    if (!rooms.empty() && bindSpeakers)
        setActiveRoom(rooms.front());
    lastChange = 0;
    for (SpeakerRoom* room : rooms)
        room->setLastChange(0);
}

// --- Component --------------------------------------------------------------------------------

bool Venue::initialize(Tessel::IUnknown* context)
{
    attachNetwork();
    closeAllRooms();
    newRoom(true);
    lastChange = 0;
    return Component::initialize(context);
}

bool Venue::terminate()
{
    const bool ok = Component::terminate();
    closeAllRooms();
    detachNetwork();
    return ok;
}

Tessel::Component* Venue::findChild(const std::string& childName) const
{
    if (childName == "activeRoom")
        return getActiveRoom();
    const size_t prefix = std::char_traits<char>::length(kRoomPrefix);
    if (childName.compare(0, prefix, kRoomPrefix) == 0 && childName.size() > prefix + 1 &&
        childName.back() == ']')
    {
        const std::string digits = childName.substr(prefix, childName.size() - prefix - 1);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            return nullptr;
        return getRoom(std::atoi(digits.c_str()));
    }
    if (SpeakerRoom* room = findRoom(childName))
        return room;
    return Component::findChild(childName);
}

bool Venue::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "isConfigured")
        value = true;
    else if (propertyName == "numRooms")
        value = countRooms();
    else if (propertyName == "hasRooms")
        value = !rooms.empty();
    else if (propertyName == "closeRoomPending")
        value = closePending ? indexOfRoom(closePending) : -1;
    else if (propertyName == "offlineCount")
    {
        int count = 0;
        for (SpeakerRoom* room : rooms)
            count += room->offlineCount();
        value = count;
    }
    else if (propertyName == "offlineMessage")
        value = offlineMessage();
    else if (propertyName == "offlineState")
    {
        bool offline = false;
        for (SpeakerRoom* room : rooms)
            offline = offline || room->offlineCount() > 0;
        value = std::string(offline ? "offline" : backOnline.empty() ? "" : "backOnline");
    }
    else if (propertyName == "activeRoomID")
    {
        SpeakerRoom* room = getActiveRoom();
        value = room ? room->getRoomID() : std::string();
    }
    else
        return Component::getProperty(propertyName, value);
    return true;
}

void Venue::paramChanged(Tessel::IParameter* param)
{
    if (param == roomList)
    {
        if (SpeakerRoom* room = getRoom(int(roomList->getValue().asInt())); room && !room->isActive())
            setActiveRoom(room);
    }
    else if (param == venueName)
    {
        setTitle(venueName->getText());
        propertyChanged("title");
    }
}

void Venue::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (network && subject == static_cast<Tessel::ISubject*>(network))
    {
        auto* item = Tessel::classCast<SpeakerNetworkItem>(msg.getArg(0).asInterface<Tessel::Object>());
        if (msg.is("itemAdded") && item)
            itemAdded(item);
        else if (msg.is("itemRemoved") && item)
            itemRemoved(item);
        else if (msg.is(Tessel::Messages::kDestroyed))
            network = nullptr;
        return;
    }
    if (msg.is(Tessel::Messages::kChanged))
        refreshRoomList();
    Component::notify(subject, msg);
}

Tessel::Object* Venue::createView(const std::string& viewName, const Tessel::Attributes& arguments)
{
    if (viewName == RoomEditView::kViewName)
    {
        editor->retain();
        return editor;
    }
    return Component::createView(viewName, arguments);
}

bool Venue::onNew(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
    {
        VenueRoomsEdit edit(this, "Add Room");
        newRoom(true);
    }
    return true;
}

bool Venue::onSave(const Tessel::CommandMsg& msg)
{
    // Venues are saved automatically; the command only says whether there is something to save.
    return getActiveRoom() != nullptr;
}

bool Venue::onClose(const Tessel::CommandMsg& msg)
{
    return closeRoomCommand(msg.getArgument(kCloseRoom).asString(), msg.checkOnly);
}

bool Venue::onMono(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    if (!getActiveRoom())
        newRoom(true);
    setShowVenue(true);
    return true;
}

bool Venue::onLoad(const Tessel::CommandMsg& msg)
{
    return true;
}

} // namespace Vellaris
