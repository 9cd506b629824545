#pragma once

#include <cstdint>
#include <functional>

namespace Vellaris::Tarn
{

// One turn of the simulator's main loop, on a clock the caller reads: the
// "Still alive..." line every 20 s, a background save every 5 s, the
// speaker's idle tick, the network's process() and the delivery of finished
// file work, in this order. The caller sleeps kTickMs between turns.
class SimulatorLoop
{
public:
    static constexpr int64_t kTickMs = 20;
    static constexpr int64_t kAliveIntervalMs = 20000;
    static constexpr int64_t kSaveIntervalMs = 5000;

    struct Steps
    {
        std::function<void()> reportAlive; // "Still alive..."
        std::function<void()> save;        // queue a background save of the settings
        std::function<void()> idle;        // the speaker's idle tick
        std::function<void()> process;     // INetworkManager::process()
        std::function<void()> deliver;     // FileIOManager::deliver()
    };

    // startTime counts as the last alive line and the last save.
    SimulatorLoop(Steps steps, int64_t startTime);

    // The time between saves (kSaveIntervalMs unless changed; values below 1 ms count as 1 ms).
    void setSaveInterval(int64_t ms) { saveInterval_ = ms < 1 ? 1 : ms; }
    int64_t saveInterval() const { return saveInterval_; }
    // TARNSIM_SAVE_INTERVAL_MS when it holds a positive number of milliseconds, else kSaveIntervalMs.
    static int64_t saveIntervalFromEnvironment();

    // Runs one turn at time now (ms).
    void tick(int64_t now);

private:
    Steps steps_;
    int64_t lastAlive_;
    int64_t lastSave_;
    int64_t saveInterval_ = kSaveIntervalMs;
};

} // namespace Vellaris::Tarn
