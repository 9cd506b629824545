#pragma once

#include "app/ComponentSingleton.h"
#include "tessel/IdleClient.h"

namespace Vellaris
{

// The list of speakers on the network, named "SpeakerNetwork" below the root. It configures and
// starts the network library and lets it process on every idle turn.
class SpeakerNetworkManager : public Tessel::Component, public ComponentSingleton<SpeakerNetworkManager>
{
    TESSEL_DECLARE_CLASS(SpeakerNetworkManager)
public:
    SpeakerNetworkManager();

    // Configures the network library with the computer's name and starts it. When the library
    // cannot start, the list simply stays empty.
    void startup();
    // Stops processing and shuts the network library down.
    void shutdown();
    bool isStarted() const { return started; }

    // Deselects every speaker item (before the application is suspended).
    void deselectAll();

protected:
    ~SpeakerNetworkManager() override;

private:
    Tessel::IdleClient idle;
    bool started = false;
};

} // namespace Vellaris
