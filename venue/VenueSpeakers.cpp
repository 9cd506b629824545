#include "venue/VenueSpeakers.h"

#include "speaker/SpeakerNetworkManager.h"

namespace Vellaris
{

SpeakerNetworkManager* findSpeakerNetwork()
{
    return Tessel::classCast<SpeakerNetworkManager>(
        Tessel::getRootComponent()->findChild(SpeakerNetworkManager::kComponentName));
}

} // namespace Vellaris
