#include "venue/VenueHistoryItem.h"

#include <cstdio>
#include <sys/stat.h>

#include "tessel/FileUtilities.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"
#include "venue/Venue.h"
#include "venue/VenueFiles.h"
#include "venue/VenueManager.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(VenueHistoryItem, Tessel::Component)

TESSEL_BEGIN_COMMANDS(VenueHistoryItem)
TESSEL_COMMAND("File", "Load", VenueHistoryItem::onLoad)
TESSEL_COMMAND("File", "Delete", VenueHistoryItem::onDelete)
TESSEL_COMMAND("File", "DeleteCancel", VenueHistoryItem::onDeleteCancel)
TESSEL_COMMAND("File", "DeleteConfirm", VenueHistoryItem::onDeleteConfirm)
TESSEL_COMMAND("File", "CancelNewVenue", VenueHistoryItem::onCancelNewVenue)
TESSEL_END_COMMANDS(VenueHistoryItem, Tessel::Component)

namespace
{
// Whether `first` was written before `second` (false when either cannot be asked).
bool writtenBefore(const std::string& first, const std::string& second)
{
    struct stat a = {}, b = {};
    if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0)
        return false;
    return a.st_mtim.tv_sec < b.st_mtim.tv_sec ||
           (a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec < b.st_mtim.tv_nsec);
}

std::string countText(const char* word, int count, bool plural)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d %s%s", count, word, plural ? "s" : "");
    return text;
}
} // namespace

VenueHistoryItem::VenueHistoryItem(const std::string& url, VenueManager* manager)
    : Tessel::Component(Tessel::FileUtilities::getBaseName(url)), url(url),
      summary(Tessel::adopt(new VenueCacheItem)), manager(manager)
{
    Tessel::ParamContainer& params = getParams();
    name = params.addString("name", kNameTag);
    speakers = params.addString("speakers", 0);
    groups = params.addString("groups", 0);
    promptDeleteConfirm = params.addParam("promptDeleteConfirm", kPromptDeleteConfirmTag);
    editVenue = params.addParam("editVenue", kEditVenueTag);
    closeVenueEditor = params.addParam("closeVenueEditor", kCloseVenueEditorTag);
    params.addCommand("File", "Load", "loadVenue");
    params.addCommand("File", "Delete", "deleteVenue");
    params.addCommand("File", "DeleteCancel", "deleteVenueCancel");
    params.addCommand("File", "DeleteConfirm", "deleteVenueConfirm");
    params.addCommand("File", "CancelNewVenue", "cancelNewVenue");
    reload();
}

VenueHistoryItem::~VenueHistoryItem() = default;

void VenueHistoryItem::setUrl(const std::string& newUrl)
{
    url = newUrl;
    setName(Tessel::FileUtilities::getBaseName(url));
    reload();
}

std::string VenueHistoryItem::getVenueName() const
{
    return name->getText();
}

std::string VenueHistoryItem::groupsText(int count)
{
    return countText("Group", count, count >= 2);
}

std::string VenueHistoryItem::speakersText(int count)
{
    return countText("Speaker", count, count != 1);
}

void VenueHistoryItem::reload()
{
    Tessel::AutoPtr<VenueCacheItem> fresh = new VenueCacheItem;
    // A summary older than its venue file (a desk that stopped between the two writes) is not
    // believed: the venue file itself is summarised.
    const std::string cache = VenueFiles::getCacheFileFor(url);
    if (!url.empty() && writtenBefore(cache, url))
    {
        Tessel::AutoPtr<Venue> read = new Venue;
        readable = VenueFiles::loadVenue(*read, url, false);
        if (readable)
            VenueFiles::summarise(*read, *fresh, true);
        read->closeAllRooms();
    }
    else
    {
        readable = !url.empty() && VenueFiles::loadCache(*fresh, url);
    }
    summary = readable ? Tessel::SharedPtr<VenueCacheItem>(fresh) : Tessel::adopt(new VenueCacheItem);
    show();
}

void VenueHistoryItem::markUnreadable()
{
    if (!readable)
        return;
    readable = false;
    summary = Tessel::adopt(new VenueCacheItem);
    show();
}

void VenueHistoryItem::show()
{
    if (readable)
    {
        name->setValue(Tessel::Variant(summary->name), false);
        groups->setValue(Tessel::Variant(groupsText(summary->numGroups)), true);
        speakers->setValue(Tessel::Variant(speakersText(summary->numSpeakers)), true);
    }
    else
    {
        name->setValue(Tessel::Variant(nameFromFile(url)), false);
        groups->setValue(Tessel::Variant(kUnreadableText), true);
        speakers->setValue(Tessel::Variant(std::string()), true);
    }
    propertyChanged("readable");
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

std::string VenueHistoryItem::nameFromFile(const std::string& url)
{
    // A venue's file is "<name>_{<venueID>}"; a file named otherwise is shown as it is named.
    const std::string file = Tessel::FileUtilities::getBaseName(url);
    const size_t cut = file.rfind("_{");
    if (cut != std::string::npos && cut > 0 && file.back() == '}')
        return file.substr(0, cut);
    return file;
}

void VenueHistoryItem::setEditing(bool on)
{
    editVenue->setValue(Tessel::Variant(on ? 1 : 0), true);
}

bool VenueHistoryItem::isEditing() const
{
    return editVenue->getValue().asInt() != 0;
}

bool VenueHistoryItem::isDeletePrompted() const
{
    return promptDeleteConfirm->getValue().asInt() != 0;
}

bool VenueHistoryItem::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "isOpen")
    {
        value = manager != nullptr && manager->isOpenVenueFile(url);
        return true;
    }
    if (propertyName == "readable")
    {
        value = readable;
        return true;
    }
    return Component::getProperty(propertyName, value);
}

void VenueHistoryItem::paramChanged(Tessel::IParameter* param)
{
    // The manager may drop this entry (a rescan of the list) while it acts on it.
    Tessel::SharedPtr<Tessel::Object> keepAlive(this);
    if (!manager)
        return;
    if (param == editVenue)
    {
        if (isEditing())
            manager->setInspectorItem(this);
        else
            manager->editorClosed(this);
    }
    else if (param == closeVenueEditor)
    {
        // Back to 0 quietly, so the next change closes the editor again.
        closeVenueEditor->setValue(Tessel::Variant(0), false);
        setEditing(false);
    }
    else if (param == name)
    {
        manager->renameVenue(this, name->getText());
    }
}

bool VenueHistoryItem::onLoad(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly && manager)
    {
        Tessel::SharedPtr<Tessel::Object> keepAlive(this);
        manager->loadVenue(this);
    }
    return true;
}

bool VenueHistoryItem::onDelete(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        promptDeleteConfirm->setValue(Tessel::Variant(1), false);
    return true;
}

bool VenueHistoryItem::onDeleteCancel(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        promptDeleteConfirm->setValue(Tessel::Variant(0), false);
    return true;
}

bool VenueHistoryItem::onDeleteConfirm(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly && manager)
    {
        Tessel::SharedPtr<Tessel::Object> keepAlive(this);
        manager->deleteVenue(this);
    }
    return true;
}

bool VenueHistoryItem::onCancelNewVenue(const Tessel::CommandMsg& msg)
{
    return onDeleteConfirm(msg);
}

} // namespace Vellaris
