#include "tests/common/FakeLibrary.h"

#include <algorithm>
#include <cstring>

#include "protocol/PacketRecords.h"
#include "protocol/ParamPackets.h"

namespace NetworkTest
{

int FakeLibrary::count(const std::string& call) const
{
    return int(std::count(calls.begin(), calls.end(), call));
}

void FakeLibrary::clear()
{
    calls.clear();
    messages.clear();
    values.clear();
    processCount = 0;
}

void FakeLibrary::announce(int server, const char* name, const char* type, const char* serial,
                           const char* uid, uint32_t interfaceType)
{
    lknet::ServerDescriptor descriptor;
    descriptor.name = name;
    descriptor.deviceType = type;
    descriptor.serialNumber = serial;
    descriptor.uid = uid;
    descriptor.interfaceType = interfaceType;
    if (listener)
        listener->serverAvailable(server, &descriptor);
}

void FakeLibrary::withdraw(int server)
{
    if (listener)
        listener->serverUnavailable(server);
}

void FakeLibrary::reportError(int code, const char* address, uint32_t port)
{
    lknet::NetworkError error;
    error.code = code;
    std::strncpy(error.address, address, sizeof error.address - 1);
    error.port = port;
    if (reporter)
        reporter->reportError(&error);
}

void FakeLibrary::setDevice(int server, const char* address, const char* hostName, uint16_t port,
                            uint32_t flags)
{
    lknet::DeviceInfo info;
    info.flags = flags;
    std::strncpy(info.address, address, sizeof info.address - 1);
    std::strncpy(info.hostName, hostName, sizeof info.hostName - 1);
    info.port = port;
    devices[server] = info;
}

int FakeLibrary::startup()
{
    calls.push_back("startup");
    return startupResult;
}

void FakeLibrary::addNetworkListener(lknet::INetworkListener* l)
{
    calls.push_back("addNetworkListener");
    listener = l;
}

void FakeLibrary::removeNetworkListener(lknet::INetworkListener* l)
{
    calls.push_back("removeNetworkListener");
    if (listener == l)
        listener = nullptr;
}

void FakeLibrary::addErrorReporter(lknet::INetworkErrorReporter* r)
{
    calls.push_back("addErrorReporter");
    reporter = r;
}

void FakeLibrary::removeErrorReporter(lknet::INetworkErrorReporter* r)
{
    calls.push_back("removeErrorReporter");
    if (reporter == r)
        reporter = nullptr;
}

int FakeLibrary::registerClient(int* handle, lknet::IEventHandler*)
{
    *handle = nextClient++;
    return 0;
}

int FakeLibrary::send(const lknet::Packet* packet, int)
{
    if (packet->type == lknet::kPacketJsonMessage || packet->type == lknet::kPacketZipMessage)
    {
        Vellaris::LK::MessageAttributes message;
        message.decode(packet);
        calls.push_back("send message " + std::string(message.messageId()));
        messages.push_back(message);
    }
    else if (packet->type == lknet::kPacketParamValue)
    {
        const auto* record = reinterpret_cast<const Vellaris::LK::ParamValuePacket*>(packet);
        std::string path(Vellaris::LK::receivedPath(packet));
        calls.push_back("send PV " + path);
        values.emplace_back(path, record->normalized);
        valueDestinations.push_back(packet->destination);
    }
    else
    {
        calls.push_back("send " + std::to_string(packet->type));
    }
    return 0;
}

int FakeLibrary::setConnection(int client, int server, int on, int)
{
    calls.push_back("setConnection " + std::to_string(client) + " " + std::to_string(server) + " " +
                    std::to_string(on));
    return 0;
}

void FakeLibrary::process()
{
    ++processCount;
}

int FakeLibrary::getDeviceInfo(lknet::DeviceInfo* info, int server)
{
    if (!info || info->size != sizeof(lknet::DeviceInfo))
        return lknet::kErrorBadArgument;
    auto it = devices.find(server);
    if (it == devices.end())
        return lknet::kErrorUnknownHandle;
    *info = it->second;
    return 0;
}

} // namespace NetworkTest
