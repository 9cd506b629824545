#pragma once

#include <string>

#include "tessel/SharedPtr.h"
#include "tessel/UndoCommand.h"

namespace Tessel
{
class UndoHistory;
}

namespace Vellaris
{

class SpeakerComponent;
class SpeakerNetworkManager;

// Keys the speakers' parameters for the undo history by serial number and parameter path
// ("Speaker/line/ch1/volume"), so a step still finds a speaker that left and came back with a new
// tree. A speaker parameter counts when it is mirrored with the device and kept in presets
// (public and storable), is one of the equaliser's all-bands switches, or is marked undoable (the
// speaker's "elastic"). Selection ("wink"), meters, the Wi-Fi lists and everything else are not
// recorded. Labels read "<Parameter> <speaker>" with the speaker's nickname, else its model.
class SpeakerUndoLocator : public Tessel::IUndoParamLocator
{
public:
    // Registers with the installed history (nothing without one) until destroyed.
    explicit SpeakerUndoLocator(const SpeakerNetworkManager& speakers);
    ~SpeakerUndoLocator() override;

    Claim identify(Tessel::IParameter* param, Tessel::UndoParamKey& key, std::string& label) override;
    Tessel::IParameter* resolve(const Tessel::UndoParamKey& key) override;

    // Whether the history records `param` of a speaker tree.
    static bool counts(const Tessel::IParameter* param);
    // "<action> <speaker>" with the speaker's nickname, else its model: the name of an undo step
    // that acts on one speaker ("Load Preset TX20A").
    static std::string stepName(const std::string& action, const SpeakerComponent* speaker);

private:
    const SpeakerNetworkManager& speakers;
    Tessel::SharedPtr<Tessel::UndoHistory> history;
};

} // namespace Vellaris
