#pragma once

#include <string>

namespace Vellaris
{

// The speaker models this desk knows by name: the simulator can play each, the skin draws a
// picture of each, and the TEST menu launches each.
inline constexpr const char* kSpeakerModels[] = {"TX10A", "TX20A", "TX30A", "TX40S"};
inline constexpr int kNumSpeakerModels = int(sizeof(kSpeakerModels) / sizeof(kSpeakerModels[0]));
// The subwoofer among them (its contour is always on and its voicing is fixed).
inline constexpr const char* kSubWooferModel = "TX40S";

// Whether `model` is one of kSpeakerModels, compared exactly.
bool isKnownSpeakerModel(const std::string& model);

} // namespace Vellaris
