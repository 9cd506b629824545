#pragma once

#include <string>

#include "roomctl/Commands.h"

namespace Filtra
{
class EQComponent;
}

namespace Vellaris
{
class SpeakerComponent;
}

namespace Vellaris::Tools
{

// What `roomctl curve` prints: one band's response or the summed response of an equaliser.
struct CurveRequest
{
    std::string component; // "eq", "notch" or "compeq" of the line channel
    int band = -1;         // 0-based (composite numbering for "compeq"); −1: the summed response
    int points = 256;
};

// Whether `name` is an equaliser `roomctl curve` knows.
bool isCurveComponent(const std::string& name);
// The speaker's equaliser of that name (borrowed), or nullptr.
Filtra::EQComponent* findCurveComponent(SpeakerComponent* speaker, const std::string& name);
// Writes the curve of `equaliser` as lines "FREQ<TAB>DB" (Hz with two decimals, dB with three) on
// the equaliser's display range, computed by the engine the curve views use. Returns false (and
// writes nothing) when the band does not exist.
bool writeCurve(const Filtra::EQComponent& equaliser, int band, int points, std::string& out);

// roomctl curve SERIAL COMPONENT [--band N] [--points N].
int printCurve(MirrorSession& session, const CommandOptions& options, const std::string& serial,
               const CurveRequest& request);

} // namespace Vellaris::Tools
