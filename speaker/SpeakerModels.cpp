#include "speaker/SpeakerModels.h"

namespace Vellaris
{

bool isKnownSpeakerModel(const std::string& model)
{
    for (const char* known : kSpeakerModels)
        if (model == known)
            return true;
    return false;
}

} // namespace Vellaris
