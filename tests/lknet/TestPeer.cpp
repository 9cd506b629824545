// A helper process for the lknet tests: plays a server or a client, prints
// what the library reports on standard output (one line per event) and takes
// commands on standard input.
//
//   lknet_test_peer server <name> <serial>   echoes "JM"/"ZM"/"PV" to their sender
//   lknet_test_peer client                   registers one client (handle 1)
//
// Commands: "quit"; client: "subscribe <serial> <text>" (switch on, send a "JM"),
// "send <serial> <text>", "off <serial> <text>" (switch off, then send a "JM");
// server: "meters <count>".

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "lknet/lknet.h"

namespace
{

using namespace lknet;

std::string typeText(uint32_t type)
{
    return std::string{char(type >> 8), char(type & 0xFF)};
}

struct Peer : IEventHandler, INetworkListener, INetworkErrorReporter
{
    INetworkManager* net = LKGetNetworkManager();
    int handle = 0;
    bool server = false;
    std::map<std::string, int> servers; // serial -> handle

    int handlePacket(int context, const Packet* packet) override
    {
        std::string text;
        if (packet->type == kPacketJsonMessage || packet->type == kPacketZipMessage)
        {
            const auto* json = reinterpret_cast<const JsonPacket*>(packet);
            unsigned sum = 0;
            for (uint32_t i = 0; i < json->length; ++i)
                sum = sum * 31 + uint8_t(json->data[i]);
            text = json->length <= 200 ? std::string(json->data, json->length) : "sum=" + std::to_string(sum);
            std::printf("PACKET %s %u %u %u %s\n", typeText(packet->type).c_str(), packet->source,
                        packet->destination, json->length, text.c_str());
            if (server)
            {
                JsonPacket reply = *json;
                reply.header.source = packet->destination;
                reply.header.destination = packet->source;
                std::printf("SENT %d\n", net->send(&reply.header, 0));
            }
        }
        else
        {
            std::printf("PACKET %s %u %u %u\n", typeText(packet->type).c_str(), packet->source,
                        packet->destination, packet->size);
            if (server && packet->type == kPacketParamValue)
            {
                std::vector<uint8_t> copy(reinterpret_cast<const uint8_t*>(packet),
                                          reinterpret_cast<const uint8_t*>(packet) + packet->size);
                auto* reply = reinterpret_cast<Packet*>(copy.data());
                reply->source = packet->destination;
                reply->destination = packet->source;
                net->send(reply, 0);
            }
        }
        (void)context;
        return 0;
    }
    void serverAvailable(int h, const ServerDescriptor* d) override
    {
        servers[d->serialNumber ? d->serialNumber : ""] = h;
        std::printf("AVAILABLE %d %s %s\n", h, d->name, d->serialNumber);
    }
    void serverUnavailable(int h) override { std::printf("UNAVAILABLE %d\n", h); }
    void reportError(const NetworkError* e) override
    {
        std::printf("ERROR %d %s %u\n", e->code, e->address, e->port);
    }

    void sendText(int to, const std::string& text)
    {
        JsonPacket json;
        json.header = Packet{kPacketJsonMessage, sizeof(JsonPacket), uint32_t(handle), uint32_t(to)};
        json.data = text.data();
        json.length = uint32_t(text.size());
        std::printf("SENT %d\n", net->send(&json.header, 0));
    }

    // Returns false on "quit".
    bool command(const std::string& line)
    {
        std::istringstream in(line);
        std::string verb, serial, text;
        in >> verb >> serial;
        std::getline(in, text);
        if (!text.empty() && text[0] == ' ')
            text.erase(0, 1);
        if (verb == "quit")
            return false;
        if (verb == "meters")
        {
            std::vector<uint8_t> record(kSizeMeters);
            auto* packet = reinterpret_cast<Packet*>(record.data());
            *packet = Packet{kPacketMetersByte, kSizeMeters, uint32_t(handle), 0};
            for (int i = 0; i < std::atoi(serial.c_str()); ++i)
            {
                record[76] = uint8_t(i);
                net->sendMeters(packet);
            }
            return true;
        }
        auto it = servers.find(serial);
        if (it == servers.end())
        {
            std::printf("NOSERVER %s\n", serial.c_str());
            return true;
        }
        if (verb == "subscribe")
            net->setConnection(handle, it->second, 1, 0);
        if (verb == "off")
            net->setConnection(handle, it->second, 0, 1);
        sendText(it->second, text);
        return true;
    }
};

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 2)
        return 2;
    Peer peer;
    peer.server = std::strcmp(argv[1], "server") == 0;
    if (peer.net->startup() != 0)
        return 3;
    ServerDescriptor descriptor;
    if (peer.server)
    {
        descriptor.name = argc > 2 ? argv[2] : "TX10A";
        descriptor.deviceType = "SPK";
        descriptor.serialNumber = argc > 3 ? argv[3] : "123456789";
        if (peer.net->registerServer(&peer.handle, &peer, &descriptor, 0) != 0)
            return 4;
    }
    else
    {
        peer.net->registerClient(&peer.handle, &peer);
        peer.net->addNetworkListener(&peer);
    }
    peer.net->addErrorReporter(&peer);
    std::printf("READY %d\n", peer.handle);
    std::string pending;
    bool running = true;
    while (running)
    {
        std::vector<pollfd> fds;
        int due = peer.net->pollDescriptors(fds);
        fds.push_back({0, POLLIN, 0});
        ::poll(fds.data(), fds.size(), due < 0 || due > 50 ? 50 : due);
        peer.net->process();
        if (fds.back().revents & (POLLIN | POLLHUP))
        {
            char buffer[4096];
            ssize_t n = ::read(0, buffer, sizeof buffer);
            if (n <= 0)
                break;
            pending.append(buffer, size_t(n));
            size_t end;
            while (running && (end = pending.find('\n')) != std::string::npos)
            {
                running = peer.command(pending.substr(0, end));
                pending.erase(0, end + 1);
            }
        }
    }
    if (peer.server)
        peer.net->unregisterServer(&peer);
    peer.net->shutdown();
    std::printf("BYE\n");
    return 0;
}
