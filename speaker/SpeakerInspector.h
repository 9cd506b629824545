#pragma once

#include <string>

#include "speaker/PresetListModel.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/ComponentSingleton.h"
#include "tessel/IdleClient.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class IParameter;
}

namespace Vellaris
{

class SpeakerComponent;
class SpeakerNetworkItem;
class SpeakerNetworkManager;

// The inspector of the current speaker: the speaker the user selected last. One per process,
// named "Inspector" below the root component.
//
// The current speaker follows the speaker list: a "selectionChanged" of an item whose "selected"
// is on makes it current; the current item's "itemRemoved" clears it, and then "showSpeakerProps"
// goes to 0. Every change signals "propertyChanged" (properties "hasSpeaker" and "speakerItem",
// the current item's component path or "").
//
// Speaker presets: the list "speakerPresetsList" (kind "spk", everything storable). Commands of
// category "File", each also a command parameter: "Save Preset" (savePreset: the name editor
// with "My Speaker"), "Ok Preset" (okPreset: saves under "newPresetName"), "Replace Preset"
// (replacePreset: the answer yes to "confirmReplace", which comes on when that name exists),
// "Cancel Replace" (cancelReplace: back to naming), "Cancel Preset" (cancelPreset), "Load Preset"
// (loadPreset: the chosen preset into the current speaker), "Delete Preset" (deletePreset: removes
// the chosen preset file; on screen the list's delete cell deletes), "Reset Speaker"
// (resetSpeaker: every storable value to its default), "Reset EQ" and "Reset Notch" (resetEQ, resetNotch: the
// line channel's "eq" or "notch"). Of category "Edit": "Copy" and "Paste" (copySpeaker, pasteSpeaker) through
// the speaker clipboard. Load, reset, copy and paste do nothing without a current speaker; a check-only
// command answers yes and changes nothing.
//
// The chosen preset is the parameter "selectedPreset" (103): the row, −1 for none, with the
// preset's name as its text; setting it (by row or by name) selects that row of the list. Load
// and delete take the chosen preset, or the one their argument "preset" names (and fail when no
// preset has that name).
//
// Panel switches for the skin: "showPresetEdit" (101), "showSpeakerProps" (104), "closeEditor"
// (105), "showNotch" (106), "GEQDraw" (107); "showSpeakerProps" changes signal "SpeakerProps".
class SpeakerInspector : public Tessel::Component,
                         public Tessel::ComponentSingleton<SpeakerInspector>,
                         public Tessel::CommandDispatcher<SpeakerInspector>
{
    TESSEL_DECLARE_CLASS(SpeakerInspector)
    TESSEL_DECLARE_COMMANDS(SpeakerInspector)
public:
    static constexpr const char* kDefaultPresetName = "My Speaker";

    SpeakerInspector();

    bool acceptsCommandCategory(const std::string& category) const override;
    bool initialize(Tessel::IUnknown* context = nullptr) override;
    bool terminate() override;

    // Starts following `speakers` (done by itself once the application's speaker list exists).
    void watchSpeakers(SpeakerNetworkManager* speakers);
    SpeakerNetworkItem* getCurrentItem() const { return currentItem.get(); }
    SpeakerComponent* getCurrentSpeaker() const;
    // Makes `item` current (nullptr: none), with the announcements described above.
    void setCurrentItem(SpeakerNetworkItem* item);
    PresetListModel* getPresetList() const { return presets.get(); }

    bool onSavePreset(const Tessel::CommandMsg& msg);
    bool onLoadPreset(const Tessel::CommandMsg& msg);
    bool onDeletePreset(const Tessel::CommandMsg& msg);
    bool onOkPreset(const Tessel::CommandMsg& msg);
    bool onReplacePreset(const Tessel::CommandMsg& msg);
    bool onCancelReplace(const Tessel::CommandMsg& msg);
    bool onCancelPreset(const Tessel::CommandMsg& msg);
    bool onResetSpeaker(const Tessel::CommandMsg& msg);
    bool onResetEQ(const Tessel::CommandMsg& msg);
    bool onResetNotch(const Tessel::CommandMsg& msg);
    bool onCopy(const Tessel::CommandMsg& msg);
    bool onPaste(const Tessel::CommandMsg& msg);

    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;
    void paramChanged(Tessel::IParameter* param) override;

protected:
    ~SpeakerInspector() override;

private:
    void unwatchSpeakers();
    bool resetChild(const char* path, const Tessel::CommandMsg& msg);

    Tessel::SharedPtr<PresetListModel> presets;
    Tessel::SharedPtr<SpeakerNetworkManager> speakers;
    Tessel::SharedPtr<SpeakerNetworkItem> currentItem;
    Tessel::IParameter* newPresetName = nullptr;
    Tessel::IParameter* showPresetEdit = nullptr;
    Tessel::IParameter* confirmReplace = nullptr;
    Tessel::IParameter* selectedPreset = nullptr;
    Tessel::IParameter* showSpeakerProps = nullptr;
    // Looks for the application's speaker list on idle turns until it exists.
    Tessel::IdleClient finder;
};

} // namespace Vellaris
