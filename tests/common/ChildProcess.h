#pragma once

// Starts programs for the integration tests (tarnsim, roomctl) with their own environment, and
// collects their output and exit status.

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace NetworkTest
{

// The discovery port of this test process and scope: unique per process (and per scope, so that
// simulators of an earlier test are never seen by a later one). Also sets LKNET_DISCOVERY_PORT and
// LKNET_LOOPBACK_ONLY=1 for this process and every child it starts.
int useNewDiscoveryScope();

// A UDP port on 127.0.0.1 (or on every address when `anyAddress`) that was free a moment ago.
int freeUdpPort(bool anyAddress = false);

// How a child is started beyond its program and arguments.
struct ChildOptions
{
    // Set in the child's environment (after APPDATA).
    std::map<std::string, std::string> environment;
    // Called with the fresh folder before the child starts (to lay out its settings).
    std::function<void(const std::string& folder)> prepare;
    // Standard error goes to the same file as standard output, interleaved as written.
    bool oneLog = false;
    // The temporary folder's name starts with this.
    std::string folderPrefix = "network-it";
};

// Gives this process, and every program it starts, a private home under the temporary folder:
// HOME, the XDG folders (documents, config, data, state, cache) and a runtime folder only its
// owner may enter, and offscreen Qt, so a desk started by a test never touches the user's files,
// lock or display. `name` is made unique by the process number. Returns the home folder.
std::filesystem::path usePrivateHome(const std::string& name);

class ChildProcess
{
public:
    // Starts `program` with `arguments`; its standard output and error go to files in a fresh
    // temporary folder, which is also its APPDATA.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const ChildOptions& options = {});
    // Kills the process if it still runs and removes its folder.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& folder() const { return folder_; }
    std::string output() const;
    std::string errors() const;
    void kill(int signal);
    // Whether the process has ended (reaps it); its status then in exitStatus().
    bool hasEnded();
    // The exit status (0 to 255), or -1 when a signal ended it.
    int exitStatus() const { return status_; }
    bool endedBySignal() const { return ended_ && signalled_; }
    // Waits for the end, calling `pump` (which runs for a few milliseconds) meanwhile; false when
    // the time ran out.
    bool waitForEnd(std::chrono::milliseconds limit, const std::function<void()>& pump = {});

private:
    std::string folder_;
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = -1;
    bool signalled_ = false;
};

// What a program run to its end left: its exit status (-1 when it did not end in time or a signal
// ended it), standard output and standard error.
struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `program` to its end (at most `limit`; a program still running then is killed).
Outcome runToEnd(const std::string& program, const std::vector<std::string>& arguments,
                 std::chrono::milliseconds limit = std::chrono::seconds(20));

} // namespace NetworkTest
