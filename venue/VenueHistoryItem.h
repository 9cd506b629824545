#pragma once

#include <string>

#include "tessel/CommandDispatcher.h"
#include "tessel/Component.h"
#include "tessel/SharedPtr.h"
#include "venue/VenueCacheItem.h"

namespace Tessel
{
class Parameter;
class StringParam;
} // namespace Tessel

namespace Vellaris
{

class VenueManager;

// One venue file of the venue list, named after the file without its extension
// ("Club_{0A1B…}"). It shows the file's summary and lets the user open, rename and delete it.
//
// Parameters: "name" (tag 202, the venue's name; a change renames the venue), "speakers" and
// "groups" (tag 0, "N Speakers" and "N Groups"), "promptDeleteConfirm" (tag 203, on while the
// delete confirmation is shown), "editVenue" (tag 200, on while the entry's editor is open),
// "closeVenueEditor" (tag 201, any change closes the editor); command parameters "loadVenue",
// "deleteVenue", "deleteVenueCancel", "deleteVenueConfirm" and "cancelNewVenue" (category "File":
// "Load", "Delete", "DeleteCancel", "DeleteConfirm", "CancelNewVenue"). Property "isOpen": the
// entry's file is the open venue's; "readable": its files could be read.
//
// A venue file that cannot be read stays in the list, so the user sees it and can delete it: its
// name is taken from the file name, "groups" reads "cannot be read" and "speakers" is empty.
//
// The entry acts through its manager; without one (a plain list) its commands do nothing.
class VenueHistoryItem : public Tessel::Component, public Tessel::CommandDispatcher<VenueHistoryItem>
{
    TESSEL_DECLARE_CLASS(VenueHistoryItem)
    TESSEL_DECLARE_COMMANDS(VenueHistoryItem)
public:
    static constexpr int32_t kEditVenueTag = 200;
    static constexpr int32_t kCloseVenueEditorTag = 201;
    static constexpr int32_t kNameTag = 202;
    static constexpr int32_t kPromptDeleteConfirmTag = 203;
    // What "groups" reads for a file that cannot be read.
    static constexpr const char* kUnreadableText = "cannot be read";

    // Reads the summary of `url` (a venue file) at once.
    explicit VenueHistoryItem(const std::string& url = {}, VenueManager* manager = nullptr);

    const std::string& getUrl() const { return url; }
    // The file moved (a rename): the entry takes the new file's name and reads its summary.
    void setUrl(const std::string& newUrl);
    const VenueCacheItem& getSummary() const { return *summary; }
    std::string getVenueName() const;
    // Reads the summary again (the venue file itself when the summary cannot be read) and shows
    // it: "name" without notification, "groups" and "speakers" with it; signals "changed".
    void reload();
    // Whether the last reload could read the summary or the venue file.
    bool isReadable() const { return readable; }
    // The venue file turned out unreadable although its summary was read (an open that failed):
    // the entry shows it as it shows any unreadable file.
    void markUnreadable();
    // The venue's name as its file name tells it: "Hall_{0A1B…}" gives "Hall".
    static std::string nameFromFile(const std::string& url);
    // Opens (1) or closes (0) the editor, with notification.
    void setEditing(bool on);
    bool isEditing() const;
    bool isDeletePrompted() const;
    // The manager is gone before its entries.
    void forgetManager() { manager = nullptr; }

    // "1 Group", "2 Groups" (and "0 Group"): the "s" from 2 up.
    static std::string groupsText(int count);
    // "1 Speaker", "0 Speakers", "2 Speakers": the "s" unless exactly 1.
    static std::string speakersText(int count);

    bool acceptsCommandCategory(const std::string& category) const override { return category == "File"; }
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    void paramChanged(Tessel::IParameter* param) override;

    bool onLoad(const Tessel::CommandMsg& msg);
    bool onDelete(const Tessel::CommandMsg& msg);
    bool onDeleteCancel(const Tessel::CommandMsg& msg);
    bool onDeleteConfirm(const Tessel::CommandMsg& msg);
    bool onCancelNewVenue(const Tessel::CommandMsg& msg);

protected:
    ~VenueHistoryItem() override;

private:
    void show();

    std::string url;
    Tessel::SharedPtr<VenueCacheItem> summary;
    VenueManager* manager = nullptr;
    bool readable = false;
    Tessel::StringParam* name = nullptr;
    Tessel::StringParam* speakers = nullptr;
    Tessel::StringParam* groups = nullptr;
    Tessel::Parameter* promptDeleteConfirm = nullptr;
    Tessel::Parameter* editVenue = nullptr;
    Tessel::Parameter* closeVenueEditor = nullptr;
};

} // namespace Vellaris
