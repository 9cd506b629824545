#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tessel/SharedPtr.h"

namespace Tessel
{
class Component;
class IParameter;
} // namespace Tessel

namespace Vellaris::LK
{

// The changes a client root has sent to its speaker that the speaker has not confirmed yet, so
// that news older than them does not overwrite them in the mirror. A speaker reads what the
// client sends in order and answers in the order it read it, which gives two rules:
//
// - A "Synchronize" answering a "Subscribe" holds the speaker's state as it was when it read that
//   "Subscribe"; whatever the client sent after the "Subscribe" reaches the speaker later. From a
//   "Subscribe" until its "SubscriptionReply" the parameters the client changes are listed, and
//   keep the client's value against that "Synchronize" (their echoes follow it).
// - A speaker echoes every change, its sender's included, in the order it applied them. Each
//   value sent as "PV" is awaited until its echo comes; an echo of an earlier value while a later
//   one of the client's is still on its way is out of date.
//
// A value the speaker did not change (it held it already) is never echoed: an awaited value is
// dropped once a value comes that matches none, or kEchoWaitMs after it was sent, so a missing echo
// never holds the speaker's own news off for long. GUI thread only, like its root.
class ChangesInFlight
{
public:
    // An awaited value is forgotten this long after it was sent.
    static constexpr int64_t kEchoWaitMs = 5000;
    // An echo matches a sent normalised value within this distance (both travel as single-precision
    // floats and the speaker maps them to its own value and back).
    static constexpr float kEchoTolerance = 1e-5f;
    // At most this many values of one parameter are awaited; older ones are forgotten.
    static constexpr size_t kMaxAwaited = 16;

    // A "Subscribe" goes out: its "Synchronize" predates every change from now on.
    void subscribing();
    // The "SubscriptionReply" came: the answer to the oldest open "Subscribe" is complete.
    void subscriptionAnswered();
    // Forgets everything: the connection or the subscription was lost, or the client left the
    // speaker, and no answer or echo of what was sent before is coming.
    void forget();

    // The client sent a change of `param` (of the component `owner`): listed while a "Subscribe"
    // is open.
    void sent(Tessel::IParameter* param, Tessel::Component* owner);
    // The client sent `normalized` as "PV" for `param` at `now`: awaited until echoed.
    void sentValue(Tessel::IParameter* param, float normalized, int64_t now);
    // The client sent its whole state ("Synchronize"): while a "Subscribe" is open, every
    // parameter keeps the client's value against the answer.
    void sentEverything();

    // True when `param` keeps the client's value against a "Synchronize" arriving now.
    bool keepsOwnValue(const Tessel::IParameter* param) const;
    // Whether the client's whole state went out since the open "Subscribe".
    bool sentEverythingSinceSubscribe() const { return openSubscribes > 0 && everything; }
    // Whether there is anything keepsOwnValue can answer true for.
    bool hasChangesSinceSubscribe() const { return openSubscribes > 0 && (everything || !listed.empty()); }
    // The parameters listed since the open "Subscribe", with their components.
    void forEachListed(const std::function<void(Tessel::Component*, Tessel::IParameter*)>& visit) const;

    // Takes a "PV" for `param` into account. True when it is the echo of an earlier value of the
    // client's while a later one is still awaited: it must not be shown. Costs nothing while no
    // value is awaited.
    bool isOutdatedEcho(const Tessel::IParameter* param, float normalized)
    {
        return !awaited.empty() && takeEcho(param, normalized);
    }
    // Forgets awaited values sent kEchoWaitMs or longer before `now`.
    void expire(int64_t now);

private:
    bool takeEcho(const Tessel::IParameter* param, float normalized);

    struct Listed
    {
        Tessel::SharedPtr<Tessel::IParameter> param;
        Tessel::SharedPtr<Tessel::Component> owner;
    };
    struct Awaited
    {
        Tessel::SharedPtr<Tessel::IParameter> param;
        std::vector<float> values; // oldest first
        int64_t lastSent = 0;
    };
    int openSubscribes = 0;
    bool everything = false;
    std::vector<Listed> listed; // in the order they were first sent
    std::unordered_set<const Tessel::IParameter*> listedSet;
    std::unordered_map<const Tessel::IParameter*, Awaited> awaited;
};

} // namespace Vellaris::LK
