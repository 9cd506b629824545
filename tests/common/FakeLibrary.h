#pragma once

// A stand-in for the network library in the presentation's unit tests: it records what the
// application asks of it and lets a test play the library's callbacks (device reports, errors).

#include <map>
#include <string>
#include <vector>

#include "lknet/lknet.h"
#include "protocol/MessageAttributes.h"
#include "tests/common/IdleNetworkManager.h"

namespace NetworkTest
{

class FakeLibrary : public TestSupport::IdleNetworkManager
{
public:
    // Calls in order: "configure <name>", "startup", "addNetworkListener", "process", "resume 1",
    // "setConnection <client> <server> <on>", "send <type> [<path>|<message id>]", "shutdown", ...
    std::vector<std::string> calls;
    int startupResult = 0;
    int processCount = 0;
    lknet::INetworkListener* listener = nullptr;
    lknet::INetworkErrorReporter* reporter = nullptr;
    // Device records that getDeviceInfo hands out, by server handle.
    std::map<int, lknet::DeviceInfo> devices;
    // Messages sent ("JM"/"ZM"), decoded.
    std::vector<Vellaris::LK::MessageAttributes> messages;
    // Normalised values sent ("PV"), by wire path, in order.
    std::vector<std::pair<std::string, float>> values;
    std::vector<uint32_t> valueDestinations; // the destination handle of each of `values`

    int count(const std::string& call) const;
    void clear();

    // Plays the library's callbacks, as process() would.
    void announce(int server, const char* name, const char* type, const char* serial,
                  const char* uid = nullptr, uint32_t interfaceType = 0);
    void withdraw(int server);
    void reportError(int code, const char* address, uint32_t port);
    // Gives `server` an address record.
    void setDevice(int server, const char* address, const char* hostName, uint16_t port, uint32_t flags = 0);

    int startup() override;
    void shutdown() override { calls.push_back("shutdown"); }
    void configure(const char* name) override
    {
        calls.push_back(std::string("configure ") + (name ? name : ""));
    }
    void addNetworkListener(lknet::INetworkListener* l) override;
    void removeNetworkListener(lknet::INetworkListener* l) override;
    int registerClient(int* handle, lknet::IEventHandler*) override;
    int send(const lknet::Packet* packet, int flags) override;
    int setConnection(int client, int server, int on, int wasOn) override;
    void process() override;
    int getDeviceInfo(lknet::DeviceInfo* info, int server) override;
    void resume(int rescan) override { calls.push_back("resume " + std::to_string(rescan)); }
    void addErrorReporter(lknet::INetworkErrorReporter* r) override;
    void removeErrorReporter(lknet::INetworkErrorReporter* r) override;
    void simulateErrors() override { calls.push_back("simulateErrors"); }
    void suspend(int ms) override { calls.push_back("suspend " + std::to_string(ms)); }

private:
    int nextClient = 100;
};

} // namespace NetworkTest
