#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tessel/Object.h"
#include "tessel/SharedPtr.h"
#include "roomctl/RealtimePlatform.h"

namespace Tessel
{
class IParameter;
}

namespace Vellaris
{
class SpeakerComponent;
class SpeakerNetworkItem;
class SpeakerNetworkManager;
} // namespace Vellaris

namespace Vellaris::Tools
{

// The Qt-free core of roomdesk without its window: a real-time platform, the component model, and
// the speaker network manager "SpeakerNetwork" mirroring every speaker on the network exactly as
// the application does. One per process.
//
// A mirror counts as synchronised once the speaker's full state ("Synchronize") has been applied;
// the session notices it by the speaker's "wink" parameter, which it disables when the speaker
// appears and which the state makes enabled again.
class MirrorSession
{
public:
    // Installs the platform, loads the component model and starts the speaker network. Check
    // isStarted(): false when the model or the network library could not start.
    MirrorSession();
    // Unsubscribes from every speaker and shuts the network down.
    ~MirrorSession();
    MirrorSession(const MirrorSession&) = delete;
    MirrorSession& operator=(const MirrorSession&) = delete;

    bool isStarted() const { return started; }
    // Why the start failed, in plain words.
    const std::string& getError() const { return error; }
    RealtimePlatform& getPlatform() { return platform; }
    SpeakerNetworkManager& getManager() const { return *manager; }

    // The first speaker with this serial number, or nullptr.
    SpeakerNetworkItem* findSpeaker(const std::string& serial) const;
    // Whether the speaker's full state has arrived since it appeared.
    static bool isSynchronized(const SpeakerNetworkItem* item);
    // Waits until a speaker with `serial` is listed and synchronised; nullptr when the time ran out
    // (`found` tells whether it was listed at all).
    SpeakerNetworkItem* waitForSpeaker(const std::string& serial, int64_t timeoutMs, bool* found = nullptr);

    // The parameter of `speaker` at `path` ("line/ch1/volume" or "Speaker/line/ch1/volume"), or
    // nullptr. A path into one of the line channel's blocks may leave out "line/ch1/"
    // ("eq/eqgain3").
    static Tessel::IParameter* findParameter(SpeakerComponent* speaker, const std::string& path);
    // The path of `param` below the speaker ("line/ch1/volume"); "" when it is not in a speaker.
    static std::string pathOf(const SpeakerComponent* speaker, const Tessel::IParameter* param);
    // Every mirrored (public) parameter of the speaker in tree order: a component's own
    // parameters, then its children's.
    static std::vector<Tessel::IParameter*> mirroredParameters(SpeakerComponent* speaker);

    // Sends `value` for `param` to the speaker and waits for the speaker's echo of it. The local
    // value is moved away from `value` (without sending) before and after the change goes out,
    // so that the echo is seen. A value the mirror already shows is done at once (a speaker sends
    // nothing for a change that changes nothing). Returns false when no echo came in time.
    bool changeAndWaitForEcho(Tessel::IParameter* param, const Tessel::Variant& value, int64_t timeoutMs);

private:
    class Watcher;

    RealtimePlatform platform;
    SpeakerNetworkManager* manager = nullptr; // owned by the root component
    Tessel::SharedPtr<Tessel::Object> watcher;
    bool started = false;
    std::string error;
};

} // namespace Vellaris::Tools
