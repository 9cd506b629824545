#pragma once

// Runs the real tarnsim binary for integration tests (a child process of its own, with its
// settings folder) and talks to it through a real lknet client on loopback.

#include "lknet/lknet.h"
#include "tests/common/ChildProcess.h"
#include "protocol/MessageAttributes.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport
{

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// The discovery port in use: unique per test process and per scope, so
// parallel test runs, and simulators of earlier tests that have not yet been
// forgotten, are never seen. Also sets LKNET_* for this process.
int discoveryPort();
// Restarts this process's lknet on a new discovery port (call at the start
// of each test, before starting simulators).
void newDiscoveryScope();

// One tarnsim process with its own settings folder. Killed at destruction
// unless it already ended.
class SimulatorProcess
{
public:
    // arguments: the command line after the program name.
    explicit SimulatorProcess(std::vector<std::string> arguments,
                              const std::string& settingsText = std::string(),
                              std::map<std::string, std::string> environment = {});
    ~SimulatorProcess();

    const std::string& settingsFolder() const { return child_.folder(); }
    std::string settingsPath() const { return settingsPath(child_.folder()); }
    static std::string settingsPath(const std::string& folder) { return folder + "/Vellaris/Tarn/Tarn.settings"; }
    // Standard output and error so far.
    std::string output() const;
    // Polls the output for text until the deadline.
    bool waitForOutput(const std::string& text, Milliseconds limit) const;
    void signal(int number);
    // Waits for the process to end; its exit status, or -1000 when it did not end in time.
    int waitForExit(Milliseconds limit);
    pid_t pid() const { return child_.pid(); }

private:
    NetworkTest::ChildProcess child_;
};

// A received packet, copied out of the library's buffer.
struct Received
{
    std::vector<unsigned char> bytes;
    std::string data; // "JM"/"ZM" data
    Clock::time_point when;
    uint32_t type() const { return reinterpret_cast<const lknet::Packet*>(bytes.data())->type; }
    template <class T> const T& as() const { return *reinterpret_cast<const T*>(bytes.data()); }
    Vellaris::LK::MessageAttributes message() const;
};

// A discovered server.
struct Discovered
{
    int handle = 0;
    std::string name;
    std::string serial;
    std::string type;
};

// The process-wide lknet manager, started once for the test process.
lknet::INetworkManager& network();

// Calls process() until condition holds or the time is up.
bool pumpUntil(const std::function<bool()>& condition, Milliseconds limit);
// Calls process() for the given time.
void pumpFor(Milliseconds duration);

// Servers seen on the network, by name.
class ServerWatcher : public lknet::INetworkListener
{
public:
    ServerWatcher();
    ~ServerWatcher();
    void serverAvailable(int server, const lknet::ServerDescriptor* descriptor) override;
    void serverUnavailable(int server) override;
    // Waits until a server of that name is seen.
    std::optional<Discovered> waitFor(const std::string& name, Milliseconds limit = Milliseconds(10000));

    std::vector<Discovered> servers;
};

// One client of one server.
class TestClient : public lknet::IEventHandler
{
public:
    TestClient();
    ~TestClient();
    int handlePacket(int context, const lknet::Packet* packet) override;

    // Switches the connection on (no message).
    void connect(int server);
    // Connects and sends "Subscribe".
    void subscribe(int server);
    void unsubscribe();
    void sendKeepAlive();
    void sendValue(const std::string& path, float normalized);
    void sendPacket(lknet::Packet& packet);

    std::vector<const Received*> ofType(uint32_t type) const;
    // JSON messages with the given id, in order.
    std::vector<Vellaris::LK::MessageAttributes> messages(const std::string& id) const;
    // "PV" packets for a path.
    std::vector<const Received*> values(const std::string& path) const;

    int handle = 0;
    int server = 0;
    std::vector<Received> received;
};

} // namespace TestSupport
