#include "tests/tarnsim/SimulatorProcess.h"

#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "protocol/SynchronizeSender.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace TestSupport
{

namespace fs = std::filesystem;
using namespace Vellaris::LK;

namespace
{
int scope = 0;
}

int discoveryPort()
{
    const int port = 31000 + static_cast<int>(::getpid() % 2000) * 16 + scope % 16;
    ::setenv("LKNET_DISCOVERY_PORT", std::to_string(port).c_str(), 1);
    ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
    return port;
}

void newDiscoveryScope()
{
    lknet::INetworkManager& manager = network();
    manager.shutdown();
    ++scope;
    discoveryPort();
    manager.startup();
}

namespace
{
NetworkTest::ChildOptions simulatorOptions(const std::string& settingsText,
                                           std::map<std::string, std::string> environment)
{
    NetworkTest::ChildOptions options;
    options.environment = std::move(environment);
    options.environment.emplace("LKNET_DISCOVERY_PORT", std::to_string(discoveryPort()));
    options.environment.emplace("LKNET_LOOPBACK_ONLY", "1");
    options.oneLog = true;
    options.folderPrefix = "tarnsim-it";
    options.prepare = [settingsText](const std::string& folder)
    {
        fs::create_directories(folder + "/Vellaris/Tarn");
        if (!settingsText.empty())
            std::ofstream(SimulatorProcess::settingsPath(folder), std::ios::binary) << settingsText;
    };
    return options;
}
} // namespace

SimulatorProcess::SimulatorProcess(std::vector<std::string> arguments, const std::string& settingsText,
                                   std::map<std::string, std::string> environment)
    : child_(TARNSIM_PATH, arguments, simulatorOptions(settingsText, std::move(environment)))
{
}

SimulatorProcess::~SimulatorProcess() = default;

std::string SimulatorProcess::output() const
{
    return child_.output();
}

bool SimulatorProcess::waitForOutput(const std::string& text, Milliseconds limit) const
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline)
    {
        if (output().find(text) != std::string::npos)
            return true;
        pumpFor(Milliseconds(20));
    }
    return output().find(text) != std::string::npos;
}

void SimulatorProcess::signal(int number)
{
    child_.kill(number);
}

int SimulatorProcess::waitForExit(Milliseconds limit)
{
    if (!child_.waitForEnd(limit, [] { pumpFor(Milliseconds(20)); }))
        return -1000;
    if (child_.endedBySignal())
        return -2000;
    return static_cast<signed char>(child_.exitStatus());
}

MessageAttributes Received::message() const
{
    MessageAttributes decoded;
    lknet::JsonPacket record = as<lknet::JsonPacket>();
    record.data = data.data();
    record.length = static_cast<uint32_t>(data.size());
    decoded.decode(&record.header);
    return decoded;
}

lknet::INetworkManager& network()
{
    static lknet::INetworkManager* manager = []
    {
        discoveryPort();
        lknet::INetworkManager* started = LKGetNetworkManager();
        LKSetReportFunction([](const char*) {});
        started->startup();
        return started;
    }();
    return *manager;
}

bool pumpUntil(const std::function<bool()>& condition, Milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline)
    {
        network().process();
        if (condition())
            return true;
        network().wait(5);
    }
    network().process();
    return condition();
}

void pumpFor(Milliseconds duration)
{
    pumpUntil([] { return false; }, duration);
}

ServerWatcher::ServerWatcher()
{
    network().addNetworkListener(this);
}

ServerWatcher::~ServerWatcher()
{
    network().removeNetworkListener(this);
}

void ServerWatcher::serverAvailable(int server, const lknet::ServerDescriptor* descriptor)
{
    Discovered found;
    found.handle = server;
    found.name = descriptor->name ? descriptor->name : "";
    found.serial = descriptor->serialNumber ? descriptor->serialNumber : "";
    found.type = descriptor->deviceType ? descriptor->deviceType : "";
    servers.push_back(found);
}

void ServerWatcher::serverUnavailable(int server)
{
    for (auto it = servers.begin(); it != servers.end(); ++it)
    {
        if (it->handle == server)
        {
            servers.erase(it);
            return;
        }
    }
}

std::optional<Discovered> ServerWatcher::waitFor(const std::string& name, Milliseconds limit)
{
    std::optional<Discovered> found;
    pumpUntil(
        [&]
        {
            for (const Discovered& server : servers)
            {
                if (server.name == name)
                    found = server;
            }
            return found.has_value();
        },
        limit);
    return found;
}

TestClient::TestClient()
{
    network().registerClient(&handle, this);
}

TestClient::~TestClient()
{
    network().unregisterClient(this);
}

int TestClient::handlePacket(int, const lknet::Packet* packet)
{
    Received copy;
    const auto* bytes = reinterpret_cast<const unsigned char*>(packet);
    copy.bytes.assign(bytes, bytes + packet->size);
    copy.when = Clock::now();
    if (packet->type == lknet::kPacketJsonMessage || packet->type == lknet::kPacketZipMessage)
    {
        const auto* record = reinterpret_cast<const lknet::JsonPacket*>(packet);
        copy.data.assign(record->data, record->length);
    }
    received.push_back(std::move(copy));
    return 0;
}

void TestClient::connect(int serverHandle)
{
    server = serverHandle;
    network().setConnection(handle, server, 1, 0);
}

void TestClient::subscribe(int serverHandle)
{
    connect(serverHandle);
    MessageAttributes message(Message::kSubscribe, static_cast<uint32_t>(handle),
                              static_cast<uint32_t>(server));
    message.setText(Message::kClientName, "integration");
    message.setText(Message::kClientType, "test");
    message.setText(Message::kClientDescription, "");
    message.setText(Message::kClientIdentifier, "{00000000-0000-0000-0000-000000000001}");
    sendMessage(network(), message, MessageEncoding::Plain);
}

void TestClient::unsubscribe()
{
    network().setConnection(handle, server, 0, 1);
    sendMessage(network(), MessageAttributes(Message::kUnsubscribe, handle, server), MessageEncoding::Plain);
}

void TestClient::sendKeepAlive()
{
    lknet::Packet packet;
    buildKeepAlivePacket(packet, static_cast<uint32_t>(handle), static_cast<uint32_t>(server));
    network().send(&packet, 0);
}

void TestClient::sendValue(const std::string& path, float normalized)
{
    ParamValuePacket packet;
    buildValuePacket(packet, static_cast<uint32_t>(handle), static_cast<uint32_t>(server), path, 0,
                     normalized);
    network().send(&packet.base.header, 0);
}

void TestClient::sendPacket(lknet::Packet& packet)
{
    packet.source = static_cast<uint32_t>(handle);
    packet.destination = static_cast<uint32_t>(server);
    network().send(&packet, 0);
}

std::vector<const Received*> TestClient::ofType(uint32_t type) const
{
    std::vector<const Received*> found;
    for (const Received& packet : received)
    {
        if (packet.type() == type)
            found.push_back(&packet);
    }
    return found;
}

std::vector<MessageAttributes> TestClient::messages(const std::string& id) const
{
    std::vector<MessageAttributes> found;
    for (const Received& packet : received)
    {
        if (packet.type() != lknet::kPacketJsonMessage && packet.type() != lknet::kPacketZipMessage)
            continue;
        MessageAttributes message = packet.message();
        if (message.messageId() == id)
            found.push_back(message);
    }
    return found;
}

std::vector<const Received*> TestClient::values(const std::string& path) const
{
    std::vector<const Received*> found;
    for (const Received& packet : received)
    {
        if (packet.type() == lknet::kPacketParamValue &&
            receivedPath(reinterpret_cast<const lknet::Packet*>(packet.bytes.data())) == path)
            found.push_back(&packet);
    }
    return found;
}

} // namespace TestSupport
