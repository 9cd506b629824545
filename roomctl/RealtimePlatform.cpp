#include "roomctl/RealtimePlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "lknet/lknet.h"
#include "tessel/Platform.h"

namespace Vellaris::Tools
{

RealtimePlatform::RealtimePlatform(bool install)
    : installed(install), signals([this] { return getSystemTicks(); }), network(LKGetNetworkManager())
{
    if (installed)
        previous = Tessel::setPlatform(this);
}

RealtimePlatform::~RealtimePlatform()
{
    // Messages still pending hold references to their targets; drop them while the platform lives.
    signals.getQueue().clear();
    if (installed)
        Tessel::setPlatform(previous);
}

void RealtimePlatform::turn()
{
    int64_t now = getSystemTicks();
    signals.getQueue().runDue(now);
    if (now >= nextIdle)
    {
        nextIdle = now + kIdleStepMs;
        idleTasks.tickAll();
    }
}

bool RealtimePlatform::runUntil(const std::function<bool()>& done, int64_t timeoutMs)
{
    const int64_t deadline = getSystemTicks() + timeoutMs;
    for (;;)
    {
        turn();
        if (done && done())
            return true;
        int64_t now = getSystemTicks();
        if (now >= deadline || stopRequested)
            return false;
        int64_t wake = std::min(deadline, nextIdle);
        if (std::optional<int64_t> due = signals.getQueue().nextDueTick())
            wake = std::min(wake, *due);
        if (networkPending)
        {
            int64_t due = lastNetwork + kNetworkGapMs;
            if (now >= due)
            {
                processNetwork(now);
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(due, wake) - now));
            continue;
        }
        int waitMs = int(std::clamp<int64_t>(wake - now, 0, kIdleStepMs));
        if (network->wait(waitMs) == 1)
        {
            now = getSystemTicks();
            if (now - lastNetwork >= kNetworkGapMs)
                processNetwork(now);
            else
                networkPending = true;
        }
    }
}

void RealtimePlatform::processNetwork(int64_t now)
{
    network->process();
    lastNetwork = now;
    networkPending = false;
}

void RealtimePlatform::runFor(int64_t ms)
{
    runUntil(nullptr, ms);
}

void RealtimePlatform::debugPrint(const char* text)
{
    if (verbose && text)
        std::fputs(text, stderr);
}

void RealtimePlatform::showAlert(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool RealtimePlatform::initialize(const std::vector<std::string>& args, Tessel::IApplicationStartup*)
{
    arguments = args;
    return true;
}

int RealtimePlatform::runEventLoop()
{
    stopRequested = false;
    while (!stopRequested)
        runUntil(nullptr, 1000);
    return 0;
}

void RealtimePlatform::quit(int)
{
    stopRequested = true;
}

} // namespace Vellaris::Tools
