// Linked as an object file into tarnsim (roomdesk::formats_register_simulator), so that the
// simulator's formatters are registered during static initialisation, before main.
#include "formats/Formats.h"

namespace
{

const bool registered = (Vellaris::Dsp::registerSimulatorFormats(), true);

} // namespace
