#pragma once

#include <string>
#include <string_view>

namespace Vellaris::Tarn
{

// A speaker model the simulator can play, with the serial number it announces.
struct SpeakerModel
{
    const char* name;
    const char* serialNumber;
};

// The models in table order; the first is the default.
extern const SpeakerModel kSpeakerModels[4];

// The model whose name equals name exactly (case matters), or null.
const SpeakerModel* findSpeakerModel(std::string_view name);

// Chooses the model from the command line and reports the lines that go with
// it: no argument gives the default with "No speaker specified in args list,
// defaulting to TX10A"; an argument first reports "Checking arguments..." and
// falls back to the default the same way when it names no model.
const SpeakerModel& chooseSpeakerModel(int argc, const char* const* argv);

// The serial number to announce: `requested` (the environment's TARNSIM_SERIAL) when it is 1 to
// kMaxSerialLength letters, digits, '-', '_' or '.', else the model's own. A text that is given but
// unusable is reported and ignored, so a typo never announces a serial number that roomdesk
// cannot name (a '/' would split its path).
constexpr size_t kMaxSerialLength = 32;
std::string chooseSerialNumber(const SpeakerModel& model, const char* requested);

} // namespace Vellaris::Tarn
