#pragma once
// Test helpers: a discovery scope of its own for each test, a helper process
// speaking lines on stdin/stdout, and waiting for conditions with a deadline.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace lknet::test
{

// Sets LKNET_DISCOVERY_PORT to a port free at this moment and
// LKNET_LOOPBACK_ONLY=1, for this process and the helpers it starts.
uint16_t useOwnDiscoveryScope();

// Path of the test peer program.
std::string testPeerPath();

// Calls process() on this process's network manager, waiting on its sockets,
// until `done` holds or `timeoutMs` passed. Returns whether `done` held.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs);

class PeerProcess
{
public:
    // Starts the test peer program with these arguments.
    explicit PeerProcess(const std::vector<std::string>& arguments);
    // Starts `argv[0]` (a path) with the rest as its arguments.
    PeerProcess(const std::vector<std::string>& argv, bool);
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    void send(const std::string& line);
    // Reads what the helper printed so far.
    void poll();
    // Pumps this process's network manager and reads the helper's lines until a
    // line starting with `prefix` arrives that no earlier wait has taken.
    bool waitForLine(const std::string& prefix, int timeoutMs, std::string* line = nullptr);
    bool hasLine(const std::string& prefix) const;
    const std::vector<std::string>& lines() const { return lines_; }
    pid_t pid() const { return pid_; }
    void signal(int number);
    // Waits for the process to end; its exit status or -1.
    int waitExit(int timeoutMs);

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string partial_;
    std::vector<std::string> lines_;
    std::vector<bool> consumed_;
};

} // namespace lknet::test
