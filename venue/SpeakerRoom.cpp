#include "venue/SpeakerRoom.h"

#include <algorithm>

#include "speaker/InputComponent.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/CommandParam.h"
#include "tessel/ComponentStorage.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/UID.h"
#include "tessel/UndoHistory.h"
#include "venue/MasterComponent.h"
#include "venue/ScrollWheelComponent.h"
#include "venue/Venue.h"
#include "venue/VenueSpeakers.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(SpeakerRoom, Tessel::Component)

TESSEL_BEGIN_COMMANDS(SpeakerRoom)
TESSEL_COMMAND("Room", "Volume Up", SpeakerRoom::onVolumeUp)
TESSEL_COMMAND("Room", "Volume Down", SpeakerRoom::onVolumeDown)
TESSEL_END_COMMANDS(SpeakerRoom, Tessel::Component)

namespace
{
constexpr const char* kMeterMessage = "updateRoomMeter";
constexpr const char* kMasterGeqKey = "masterGEQ";
constexpr const char* kLockedKey = "locked";

Tessel::IParameter* muteOf(SpeakerComponent* speaker)
{
    Tessel::Component* channel = speaker->lookupChild("line/ch1");
    return channel ? channel->getParameterByTag(InputComponent::kMuteTag) : nullptr;
}

void setParam(Tessel::IParameter* param, double value, bool notify)
{
    if (param)
        param->setValue(Tessel::Variant(value), notify);
}

bool isOn(const Tessel::IParameter* param)
{
    return param && param->getValue().asDouble() != 0;
}
} // namespace

SpeakerRoom::SpeakerRoom()
    : Tessel::Component("Room", kDefaultTitle), roomID(Tessel::UID::generate().toString())
{
    Tessel::ParamContainer& params = getParams();
    roomTitle = params.addString("roomTitle", 0);
    roomTitle->setValue(Tessel::Variant(kDefaultTitle), false);
    roomTitle->setFlag(Tessel::ParamFlags::kStorable | Tessel::ParamFlags::kUndoable, true);
    muteAll = params.addParam("muteAll", kMuteAllTag);
    muteAll->enable(false);
    muteAll->setFlag(Tessel::ParamFlags::kUndoable, true);
    viewNetwork = params.addParam("viewNetwork", kViewNetworkTag);
    viewNetwork->setValue(Tessel::Variant(1), false);
    viewRoomInspector = params.addParam("viewRoomInspector", kViewRoomInspectorTag);
    closeInspector = params.addParam("closeInspector", kCloseInspectorTag);
    maxVolume = params.addFloat(0, 1, "maxVolume", kMaxVolumeTag);
    locked = params.addParam("locked", kLockedTag);
    locked->setFlag(Tessel::ParamFlags::kStorable, true);
    roomLabel = params.addString("roomLabel", kRoomLabelTag);
    comments = params.addString("comments", 0);
    comments->setFlag(Tessel::ParamFlags::kStorable, true);
    params.addCommand("Room", "Volume Up", "roomVolumeUp");
    params.addCommand("Room", "Volume Down", "roomVolumeDown");

    master = new MasterComponent(this);
    addChild(master);
    master->addObserver(this);
    wheel = new ScrollWheelComponent;
    addChild(wheel);
    wheel->addObserver(this);
    if (Tessel::Component* found = Tessel::getRootComponent()->findChild("Inspector"))
    {
        inspector = Tessel::retained(found);
        inspector->addObserver(this);
    }
    updateModeLabel();
}

SpeakerRoom::~SpeakerRoom()
{
    unobserveVolumes();
    if (inspector)
        inspector->removeObserver(this);
}

void* SpeakerRoom::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IActiveRoom)
    return Component::queryInterface(iid);
}

// --- Stored form -------------------------------------------------------------------------------

void SpeakerRoom::setRoomTitle(const std::string& title)
{
    setTitle(title);
    roomTitle->setValue(Tessel::Variant(title), false);
}

std::vector<SpeakerGroup*> SpeakerRoom::getGroups() const
{
    std::vector<SpeakerGroup*> result;
    for (const auto& group : groups)
        result.push_back(group.get());
    return result;
}

void SpeakerRoom::addGroup(SpeakerGroup* group)
{
    if (!group)
        return;
    group->setRoom(this);
    groups.push_back(Tessel::retained(group));
}

bool SpeakerRoom::removeGroup(SpeakerGroup* group)
{
    for (auto it = groups.begin(); it != groups.end(); ++it)
        if (it->get() == group)
        {
            group->setRoom(nullptr);
            groups.erase(it);
            return true;
        }
    return false;
}

void SpeakerRoom::makeDefaultGroups()
{
    for (auto& group : groups)
        group->setRoom(nullptr);
    groups.clear();
    Tessel::AutoPtr<SpeakerGroup> tops = new SpeakerGroup(SpeakerGroup::kTops);
    addGroup(tops);
    signal(Tessel::Message(Tessel::Messages::kChanged));
    updateModeLabel();
}

Venue* SpeakerRoom::getVenue() const
{
    return Tessel::classCast<Venue>(getParent());
}

void SpeakerRoom::save(Tessel::Attributes& into) const
{
    into.setString("roomID", roomID);
    into.setString("title", getTitle());
    Tessel::AttributeList* list = into.newList("groups");
    for (const auto& group : groups)
        group->save(*list->appendAttributes());
    master->save(*into.newAttributes(kMasterGeqKey));
    // While the browser is shown the lock is held aside (savedLock); that is the room's lock.
    const bool lock = locked->isEnabled() ? isOn(locked) : savedLock;
    into.setInt(kLockedKey, lock ? 1 : 0);
}

void SpeakerRoom::load(const Tessel::Attributes& from, const Venue* venue, bool bindSpeakers)
{
    if (from.contains("roomID"))
        roomID = from.getString("roomID");
    setRoomTitle(from.getString("title", getTitle()));
    for (auto& group : groups)
        group->setRoom(nullptr);
    groups.clear();
    // Files written before the room kept its master equaliser and lock have neither key: the
    // master stays as it is and the room unlocked, as such files always loaded.
    if (const Tessel::Attributes* geq = from.getAttributes(kMasterGeqKey))
        master->load(*geq);
    if (const Tessel::Variant* lock = from.find(kLockedKey); lock && lock->isNumeric())
        restoreLock(lock->asDouble() != 0);
    if (const Tessel::AttributeList* list = from.getList("groups"))
        for (int i = 0; i < list->count(); ++i)
            if (const Tessel::Attributes* entry = list->attributesAt(i))
            {
                Tessel::AutoPtr<SpeakerGroup> group = new SpeakerGroup;
                group->load(*entry);
                addGroup(group);
            }

    if (SpeakerNetworkManager* network = bindSpeakers ? findSpeakerNetwork() : nullptr)
        for (const auto& group : groups)
            for (const auto& position : group->getOwnPositions())
            {
                SpeakerNetworkItem* item = network->findItemBySerial(position->getSpeakerID());
                if (!item || holdsItem(item) || (venue && venue->holdsItem(item)))
                    continue;
                position->setSpeaker(item, true);
            }
    update();
    signal(Tessel::Message(kRoomConfigured));
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

void SpeakerRoom::restoreLock(bool on)
{
    // A locked room comes back locked: the browser, which would take the lock away, stays closed.
    if (on)
    {
        setParam(viewNetwork, 0, false);
        locked->enable(true);
    }
    if (locked->isEnabled())
        setParam(locked, on ? 1 : 0, false);
    else
        savedLock = on;
}

// --- Speakers ----------------------------------------------------------------------------------

std::vector<SpeakerPosition*> SpeakerRoom::allPositions() const
{
    std::vector<SpeakerPosition*> result;
    for (const auto& group : groups)
        for (SpeakerPosition* position : group->positions())
            if (std::find(result.begin(), result.end(), position) == result.end())
                result.push_back(position);
    return result;
}

std::vector<SpeakerPosition*> SpeakerRoom::livePositions() const
{
    // A master group visits the other groups' positions again; a speaker is still moved once.
    std::vector<SpeakerPosition*> result;
    for (SpeakerPosition* position : allPositions())
        if (position->getSpeakerComponent())
            result.push_back(position);
    return result;
}

std::vector<SpeakerComponent*> SpeakerRoom::speakers() const
{
    std::vector<SpeakerComponent*> result;
    for (SpeakerPosition* position : livePositions())
        result.push_back(position->getSpeakerComponent());
    return result;
}

SpeakerPosition* SpeakerRoom::findPosition(const std::string& serial) const
{
    for (const auto& group : groups)
        if (SpeakerPosition* position = group->findPosition(serial))
            return position;
    return nullptr;
}

bool SpeakerRoom::holdsItem(const SpeakerNetworkItem* item) const
{
    for (const auto& group : groups)
        for (const auto& position : group->getOwnPositions())
            if (item && position->getSpeaker() == item)
                return true;
    return false;
}

bool SpeakerRoom::addToGroup(SpeakerGroup* group, SpeakerPosition* position)
{
    if (!group || !position || group->getRoom() != this)
        return false;
    Tessel::SharedPtr<SpeakerPosition> kept = Tessel::retained(position);
    const std::string serial = position->getSpeakerID();
    for (const auto& each : groups)
    {
        while (SpeakerPosition* existing = each->findPosition(serial))
        {
            if (SpeakerNetworkItem* item = existing->getSpeaker())
            {
                item->setSelected(false, false);
                speakerGone(item);
            }
            each->removePosition(existing);
        }
        each->removePosition(position); // the same place under another serial number
    }
    group->insertPosition(position);
    if (SpeakerNetworkItem* item = position->getSpeaker())
        item->setSelected(false, false);
    lastChange = Tessel::GetSystemTicks();
    update();
    return true;
}

bool SpeakerRoom::removeSerial(const std::string& serial)
{
    bool removed = false;
    for (const auto& group : groups)
        while (SpeakerPosition* position = group->findPosition(serial))
        {
            if (SpeakerNetworkItem* item = position->getSpeaker())
            {
                item->setSelected(false, false);
                speakerGone(item);
            }
            group->removePosition(position);
            removed = true;
        }
    if (removed)
    {
        lastChange = Tessel::GetSystemTicks();
        update();
    }
    return removed;
}

// --- Control -----------------------------------------------------------------------------------

void SpeakerRoom::stepVolume(float delta)
{
    const std::vector<SpeakerComponent*> members = speakers();
    for (SpeakerComponent* speaker : members)
        if (Tessel::IParameter* volume = speaker->getVolume())
            volume->beginEdit();
    bool canMove = false;
    for (SpeakerComponent* speaker : members)
    {
        Tessel::IParameter* volume = speaker->getVolume();
        if (!volume)
            continue;
        const float value = float(volume->getValue().asDouble());
        if ((delta > 0 && value < float(volume->getMax().asDouble())) ||
            (delta < 0 && value > float(volume->getMin().asDouble())))
        {
            canMove = true;
            break;
        }
    }
    if (canMove)
        for (SpeakerComponent* speaker : members)
            if (Tessel::IParameter* elastic = speaker->findParameter("elastic"))
                setParam(elastic, elastic->getValue().asDouble() + double(delta), true);
    for (SpeakerComponent* speaker : members)
        if (Tessel::IParameter* volume = speaker->getVolume())
            volume->endEdit();
}

void SpeakerRoom::setMuteAll(bool on)
{
    unsolo(false);
    if (on)
    {
        mutedBeforeMuteAll.clear();
        for (SpeakerComponent* speaker : speakers())
            if (Tessel::IParameter* mute = muteOf(speaker))
            {
                if (isOn(mute))
                    mutedBeforeMuteAll.push_back(Tessel::retained(mute));
                setParam(mute, 1, true);
            }
        return;
    }
    for (SpeakerComponent* speaker : speakers())
    {
        Tessel::IParameter* mute = muteOf(speaker);
        if (!mute)
            continue;
        const bool wasMuted = std::any_of(mutedBeforeMuteAll.begin(), mutedBeforeMuteAll.end(),
                                          [mute](const auto& kept) { return kept.get() == mute; });
        if (!wasMuted)
            setParam(mute, 0, true);
    }
}

void SpeakerRoom::solo(SpeakerComponent* soloed)
{
    for (SpeakerComponent* speaker : speakers())
    {
        setParam(muteOf(speaker), speaker == soloed ? 0 : 1, true);
        setParam(speaker->findParameter("solo"), speaker == soloed ? 1 : 0, false);
    }
    setParam(muteAll, 0, false);
    propertyChanged("soloSpeaker");
}

void SpeakerRoom::unsolo(bool force)
{
    const std::vector<SpeakerComponent*> members = speakers();
    if (!force &&
        std::none_of(members.begin(), members.end(),
                     [](SpeakerComponent* speaker) { return isOn(speaker->findParameter("solo")); }))
        return;
    for (SpeakerComponent* speaker : members)
    {
        setParam(muteOf(speaker), 0, true);
        setParam(speaker->findParameter("solo"), 0, false);
    }
    propertyChanged("soloSpeaker");
}

void SpeakerRoom::applyToSpeaker(SpeakerPosition* position)
{
    SpeakerComponent* speaker = position ? position->getSpeakerComponent() : nullptr;
    if (!speaker)
        return;
    Tessel::Component* masterGeq = master->getGeq();
    Tessel::Component* speakerGeq = speaker->lookupChild(kSpeakerGeqPath);
    if (masterGeq && speakerGeq)
    {
        Tessel::Attributes state;
        Tessel::ComponentStorage::store(*masterGeq, state);
        Tessel::ComponentStorage::restore(*speakerGeq, state);
    }
    if (Tessel::IParameter* soloParam = speaker->findParameter("solo"))
        soloParam->enable(true);
    if (isOn(muteAll))
        if (Tessel::IParameter* mute = muteOf(speaker))
        {
            if (isOn(mute))
                mutedBeforeMuteAll.push_back(Tessel::retained(mute));
            else
                setParam(mute, 1, true);
        }
    observeVolumes();
}

void SpeakerRoom::speakerGone(SpeakerNetworkItem* item)
{
    SpeakerComponent* speaker = item ? item->getSpeakerComponent() : nullptr;
    if (!speaker || !holdsItem(item))
        return;
    if (Tessel::IParameter* volume = speaker->getVolume())
        for (auto it = observedVolumes.begin(); it != observedVolumes.end(); ++it)
            if (it->get() == volume)
            {
                if (auto* subject = Tessel::unknownCast<Tessel::ISubject>(volume))
                    subject->removeObserver(this);
                observedVolumes.erase(it);
                break;
            }
    if (Tessel::IParameter* soloParam = speaker->findParameter("solo"))
        soloParam->enable(false);
    startMeterTimer();
}

void SpeakerRoom::setActive(bool on)
{
    active = on;
    setParam(viewRoomInspector, 0, true);
    setParam(inspectorParam("showSpeakerProps"), 0, true);
    if (active)
        viewNetworkChanged(isOn(viewNetwork));
    update();
}

void SpeakerRoom::update()
{
    signal(Tessel::Message(Tessel::Messages::kChanged));
    propertyChanged("roomempty");
    propertyChanged("groupList");
    propertyChanged("soloSpeaker");
    propertyChanged("offlineCount");
    propertyChanged("offlineSpeakers");
    const bool hasSpeakers = speakerCount() > 0;
    if (!hasSpeakers)
        setParam(muteAll, 0, false);
    muteAll->enable(hasSpeakers);
    observeVolumes();
}

void SpeakerRoom::updateModeLabel()
{
    const char* label = isOn(viewRoomInspector)                    ? "Group Edit"
                        : isOn(inspectorParam("showSpeakerProps")) ? "Speaker Edit"
                                                                   : "Monitor Mode";
    roomLabel->setValue(Tessel::Variant(label), true);
}

void SpeakerRoom::viewNetworkChanged(bool on)
{
    // The browser takes the lock away while it is shown and gives it back when it closes. Applying
    // the same state again (a room activated anew) keeps the lock that was saved.
    if (on)
    {
        setParam(viewRoomInspector, 0, true);
        if (locked->isEnabled())
            savedLock = isOn(locked);
        setParam(locked, 0, false);
        locked->enable(false);
    }
    else if (!locked->isEnabled())
    {
        locked->enable(true);
        setParam(locked, savedLock ? 1 : 0, false);
    }
}

// --- Volume observation and the room meter ------------------------------------------------------

void SpeakerRoom::unobserveVolumes()
{
    for (auto& volume : observedVolumes)
        if (auto* subject = Tessel::unknownCast<Tessel::ISubject>(volume.get()))
            subject->removeObserver(this);
    observedVolumes.clear();
}

void SpeakerRoom::observeVolumes()
{
    const std::vector<SpeakerComponent*> members = speakers();
    if (!maxVolumeReplaced)
        for (SpeakerComponent* speaker : members)
            if (Tessel::IParameter* volume = speaker->getVolume())
            {
                // The meter takes the volume's range, text and curve once, from the first speaker:
                // a new parameter in the old one's place, which its views follow.
                Tessel::Parameter* replacement = Tessel::Parameter::createFloat(
                    volume->getMin().asDouble(), volume->getMax().asDouble(), "maxVolume");
                replacement->setFormatter(volume->getFormatter());
                replacement->setCurve(volume->getCurve());
                if (getParams().replace(maxVolume, replacement))
                    maxVolume = replacement;
                maxVolumeReplaced = true;
                break;
            }
    unobserveVolumes();
    for (SpeakerComponent* speaker : members)
        if (Tessel::IParameter* volume = speaker->getVolume())
        {
            if (auto* subject = Tessel::unknownCast<Tessel::ISubject>(volume))
                subject->addObserver(this);
            observedVolumes.push_back(Tessel::retained(volume));
        }
    // The state line names the soloed speaker, whatever set its "solo" (an undo too).
    for (SpeakerComponent* speaker : members)
        if (Tessel::IParameter* soloParam = speaker->findParameter("solo"))
        {
            if (auto* subject = Tessel::unknownCast<Tessel::ISubject>(soloParam))
                subject->addObserver(this);
            observedVolumes.push_back(Tessel::retained(soloParam));
        }
    startMeterTimer();
}

void SpeakerRoom::startMeterTimer()
{
    if (meterPending)
        return;
    meterPending = true;
    deferMessage(Tessel::Message(kMeterMessage), kMeterDelayMs);
}

void SpeakerRoom::updateMeter()
{
    const std::vector<SpeakerComponent*> members = speakers();
    double loudest = -1.0;
    for (SpeakerComponent* speaker : members)
        if (Tessel::IParameter* volume = speaker->getVolume())
            loudest = std::max(loudest, volume->getNormalized());
    if (members.empty())
        maxVolume->setNormalized(-1.0, false);
    else if (loudest != -1.0)
        maxVolume->setNormalized(loudest, true);
}

// --- IActiveRoom ---------------------------------------------------------------------------------

bool SpeakerRoom::isLocked() const
{
    return isOn(locked);
}

bool SpeakerRoom::holdsSpeaker(const SpeakerComponent* speaker) const
{
    if (!speaker)
        return false;
    for (SpeakerPosition* position : livePositions())
        if (position->getSpeakerComponent() == speaker)
            return true;
    return false;
}

void SpeakerRoom::setSolo(SpeakerComponent* speaker, bool on)
{
    // Ending a speaker's solo unmutes the room even though no "solo" is on any more.
    if (on)
        solo(speaker);
    else
        unsolo(true);
}

void SpeakerRoom::unsolo()
{
    unsolo(false);
    update();
}

// --- Commands, parameters, messages ----------------------------------------------------------

bool SpeakerRoom::onVolumeUp(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
    {
        Tessel::UndoTransaction step("Room Volume " + getTitle());
        stepVolume(1.0f);
    }
    return true;
}

bool SpeakerRoom::onVolumeDown(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
    {
        Tessel::UndoTransaction step("Room Volume " + getTitle());
        stepVolume(-1.0f);
    }
    return true;
}

Tessel::IParameter* SpeakerRoom::inspectorParam(const char* name) const
{
    return inspector ? inspector->findParameter(name) : nullptr;
}

void SpeakerRoom::paramChanged(Tessel::IParameter* param)
{
    if (param == roomTitle)
    {
        setTitle(roomTitle->getText());
        signal(Tessel::Message(Tessel::Messages::kChanged));
    }
    else if (param == muteAll && !Tessel::UndoHistory::isReplaying())
    {
        // An undo or redo brings back every speaker's mute itself.
        Tessel::UndoTransaction step((isOn(muteAll) ? "Mute All " : "Unmute All ") + getTitle());
        setMuteAll(isOn(muteAll));
    }
    else if (param == viewNetwork)
        viewNetworkChanged(isOn(viewNetwork));
    else if (param == viewRoomInspector)
        updateModeLabel();
    else if (param == closeInspector)
    {
        setParam(inspectorParam("showSpeakerProps"), 0, true);
        setParam(viewRoomInspector, 0, true);
    }
}

void SpeakerRoom::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is(kMeterMessage))
    {
        meterPending = false;
        updateMeter();
    }
    else if (msg.is(ScrollWheelComponent::kWheelDelta))
    {
        // One wheel turn is one step: its deltas merge while they keep coming.
        Tessel::UndoTransaction step("Room Volume " + getTitle(), "Room Volume Wheel " + roomID);
        stepVolume(float(double(msg.getArg(0).asInt()) / -1000.0));
    }
    else if (msg.is(MasterComponent::kGeqChanged))
        lastChange = Tessel::GetSystemTicks();
    else if (msg.is("SpeakerProps"))
        updateModeLabel();
    else if (msg.is(Tessel::Messages::kChanged))
    {
        for (const auto& volume : observedVolumes)
            if (Tessel::unknownCast<Tessel::ISubject>(volume.get()) == subject)
            {
                if (volume->getTag() == 1)
                    startMeterTimer();
                else if (volume->getName() == "solo")
                    propertyChanged("soloSpeaker");
                break;
            }
    }
    Component::notify(subject, msg);
}

int SpeakerRoom::offlineCount() const
{
    int count = 0;
    for (SpeakerPosition* position : allPositions())
        count += position->getOfflineSince().empty() ? 0 : 1;
    return count;
}

bool SpeakerRoom::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "soloSpeaker")
    {
        std::string name;
        for (SpeakerPosition* position : livePositions())
            if (isOn(position->getSpeakerComponent()->findParameter("solo")))
                name = SpeakerPosition::nameOf(position->getSpeaker());
        value = name;
        return true;
    }
    if (propertyName == "offlineCount")
    {
        value = offlineCount();
        return true;
    }
    if (propertyName == "offlineSpeakers")
    {
        std::string names;
        for (SpeakerPosition* position : allPositions())
            if (!position->getOfflineSince().empty())
                names += (names.empty() ? "" : ", ") + position->getOfflineName();
        value = names;
        return true;
    }
    if (propertyName == "roomempty")
    {
        value = speakerCount() == 0;
        return true;
    }
    if (propertyName == "groupList")
    {
        // One line per group: its title, then "<item path>;<serial>" per position (the path is
        // empty while the speaker is off the network), separated by tabs.
        std::string text;
        for (const auto& group : groups)
        {
            if (!text.empty())
                text += "\n";
            text += group->getTitle();
            for (SpeakerPosition* position : group->positions())
            {
                SpeakerNetworkItem* item = position->getSpeaker();
                text +=
                    "\t" + (item ? item->getComponentPath() : std::string()) + ";" + position->getSpeakerID();
            }
        }
        value = text;
        return true;
    }
    return Component::getProperty(propertyName, value);
}

} // namespace Vellaris
