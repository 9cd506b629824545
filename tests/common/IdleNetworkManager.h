#pragma once

// The common ground of the tests' network library stand-ins: every operation of the library's
// manager interface, doing nothing and reporting success (getDeviceInfo: 102, no such device). A
// fake derives from it and overrides only what its tests watch or play.

#include <vector>

#include "lknet/lknet.h"

namespace TestSupport
{

class IdleNetworkManager : public lknet::INetworkManager
{
public:
    int startup() override { return 0; }
    void shutdown() override {}
    void configure(const char*) override {}
    void addNetworkListener(lknet::INetworkListener*) override {}
    void removeNetworkListener(lknet::INetworkListener*) override {}
    int registerServer(int*, lknet::IEventHandler*, const lknet::ServerDescriptor*, int) override
    {
        return 0;
    }
    int unregisterServer(lknet::IEventHandler*) override { return 0; }
    int registerClient(int*, lknet::IEventHandler*) override { return 0; }
    int unregisterClient(lknet::IEventHandler*) override { return 0; }
    int send(const lknet::Packet*, int) override { return 0; }
    int sendMeters(const lknet::Packet*) override { return 0; }
    int setConnection(int, int, int, int) override { return 0; }
    void process() override {}
    int getDeviceInfo(lknet::DeviceInfo*, int) override { return 102; }
    void resume(int) override {}
    void addErrorReporter(lknet::INetworkErrorReporter*) override {}
    void removeErrorReporter(lknet::INetworkErrorReporter*) override {}
    void simulateErrors() override {}
    void suspend(int) override {}
    int pollDescriptors(std::vector<pollfd>&) override { return 0; }
    int wait(int) override { return 0; }

protected:
    ~IdleNetworkManager() = default;
};

} // namespace TestSupport
