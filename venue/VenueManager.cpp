#include "venue/VenueManager.h"

#include <sys/stat.h>

#include "model/loader/JsonCodec.h"
#include "speaker/SpeakerNetworkManager.h"
#include "speaker/WifiSetupSide.h"
#include "tessel/Attributes.h"
#include "tessel/FileUtilities.h"
#include "tessel/IFileSystem.h"
#include "tessel/IParameter.h"
#include "tessel/Json.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"
#include "venue/Venue.h"
#include "venue/VenueFiles.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(VenueManager, Tessel::Component, "VenueManager")

namespace
{
constexpr const char* kSaveMessage = "saveVenue";
}

VenueManager::VenueManager() : Tessel::Component("VenueManager", "VenueManager")
{
    showVenue = getParams().addParam("showVenue", kShowVenueTag);
    showNetwork = getParams().addParam("showNetwork", kShowNetworkTag);
    attach(this);
}

VenueManager::~VenueManager()
{
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
    const std::string last = findLastVenueFile();
    if (!last.empty())
        loadVenue(last);
    if (!saving)
    {
        saving = true;
        deferMessage(Tessel::Message(kSaveMessage), kSaveIntervalMs);
    }
}

bool VenueManager::loadVenue(const std::string& url)
{
    if (!venue || !VenueFiles::loadVenue(*venue, url))
        return false;
    showVenue->setValue(Tessel::Variant(1), true);
    return true;
}

std::string VenueManager::findLastVenueFile()
{
    const std::string folder = VenueFiles::getVenuesFolder();
    std::vector<std::string> names;
    if (!Tessel::GetFileSystem()->listFolder(folder, names))
        return {};
    std::string newest;
    struct timespec newestTime = {};
    for (const std::string& name : names)
    {
        if (Tessel::FileUtilities::getExtension(name) != "venue")
            continue;
        const std::string path = Tessel::FileUtilities::joinPath(folder, name);
        struct stat info = {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (newest.empty() || info.st_mtim.tv_sec > newestTime.tv_sec ||
            (info.st_mtim.tv_sec == newestTime.tv_sec && info.st_mtim.tv_nsec > newestTime.tv_nsec))
        {
            newest = path;
            newestTime = info.st_mtim;
        }
    }
    return newest;
}

bool VenueManager::isShowingVenue() const
{
    return showVenue->getValue().asInt() != 0;
}

bool VenueManager::isShowingNetwork() const
{
    return showNetwork->getValue().asInt() != 0;
}

IActiveRoom* VenueManager::getActiveRoom() const
{
    return venue ? venue->getActiveRoom() : nullptr;
}

void VenueManager::removeSpeakerFromRooms(const std::string& serial)
{
    if (venue)
        venue->removeSpeaker(serial);
}

void VenueManager::speakerGone(const std::string& serial, SpeakerNetworkItem* item)
{
    if (venue)
        venue->speakerGone(item);
}

Tessel::Component* VenueManager::findChild(const std::string& childName) const
{
    if (childName == "activeVenue")
        return venue;
    return Component::findChild(childName);
}

void VenueManager::saveTick()
{
    if (!isShowingVenue())
        return;
    // What would be written is compared with what was written last: rooms, placements and every
    // placed speaker's settings count, and a venue that did not change is not written again.
    JsonCodec::ensureInstalled();
    Tessel::Attributes stored;
    venue->save(stored);
    std::string text;
    if (!Tessel::JsonStringify(stored, text) || text == lastSaved)
        return;
    if (VenueFiles::saveVenue(*venue, false))
        lastSaved = text;
}

bool VenueManager::terminate()
{
    // The tree may be terminated more than once on the way out: only a venue that is still open
    // is saved, so an emptied venue never overwrites its file.
    if (venue && venue->isInitialized())
    {
        VenueFiles::saveVenue(*venue, false);
        venue->terminate();
    }
    saving = false;
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

void VenueManager::paramChanged(Tessel::IParameter* param)
{
    if (param != showNetwork)
        return;
    const bool on = isShowingNetwork();
    if (on)
        if (IWifiSetup* wifi = findWifiSetup())
            wifi->refresh();
    // Only a speaker list that exists already; this switch never starts the network.
    Tessel::Component* found = Tessel::getRootComponent()->findChild(SpeakerNetworkManager::kComponentName);
    if (SpeakerNetworkManager* speakers = Tessel::classCast<SpeakerNetworkManager>(found))
        speakers->setNetworkSetupMode(on);
}

} // namespace Vellaris
