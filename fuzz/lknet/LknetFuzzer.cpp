// Feeds arbitrary bytes to a connection as a peer would send them, in chunks the first byte picks,
// and takes every frame it yields apart as the network manager does: hello, packet records and
// their sizes. The same bytes also go to the discovery decoder as one datagram. Nothing may read
// beyond what arrived, and a frame must never claim more payload than the connection holds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

#include "lknet/Connection.h"
#include "lknet/WireFormat.h"

namespace
{

// Takes every complete frame out of the connection; false once it reported a malformed one.
bool drain(lknet::Connection& connection)
{
    while (true)
    {
        lknet::FrameHeader header;
        const uint8_t* payload = nullptr;
        switch (connection.nextFrame(&header, &payload))
        {
        case lknet::Connection::FrameStatus::None:
            return true;
        case lknet::Connection::FrameStatus::Malformed:
            return false;
        case lknet::Connection::FrameStatus::Frame:
            break;
        }
        if (header.length > lknet::kMaxFramePayload)
            std::abort(); // decodeFrameHeader let an oversized frame through
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; i < header.length; ++i)
            sum += payload[i]; // the whole payload must be readable
        switch (header.kind)
        {
        case lknet::FrameKind::Hello:
        {
            lknet::HelloMessage hello;
            if (lknet::decodeHello(payload, header.length, &hello) && hello.hostName.size() >= 64)
                std::abort();
            break;
        }
        case lknet::FrameKind::Packet:
            if (lknet::validWirePacket(payload, header.length))
            {
                const uint32_t type = lknet::getU32(payload);
                const uint32_t size = lknet::getU32(payload + 4);
                const uint32_t fixed = lknet::fixedPacketSize(type);
                if (fixed != 0 && size != fixed)
                    std::abort();
            }
            break;
        default:
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lknet::DiscoveryMessage message;
    if (lknet::decodeDiscovery(data, size, &message))
    {
        uint8_t again[lknet::kAnnounceSize + 64];
        const size_t length = lknet::encodeDiscovery(again, message);
        lknet::DiscoveryMessage twice;
        if (length > sizeof again || !lknet::decodeDiscovery(again, length, &twice) ||
            twice.instance != message.instance || twice.tcpPort != message.tcpPort)
            std::abort(); // what was read writes out as a datagram that reads back the same
    }

    if (size == 0)
        return 0;
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return 0;
    lknet::Connection connection(lknet::Socket(fds[0]), false, 0);
    // The first byte sets the chunk size, so frames arrive whole, cut and several at once.
    const size_t chunk = 1 + data[0] % 64 * 37;
    ++data;
    --size;
    uint64_t now = 1;
    for (size_t offset = 0; offset < size; offset += chunk, ++now)
    {
        const size_t length = std::min(chunk, size - offset);
        if (::write(fds[1], data + offset, length) != static_cast<ssize_t>(length))
            break;
        if (connection.readAvailable(now) != 0 || !drain(connection))
            break;
    }
    ::close(fds[1]);
    return 0;
}
