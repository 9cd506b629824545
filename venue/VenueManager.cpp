#include "venue/VenueManager.h"

#include "model/JsonCodec.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "speaker/SpeakerRootComponent.h"
#include "speaker/WifiSetupSide.h"
#include "tessel/Attributes.h"
#include "tessel/FileUtilities.h"
#include "tessel/IAlertService.h"
#include "tessel/IFileSystem.h"
#include "tessel/IParameter.h"
#include "tessel/Json.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "venue/SpeakerPosition.h"
#include "venue/Venue.h"
#include "venue/VenueFiles.h"
#include "venue/VenueHistoryItem.h"
#include "venue/VenueHistoryItemCollection.h"
#include "venue/VenueUndo.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(VenueManager, Tessel::Component, "VenueManager")

TESSEL_BEGIN_COMMANDS(VenueManager)
TESSEL_COMMAND("File", "New", VenueManager::onNew)
TESSEL_END_COMMANDS(VenueManager, Tessel::Component)

namespace
{
constexpr const char* kSaveMessage = "saveVenue";

SpeakerNetworkManager* speakerList()
{
    Tessel::Component* found = Tessel::getRootComponent()->findChild(SpeakerNetworkManager::kComponentName);
    return Tessel::classCast<SpeakerNetworkManager>(found);
}
} // namespace

VenueManager::VenueManager() : Tessel::Component("VenueManager", "VenueManager")
{
    showVenue = getParams().addParam("showVenue", kShowVenueTag);
    showNetwork = getParams().addParam("showNetwork", kShowNetworkTag);
    getParams().addCommand("File", "New", "newVenue");
    history = new VenueHistoryItemCollection;
    addChild(history);
    attach(this);
    undoLocator = std::make_unique<VenueUndoLocator>(*this);
}

VenueManager::~VenueManager()
{
    undoLocator.reset();
    history->clear();
    detach(this);
}

void* VenueManager::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IVenueSide)
    return Component::queryInterface(iid);
}

void VenueManager::startup()
{
    if (!venue)
    {
        venue = new Venue;
        addChild(venue);
        venue->initialize();
    }
    rescanHistory();
    if (!saving)
    {
        saving = true;
        lastTick = -1;
        deferMessage(Tessel::Message(kSaveMessage), kSaveIntervalMs);
    }
}

// --- The open venue ---------------------------------------------------------------------------

std::string VenueManager::storedText() const
{
    JsonCodec::ensureInstalled();
    Tessel::Attributes stored;
    venue->save(stored);
    std::string text;
    Tessel::JsonStringify(stored, text);
    return text;
}

bool VenueManager::isOpenVenueFile(const std::string& url) const
{
    return venue && !url.empty() && (url == openFile || url == VenueFiles::getVenueFile(*venue));
}

bool VenueManager::saveOpenVenue(bool force)
{
    if (!venue)
        return false;
    const std::string text = storedText();
    const std::string file = VenueFiles::getVenueFile(*venue);
    if (!VenueFiles::saveVenue(*venue, force))
        return false;
    lastSaved = text;
    // A venue renamed while open is written under its new name: the old files go, so one venue
    // never stands in the list twice.
    if (!openFile.empty() && openFile != file)
    {
        Tessel::IFileSystem* files = Tessel::GetFileSystem();
        files->removeFile(openFile);
        files->removeFile(VenueFiles::getCacheFileFor(openFile));
    }
    openFile = file;
    return true;
}

void VenueManager::resetVenue()
{
    if (!venue)
        return;
    venue->renewVenueID();
    venue->closeAllRooms();
    venue->newRoom(true);
    for (int i = 0; i < venue->countRooms(); ++i)
        venue->getRoom(i)->makeDefaultGroups();
    venue->setVenueName(kNewVenueName, true);
    if (!venue->getActiveRoom())
        venue->newRoom(false);
    if (SpeakerRoom* active = venue->getActiveRoom())
        venue->setActiveRoom(active);
    venue->setLastChange(0);
    for (int i = 0; i < venue->countRooms(); ++i)
        venue->getRoom(i)->setLastChange(0);
    openFile.clear();
    lastSaved = storedText();
    // Steps of another venue have nothing to act on here.
    if (Tessel::UndoHistory* undo = Tessel::GetUndoHistory())
        undo->clear();
}

bool VenueManager::loadVenue(const std::string& url)
{
    if (!venue)
        return false;
    // What the open venue holds is written before the file replaces it.
    saveOpenVenue(false);
    if (!VenueFiles::loadVenue(*venue, url))
        return false;
    if (Tessel::UndoHistory* undo = Tessel::GetUndoHistory())
        undo->clear();
    openFile = url;
    lastSaved = storedText();
    setShowVenue(true);
    return true;
}

bool VenueManager::loadVenue(VenueHistoryItem* item)
{
    if (!item)
        return false;
    Tessel::SharedPtr<Tessel::Object> keepAlive(item);
    if (item == inspectorItem)
        setInspectorItem(nullptr);
    if (loadVenue(item->getUrl()))
        return true;
    item->markUnreadable();
    Tessel::GetAlertService()->showAlert("The venue file \"" +
                                         Tessel::FileUtilities::getBaseName(item->getUrl()) + ".venue" +
                                         "\" cannot be read, so it was not opened. It can be deleted from "
                                         "the venue list.");
    return false;
}

// --- The history ------------------------------------------------------------------------------

void VenueManager::rescanHistory()
{
    if (venue && venue->isInitialized())
        saveOpenVenue(false);
    const std::string editing = inspectorItem ? inspectorItem->getUrl() : std::string();
    const std::string creating = creatingItem ? creatingItem->getUrl() : std::string();
    inspectorItem = nullptr;
    creatingItem = nullptr;
    history->clear();

    const std::string folder = VenueFiles::getVenuesFolder();
    std::vector<std::string> names;
    Tessel::IFileSystem* files = Tessel::GetFileSystem();
    files->listFolder(folder, names);
    for (const std::string& name : names)
    {
        if (Tessel::FileUtilities::getExtension(name) != "venue")
            continue;
        const std::string url = Tessel::FileUtilities::joinPath(folder, name);
        if (files->isFolder(url))
            continue;
        // A file that cannot be read is listed all the same (greyed, "cannot be read"), so the
        // user sees it and can delete it; its warning names the fault.
        history->append(new VenueHistoryItem(url, this));
    }
    // An open editor stays open on the entry of the same file.
    if (!creating.empty())
        creatingItem = history->findItemByUrl(creating);
    if (!editing.empty())
        if ((inspectorItem = history->findItemByUrl(editing)))
            inspectorItem->findParameter("editVenue")->setValue(Tessel::Variant(1), false);
    propertyChanged("hasHistory");
    propertyChanged("hasInspectorItem");
    propertyChanged("isCreatingVenue");
}

void VenueManager::setInspectorItem(VenueHistoryItem* item)
{
    if (item == inspectorItem)
        return;
    VenueHistoryItem* previous = inspectorItem;
    inspectorItem = item;
    // One editor at a time.
    if (previous && previous->isEditing())
        previous->findParameter("editVenue")->setValue(Tessel::Variant(0), false);
    propertyChanged("hasInspectorItem");
}

void VenueManager::setCreatingItem(VenueHistoryItem* item)
{
    creatingItem = item;
    propertyChanged("isCreatingVenue");
}

void VenueManager::editorClosed(VenueHistoryItem* item)
{
    if (creatingItem)
        deleteVenue(creatingItem);
    else if (item == inspectorItem)
        setInspectorItem(nullptr);
}

void VenueManager::newVenue()
{
    if (!venue)
        return;
    if (isShowingVenue())
        setShowVenue(false);
    saveOpenVenue(false);
    resetVenue();
    saveOpenVenue(true);
    rescanHistory();
    VenueHistoryItem* item = history->findItemByUrl(openFile);
    if (!item)
    {
        // The file could not be written: the entry stands for the venue all the same.
        item = new VenueHistoryItem(VenueFiles::getVenueFile(*venue), this);
        history->append(item);
    }
    setCreatingItem(item);
    item->setEditing(true);
}

void VenueManager::deleteVenue(VenueHistoryItem* item)
{
    if (!item)
        return;
    Tessel::SharedPtr<Tessel::Object> keepAlive(item);
    if (item == inspectorItem)
        setInspectorItem(nullptr);
    const std::string url = item->getUrl();
    if (isOpenVenueFile(url))
        resetVenue();
    Tessel::IFileSystem* files = Tessel::GetFileSystem();
    files->removeFile(url);
    files->removeFile(VenueFiles::getCacheFileFor(url));
    setCreatingItem(nullptr);
    rescanHistory();
}

void VenueManager::renameVenue(VenueHistoryItem* item, const std::string& name)
{
    if (!item)
        return;
    Tessel::SharedPtr<Tessel::Object> keepAlive(item);
    const std::string oldUrl = item->getUrl();
    if (name.find_first_not_of(" \t") == std::string::npos)
    {
        item->reload(); // a venue keeps a name
        return;
    }
    const bool open = isOpenVenueFile(oldUrl);
    // The open venue's latest state is in its file before the file is renamed.
    if (open)
        saveOpenVenue(false);
    Tessel::AutoPtr<Venue> renamed = new Venue;
    if (!VenueFiles::loadVenue(*renamed, oldUrl, false))
    {
        item->reload();
        return;
    }
    if (name != renamed->getVenueName())
    {
        if (open)
            resetVenue();
        renamed->setVenueName(name, false);
        const std::string newUrl = VenueFiles::getVenueFile(*renamed);
        Tessel::IFileSystem* files = Tessel::GetFileSystem();
        if (newUrl != oldUrl)
        {
            files->moveFile(oldUrl, newUrl);
            files->moveFile(VenueFiles::getCacheFileFor(oldUrl), VenueFiles::getCacheFile(*renamed));
        }
        VenueFiles::saveVenue(*renamed, true);
        item->setUrl(newUrl);
        history->sortByName();
        // A venue being created is kept once it has a name.
        if (item == creatingItem)
            setCreatingItem(nullptr);
    }
    else
    {
        item->reload();
    }
    renamed->closeAllRooms();
}

// --- Switches ---------------------------------------------------------------------------------

void VenueManager::setShowVenue(bool on)
{
    setInspectorItem(nullptr);
    showVenue->setValue(Tessel::Variant(on ? 1 : 0), true);
}

bool VenueManager::isShowingVenue() const
{
    return showVenue->getValue().asInt() != 0;
}

bool VenueManager::isShowingNetwork() const
{
    return showNetwork->getValue().asInt() != 0;
}

void VenueManager::closeRoomInspectors()
{
    SpeakerRoom* room = venue ? venue->getActiveRoom() : nullptr;
    if (Tessel::IParameter* close = room ? room->findParameter("closeInspector") : nullptr)
        close->setValue(Tessel::Variant(close->getValue().asInt() ? 0 : 1), true);
}

void VenueManager::showVenueChanged()
{
    if (!venue)
        return;
    if (isShowingVenue())
    {
        if (SpeakerNetworkManager* speakers = speakerList())
            speakers->getItems().setFilter(venue->getSpeakerFilter());
    }
    else if (VenueFiles::isWorthSaving(*venue))
    {
        setCreatingItem(nullptr);
        rescanHistory();
    }
    else
    {
        // An empty venue left behind is not kept.
        VenueHistoryItem* entry = history->findItemByUrl(openFile);
        if (!entry)
            entry = creatingItem;
        if (entry)
            deleteVenue(entry);
    }
    closeRoomInspectors();
}

void VenueManager::paramChanged(Tessel::IParameter* param)
{
    if (param == showVenue)
    {
        showVenueChanged();
        return;
    }
    if (param != showNetwork)
        return;
    const bool on = isShowingNetwork();
    if (on)
        if (IWifiSetup* wifi = findWifiSetup())
            wifi->refresh();
    // Only a speaker list that exists already; this switch never starts the network.
    if (SpeakerNetworkManager* speakers = speakerList())
        speakers->setNetworkSetupMode(on);
}

bool VenueManager::onNew(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        newVenue();
    return true;
}

// --- Automatic saving -------------------------------------------------------------------------

bool VenueManager::changedRecently(int64_t now) const
{
    // A change counts when it is less than one interval old, and also when it came after the
    // previous turn looked (a turn that runs late, or a change in the same millisecond after it),
    // so no change is left out between two turns.
    auto counts = [&](int64_t when)
    { return when > 0 && (now - when < kSaveIntervalMs || (lastTick >= 0 && when >= lastTick)); };
    if (counts(venue->getLastChange()))
        return true;
    for (int i = 0; i < venue->countRooms(); ++i)
        if (counts(venue->getRoom(i)->getLastChange()))
            return true;
    for (int i = 0; i < venue->countRooms(); ++i)
        for (SpeakerPosition* position : venue->getRoom(i)->allPositions())
            if (SpeakerNetworkItem* item = position->getSpeaker())
                if (LK::SpeakerRootComponent* root = item->getRoot(); root && counts(root->lastChange()))
                    return true;
    return false;
}

void VenueManager::saveTick()
{
    const int64_t now = Tessel::GetSystemTicks();
    if (isShowingVenue() && venue)
    {
        // Changes that no time stamp records (a name, a placement) show in what would be written.
        if (changedRecently(now) || storedText() != lastSaved)
            saveOpenVenue(false);
    }
    lastTick = now;
}

bool VenueManager::terminate()
{
    // The tree may be terminated more than once on the way out: only a venue that is still open
    // is saved, so an emptied venue never overwrites its file.
    if (venue && venue->isInitialized())
    {
        saveOpenVenue(false);
        venue->terminate();
    }
    saving = false;
    setInspectorItem(nullptr);
    creatingItem = nullptr;
    history->clear();
    return Component::terminate();
}

void VenueManager::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is(kSaveMessage))
    {
        if (!saving || !venue)
            return;
        saveTick();
        deferMessage(Tessel::Message(kSaveMessage), kSaveIntervalMs);
        return;
    }
    Component::notify(subject, msg);
}

// --- Component --------------------------------------------------------------------------------

Tessel::Component* VenueManager::findChild(const std::string& childName) const
{
    if (childName == "activeVenue")
        return venue;
    if (childName == "inspector")
        return inspectorItem;
    return Component::findChild(childName);
}

bool VenueManager::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "hasHistory")
        value = !history->isEmpty();
    else if (propertyName == "hasInspectorItem")
        value = inspectorItem != nullptr;
    else if (propertyName == "isCreatingVenue")
        value = creatingItem != nullptr;
    else
        return Component::getProperty(propertyName, value);
    return true;
}

// --- IVenueSide -------------------------------------------------------------------------------

IActiveRoom* VenueManager::getActiveRoom() const
{
    return venue ? venue->getActiveRoom() : nullptr;
}

void VenueManager::removeSpeakerFromRooms(const std::string& serial)
{
    if (!venue)
        return;
    VenueLayoutEdit edit(venue, "Remove Speaker " + serial);
    venue->removeSpeaker(serial);
}

void VenueManager::speakerGone(const std::string& serial, SpeakerNetworkItem* item)
{
    if (venue)
        venue->speakerGone(item);
}

} // namespace Vellaris
