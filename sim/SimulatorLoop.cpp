#include "sim/SimulatorLoop.h"

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
    if (now - lastSave_ > kSaveIntervalMs)
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

} // namespace Vellaris::Tarn
