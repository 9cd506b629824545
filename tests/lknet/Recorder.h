#pragma once
// Records what lknet reports to a handler, a listener and an error reporter.

#include <map>
#include <string>
#include <vector>

#include "lknet/lknet.h"

namespace lknet::test
{

struct Received
{
    uint32_t type = 0, source = 0, destination = 0;
    int context = 0;
    std::string data; // "JM"/"ZM" data, or the whole record
};

struct Recorder : IEventHandler, INetworkListener, INetworkErrorReporter
{
    std::vector<Received> packets;
    std::map<int, std::string> available; // handle -> serial number
    std::vector<int> unavailable;
    std::vector<NetworkError> errors;

    int handlePacket(int context, const Packet* packet) override
    {
        Received r{packet->type, packet->source, packet->destination, context, {}};
        if (packet->type == kPacketJsonMessage || packet->type == kPacketZipMessage)
        {
            const auto* json = reinterpret_cast<const JsonPacket*>(packet);
            r.data.assign(json->data, json->length);
        }
        else
        {
            r.data.assign(reinterpret_cast<const char*>(packet), packet->size);
        }
        packets.push_back(std::move(r));
        return 0;
    }
    void serverAvailable(int server, const ServerDescriptor* d) override
    {
        available[server] = d->serialNumber ? d->serialNumber : "";
    }
    void serverUnavailable(int server) override { unavailable.push_back(server); }
    void reportError(const NetworkError* error) override { errors.push_back(*error); }

    int serverWithSerial(const std::string& serial) const
    {
        for (const auto& [handle, s] : available)
            if (s == serial)
                return handle;
        return 0;
    }
    bool gone(int server) const
    {
        for (int h : unavailable)
            if (h == server)
                return true;
        return false;
    }
    int errorCount(int code) const
    {
        int n = 0;
        for (const NetworkError& e : errors)
            n += e.code == code;
        return n;
    }
    bool receivedText(const std::string& text) const
    {
        for (const Received& r : packets)
            if (r.data == text)
                return true;
        return false;
    }
};

// Sends a "JM" with the text from `source` to `destination`.
inline int sendText(int source, int destination, const std::string& text, uint32_t type = kPacketJsonMessage)
{
    JsonPacket json;
    json.header = Packet{type, sizeof(JsonPacket), uint32_t(source), uint32_t(destination)};
    json.data = text.data();
    json.length = uint32_t(text.size());
    return LKGetNetworkManager()->send(&json.header, 0);
}

} // namespace lknet::test
