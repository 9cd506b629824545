#include "tarnsim/SimulatorLoop.h"

#include <cstdlib>

namespace Vellaris::Tarn
{

SimulatorLoop::SimulatorLoop(Steps steps, int64_t startTime)
    : steps_(std::move(steps)), lastAlive_(startTime), lastSave_(startTime)
{
}

void SimulatorLoop::tick(int64_t now)
{
    if (now - lastAlive_ > kAliveIntervalMs)
    {
        if (steps_.reportAlive)
            steps_.reportAlive();
        lastAlive_ = now;
    }
    if (now - lastSave_ > saveInterval_)
    {
        lastSave_ = now;
        if (steps_.save)
            steps_.save();
    }
    if (steps_.idle)
        steps_.idle();
    if (steps_.process)
        steps_.process();
    if (steps_.deliver)
        steps_.deliver();
}

int64_t SimulatorLoop::saveIntervalFromEnvironment()
{
    const char* text = std::getenv("TARNSIM_SAVE_INTERVAL_MS");
    if (!text || !text[0])
        return kSaveIntervalMs;
    char* end = nullptr;
    const long long ms = std::strtoll(text, &end, 10);
    return (*end == '\0' && ms > 0) ? ms : kSaveIntervalMs;
}

} // namespace Vellaris::Tarn
