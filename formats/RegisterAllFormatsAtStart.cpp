// Linked as an object file into roomdesk (roomdesk::formats_register_all), so that every
// formatter and curve name is registered during static initialisation, before main.
#include "formats/Formats.h"

namespace
{

const bool registered = (Vellaris::Dsp::registerAllFormats(), true);

} // namespace
