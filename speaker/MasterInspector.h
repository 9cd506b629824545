#pragma once

#include <string>

#include "speaker/PresetListModel.h"
#include "tessel/CommandDispatcher.h"
#include "tessel/ComponentSingleton.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class IParameter;
}

namespace Vellaris
{

// The inspector of the active room's master graphic equaliser. One per process, named
// "MasterInspector" below the root component.
//
// The room is the venue side's active room (findActiveRoom), asked anew on every command; its
// master is the room's child "Master" and the equaliser that one's child "geq" (getGeq()).
//
// GEQ presets: the list "geqPresetsList" (kind "geq"; everything storable: the 31 gains, "on",
// "ston"). Commands of category "File", each also a command parameter: "Save GEQ Preset"
// (saveGEQPreset: the name editor with "My GEQ"), "Ok GEQ Preset" (okGEQPreset), "Replace GEQ
// Preset" (replaceGEQPreset: the answer yes to "confirmGEQReplace"), "Cancel GEQ Replace"
// (cancelGEQReplace), "Cancel GEQ Preset" (cancelGEQPreset), "Load GEQ Preset" (loadGEQPreset),
// "Reset GEQ" (resetGEQ: the band gains to 0 dB, "on" and "ston" stay) and "Delete GEQ Preset"
// (deleteGEQPreset: removes the chosen preset file). Load and reset do nothing without a room;
// both signal "MasterGEQEditor" so the editor redraws. Parameters "newPresetName" (100),
// "showGEQPresetEdit" (101), "selectedPreset" (103: the chosen preset, as the speaker
// inspector's). Load and delete take the chosen preset, or the one their argument "preset" names.
class MasterInspector : public Tessel::Component,
                        public Tessel::ComponentSingleton<MasterInspector>,
                        public Tessel::CommandDispatcher<MasterInspector>
{
    TESSEL_DECLARE_CLASS(MasterInspector)
    TESSEL_DECLARE_COMMANDS(MasterInspector)
public:
    static constexpr const char* kDefaultPresetName = "My GEQ";

    MasterInspector();

    bool acceptsCommandCategory(const std::string& category) const override;
    bool initialize(Tessel::IUnknown* context = nullptr) override;

    // The active room's master component and its equaliser, or nullptr.
    Tessel::Component* getMaster() const;
    Tessel::Component* getGeq() const;
    PresetListModel* getPresetList() const { return presets.get(); }

    bool onSaveGEQPreset(const Tessel::CommandMsg& msg);
    bool onLoadGEQPreset(const Tessel::CommandMsg& msg);
    bool onOkGEQPreset(const Tessel::CommandMsg& msg);
    bool onReplaceGEQPreset(const Tessel::CommandMsg& msg);
    bool onCancelGEQReplace(const Tessel::CommandMsg& msg);
    bool onCancelGEQPreset(const Tessel::CommandMsg& msg);
    bool onResetGEQ(const Tessel::CommandMsg& msg);
    bool onDeleteGEQPreset(const Tessel::CommandMsg& msg);

    void paramChanged(Tessel::IParameter* param) override;

    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

protected:
    ~MasterInspector() override;

private:
    Tessel::SharedPtr<PresetListModel> presets;
    Tessel::IParameter* selectedPreset = nullptr;
};

} // namespace Vellaris
