#include "mirror/ChangesInFlight.h"

#include <cmath>

#include "tessel/Component.h"
#include "tessel/IParameter.h"

namespace Vellaris::LK
{

void ChangesInFlight::subscribing()
{
    ++openSubscribes;
}

void ChangesInFlight::subscriptionAnswered()
{
    if (openSubscribes == 0 || --openSubscribes > 0)
        return;
    // The speaker has read everything sent before the last "Subscribe"; what was listed since then
    // has reached it (or is on its way) behind the answer.
    everything = false;
    listed.clear();
    listedSet.clear();
}

void ChangesInFlight::forget()
{
    openSubscribes = 0;
    everything = false;
    listed.clear();
    listedSet.clear();
    awaited.clear();
}

void ChangesInFlight::sent(Tessel::IParameter* param, Tessel::Component* owner)
{
    if (openSubscribes == 0 || !param || !listedSet.insert(param).second)
        return;
    listed.push_back(
        {Tessel::SharedPtr<Tessel::IParameter>(param), Tessel::SharedPtr<Tessel::Component>(owner)});
}

void ChangesInFlight::sentEverything()
{
    if (openSubscribes > 0)
        everything = true;
}

bool ChangesInFlight::keepsOwnValue(const Tessel::IParameter* param) const
{
    return openSubscribes > 0 && (everything || listedSet.count(param) > 0);
}

void ChangesInFlight::forEachListed(
    const std::function<void(Tessel::Component*, Tessel::IParameter*)>& visit) const
{
    // A copy: the visitor may send, which lists again.
    const std::vector<Listed> copy = listed;
    for (const Listed& entry : copy)
        visit(entry.owner.get(), entry.param.get());
}

void ChangesInFlight::sentValue(Tessel::IParameter* param, float normalized, int64_t now)
{
    if (!param)
        return;
    Awaited& entry = awaited[param];
    if (!entry.param)
        entry.param = Tessel::SharedPtr<Tessel::IParameter>(param);
    if (entry.values.size() >= kMaxAwaited)
        entry.values.erase(entry.values.begin());
    entry.values.push_back(normalized);
    entry.lastSent = now;
}

bool ChangesInFlight::takeEcho(const Tessel::IParameter* param, float normalized)
{
    auto found = awaited.find(param);
    if (found == awaited.end())
        return false;
    std::vector<float>& values = found->second.values;
    for (size_t i = 0; i < values.size(); ++i)
    {
        if (std::fabs(values[i] - normalized) > kEchoTolerance)
            continue;
        // The echo of values[i]: the speaker has read everything sent before it too. Values sent
        // after it are still on their way, and this one is older than they are.
        values.erase(values.begin(), values.begin() + std::ptrdiff_t(i) + 1);
        if (!values.empty())
            return true;
        awaited.erase(found);
        return false;
    }
    // Not one of the client's values: the speaker's own news (a change from elsewhere, or one of
    // ours it had to clamp or round) counts from here on.
    awaited.erase(found);
    return false;
}

void ChangesInFlight::expire(int64_t now)
{
    for (auto it = awaited.begin(); it != awaited.end();)
    {
        if (now - it->second.lastSent >= kEchoWaitMs)
            it = awaited.erase(it);
        else
            ++it;
    }
}

} // namespace Vellaris::LK
