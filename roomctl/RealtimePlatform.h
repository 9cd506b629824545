#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tessel/IAlertService.h"
#include "tessel/IGUI.h"
#include "tessel/IWindowManager.h"
#include "tessel/IdleTaskList.h"
#include "tessel/PlatformBase.h"
#include "tessel/PosixSystem.h"
#include "tessel/SignalHandler.h"

namespace lknet
{
class INetworkManager;
}

namespace Vellaris::Tools
{

// A windowless platform that runs the framework's loop in real time, for command-line tools and
// benchmarks that mirror speakers as roomdesk does. The clock is the monotonic clock; posted
// messages run when due; idle tasks run every kIdleStepMs; between turns the loop sleeps in the
// network library's wait(), and when the library has work it is processed without waiting for the
// next idle turn (see kNetworkGapMs).
//
//     RealtimePlatform platform;                      // installs itself
//     platform.runUntil([&] { return done; }, 3000);  // true when done before the time is up
class RealtimePlatform : public Tessel::PlatformBase,
                         private Tessel::IGUI,
                         private Tessel::IWindowManager,
                         private Tessel::IAlertService
{
public:
    static constexpr int64_t kIdleStepMs = 10;
    // While packets keep arriving, the library is processed at most once per this many
    // milliseconds, so a busy network (many speakers sending meters) costs a few hundred wake-ups
    // a second instead of one per packet. After a quiet moment a packet is handled at once.
    static constexpr int64_t kNetworkGapMs = 2;

    // `install` makes it the process's platform until it is destroyed.
    explicit RealtimePlatform(bool install = true);
    ~RealtimePlatform() override;

    // Runs the loop until `done` answers true (checked after every turn) or `timeoutMs` passed,
    // or stop() was called. Returns whether `done` answered true.
    bool runUntil(const std::function<bool()>& done, int64_t timeoutMs);
    // Runs the loop for `ms` milliseconds (or until stop()).
    void runFor(int64_t ms);
    // Ends the running loop soon; safe from a signal handler.
    void stop() { stopRequested = true; }
    bool isStopRequested() const { return stopRequested; }

    // Debug output and warnings go to standard error only when `on` (default off).
    void setVerbose(bool on) { verbose = on; }

    // IPlatform.
    Tessel::IGUI* getGUI() override { return this; }
    Tessel::ISignalHandler* getSignalHandler() override { return &signals; }
    Tessel::IWindowManager* getWindowManager() override { return this; }
    Tessel::ISystem* getSystem() override { return &system; }
    Tessel::IAlertService* getAlertService() override { return this; }
    void debugPrint(const char* text) override;
    void reportWarning(const char* text) override {}

private:
    // IGUI: the tool drives the loop itself through runUntil.
    bool initialize(const std::vector<std::string>& args, Tessel::IApplicationStartup*) override;
    int runEventLoop() override;
    void quit(int code) override;
    bool isRestartRequested() const override { return false; }
    void requestRestart() override {}
    const std::vector<std::string>& getArguments() const override { return arguments; }
    void addIdleTask(Tessel::ITimerTask* task) override { idleTasks.add(task); }
    void removeIdleTask(Tessel::ITimerTask* task) override { idleTasks.remove(task); }
    // IWindowManager: there are no windows.
    bool openWindow(const std::string&, Tessel::IUnknown*, bool) override { return false; }
    bool bringToFront(const std::string&, bool) override { return false; }
    // IAlertService: alerts go to standard error.
    void showAlert(const std::string& text) override;

    // One turn: due messages, and the idle tasks when their step is due.
    void turn();
    void processNetwork(int64_t now);

    bool installed;
    Tessel::IPlatform* previous = nullptr;
    Tessel::SignalHandler signals;
    Tessel::IdleTaskList idleTasks;
    Tessel::PosixSystem system;
    lknet::INetworkManager* network;
    std::vector<std::string> arguments;
    int64_t nextIdle = 0;
    int64_t lastNetwork = -kNetworkGapMs;
    bool networkPending = false;
    std::atomic<bool> stopRequested{false};
    bool verbose = false;
};

} // namespace Vellaris::Tools
