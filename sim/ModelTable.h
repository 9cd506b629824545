#pragma once

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

} // namespace Vellaris::Tarn
