#pragma once
// Byte layouts of what lknet puts on the network: the frame header of its TCP
// connections and the discovery datagrams. Everything is little-endian.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "lknet/lknet.h"

namespace lknet
{

inline void putU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void putU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void putU64(uint8_t* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline uint16_t getU16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t getU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t getU64(const uint8_t* p)
{
    return uint64_t(getU32(p)) | (uint64_t(getU32(p + 4)) << 32);
}

// Copies `text` (null = empty) into a fixed field, cut to size - 1 bytes, NUL-padded.
void putText(uint8_t* field, size_t size, const char* text);
// Reads a fixed field that may lack its terminating NUL.
std::string getText(const uint8_t* field, size_t size);

// ---------------------------------------------------------------------------
// Frames of a TCP connection: a 16-byte header, then `length` payload bytes.

enum class FrameKind : uint8_t
{
    Hello = 1,     // client -> server: who is calling, which server it expects
    Welcome = 2,   // server -> client: accepted or refused
    Packet = 3,    // one packet record ("JM"/"ZM": 24-byte record, then the data)
    Heartbeat = 4, // nothing to say, but alive
    Close = 5,     // orderly end: the sender closes after this frame
};

constexpr uint16_t kFrameMagic = 0x4B4C; // "LK"
constexpr uint8_t kFrameVersion = 1;
constexpr size_t kFrameHeaderSize = 16;
// The wire form of a "JM"/"ZM" record: header, u32 zero, u32 data length.
constexpr uint32_t kWireJsonRecordSize = 24;
constexpr uint32_t kMaxFramePayload = kMaxPacketSize + kWireJsonRecordSize;

struct FrameHeader
{
    FrameKind kind = FrameKind::Heartbeat;
    uint32_t length = 0;
    uint32_t sequence = 0;
};

void encodeFrameHeader(uint8_t* out, const FrameHeader& header);
// False when the bytes are no frame header of ours or announce too much payload.
bool decodeFrameHeader(const uint8_t* in, FrameHeader* header);

// Hello payload.
struct HelloMessage
{
    uint64_t clientInstance = 0;
    uint32_t clientHandle = 0;
    uint64_t serverInstance = 0; // the server instance the client means
    std::string hostName;
};
constexpr size_t kHelloSize = 8 + 4 + 8 + 64;
void encodeHello(uint8_t* out, const HelloMessage& hello);
bool decodeHello(const uint8_t* in, size_t length, HelloMessage* hello);

// Welcome payload: the server's instance id and whether the call is accepted.
constexpr size_t kWelcomeSize = 12;

// Checks a received packet record (the payload of a Packet frame): size word,
// fixed sizes of known types, JSON length. False means a malformed frame.
bool validWirePacket(const uint8_t* payload, size_t length);
// The size a known fixed-layout type must have, or 0 when its size is free.
uint32_t fixedPacketSize(uint32_t type);

// ---------------------------------------------------------------------------
// Discovery datagrams

enum class DiscoveryKind : uint8_t
{
    Announce = 1,
    Query = 2,
    Bye = 3
};

constexpr uint16_t kDiscoveryProtocolVersion = 1;
constexpr size_t kDiscoveryHeaderSize = 16;
constexpr size_t kAnnounceSize = 296;

struct DiscoveryMessage
{
    DiscoveryKind kind = DiscoveryKind::Query;
    uint64_t instance = 0; // the announcing server instance (Announce, Bye)
    uint16_t tcpPort = 0;
    uint16_t protocolVersion = kDiscoveryProtocolVersion;
    uint32_t interfaceType = 0;
    std::string name, deviceType, uid, serialNumber, hostName;
};

// Writes the datagram into `out` (at least kAnnounceSize bytes); returns its length.
size_t encodeDiscovery(uint8_t* out, const DiscoveryMessage& message);
// False for anything that is not a well-formed datagram of ours.
bool decodeDiscovery(const uint8_t* in, size_t length, DiscoveryMessage* message);

} // namespace lknet
