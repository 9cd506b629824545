#pragma once

// The emulated speaker's parameter lists, compiled into the program. The
// records are generated at build time from the component-model documents
// (tarndefs.xml, tarndsp.xml), so they always match what roomdesk loads.

#include "tarnsim/ParamDefinition.h"

namespace Vellaris::Tarn::Definitions
{

extern const Core::Portable::ParamDefinitionList kSpeaker; // root, 36 parameters
extern const Core::Portable::ParamDefinitionList kChannel; // "line/ch1", 14
extern const Core::Portable::ParamDefinitionList kLimiter; // "limit", 3
extern const Core::Portable::ParamDefinitionList kEq8;     // "eq", 49
extern const Core::Portable::ParamDefinitionList kNotchEq; // "notch", 33
extern const Core::Portable::ParamDefinitionList kGEQ;     // "geq", 34

} // namespace Vellaris::Tarn::Definitions
