#include "lknet/WireFormat.h"

namespace lknet
{

namespace
{

constexpr uint8_t kDiscoveryMagic[4] = {'L', 'K', 'D', 'S'};
constexpr uint8_t kDiscoveryVersion = 1;

// Field offsets and sizes of an announcement.
constexpr size_t kNameOffset = 24, kNameSize = 64;
constexpr size_t kTypeOffset = 88, kTypeSize = 16;
constexpr size_t kUidOffset = 104, kUidSize = 64;
constexpr size_t kSerialOffset = 168, kSerialSize = 64;
constexpr size_t kHostOffset = 232, kHostSize = 64;

} // namespace

void putText(uint8_t* field, size_t size, const char* text)
{
    std::memset(field, 0, size);
    if (!text)
        return;
    size_t n = std::strlen(text);
    if (n > size - 1)
        n = size - 1;
    std::memcpy(field, text, n);
}

std::string getText(const uint8_t* field, size_t size)
{
    const void* end = std::memchr(field, 0, size);
    size_t n = end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - field) : size - 1;
    return std::string(reinterpret_cast<const char*>(field), n);
}

void encodeFrameHeader(uint8_t* out, const FrameHeader& header)
{
    putU16(out, kFrameMagic);
    out[2] = kFrameVersion;
    out[3] = static_cast<uint8_t>(header.kind);
    putU32(out + 4, header.length);
    putU32(out + 8, header.sequence);
    putU32(out + 12, 0);
}

bool decodeFrameHeader(const uint8_t* in, FrameHeader* header)
{
    if (getU16(in) != kFrameMagic || in[2] != kFrameVersion)
        return false;
    uint8_t kind = in[3];
    if (kind < uint8_t(FrameKind::Hello) || kind > uint8_t(FrameKind::Close))
        return false;
    header->kind = static_cast<FrameKind>(kind);
    header->length = getU32(in + 4);
    header->sequence = getU32(in + 8);
    if (header->length > kMaxFramePayload)
        return false;
    switch (header->kind)
    {
    case FrameKind::Hello:
        return header->length == kHelloSize;
    case FrameKind::Welcome:
        return header->length == kWelcomeSize;
    case FrameKind::Packet:
        return header->length >= sizeof(Packet);
    case FrameKind::Heartbeat:
    case FrameKind::Close:
        return header->length == 0;
    }
    return false;
}

void encodeHello(uint8_t* out, const HelloMessage& hello)
{
    putU64(out, hello.clientInstance);
    putU32(out + 8, hello.clientHandle);
    putU64(out + 12, hello.serverInstance);
    putText(out + 20, 64, hello.hostName.c_str());
}

bool decodeHello(const uint8_t* in, size_t length, HelloMessage* hello)
{
    if (length != kHelloSize)
        return false;
    hello->clientInstance = getU64(in);
    hello->clientHandle = getU32(in + 8);
    hello->serverInstance = getU64(in + 12);
    hello->hostName = getText(in + 20, 64);
    return true;
}

uint32_t fixedPacketSize(uint32_t type)
{
    switch (type)
    {
    case kPacketParamValue:
    case kPacketParamColor:
        return kSizeParamValue;
    case kPacketParamString:
        return kSizeParamString;
    case kPacketParamList:
        return kSizeParamList;
    case kPacketParamRange:
        return kSizeParamRange;
    case kPacketParamEdit:
        return kSizeParamEdit;
    case kPacketKeepAlive:
        return kSizeKeepAlive;
    case kPacketMetersByte:
    case kPacketMetersShort:
        return kSizeMeters;
    case kPacketFileData:
        return kSizeFileData;
    default:
        return 0;
    }
}

bool validWirePacket(const uint8_t* payload, size_t length)
{
    if (length < sizeof(Packet))
        return false;
    uint32_t type = getU32(payload);
    uint32_t size = getU32(payload + 4);
    if (type == kPacketJsonMessage || type == kPacketZipMessage)
    {
        if (size != kWireJsonRecordSize || length < kWireJsonRecordSize)
            return false;
        uint32_t dataLength = getU32(payload + 20);
        return dataLength <= kMaxPacketSize && length == kWireJsonRecordSize + size_t(dataLength);
    }
    if (size != length || size > kMaxPacketSize)
        return false;
    uint32_t fixed = fixedPacketSize(type);
    return fixed == 0 || fixed == size;
}

size_t encodeDiscovery(uint8_t* out, const DiscoveryMessage& message)
{
    std::memset(out, 0, kDiscoveryHeaderSize);
    std::memcpy(out, kDiscoveryMagic, 4);
    out[4] = kDiscoveryVersion;
    out[5] = static_cast<uint8_t>(message.kind);
    putU64(out + 8, message.instance);
    if (message.kind != DiscoveryKind::Announce)
        return kDiscoveryHeaderSize;
    putU16(out + 16, message.tcpPort);
    putU16(out + 18, message.protocolVersion);
    putU32(out + 20, message.interfaceType);
    putText(out + kNameOffset, kNameSize, message.name.c_str());
    putText(out + kTypeOffset, kTypeSize, message.deviceType.c_str());
    putText(out + kUidOffset, kUidSize, message.uid.c_str());
    putText(out + kSerialOffset, kSerialSize, message.serialNumber.c_str());
    putText(out + kHostOffset, kHostSize, message.hostName.c_str());
    return kAnnounceSize;
}

bool decodeDiscovery(const uint8_t* in, size_t length, DiscoveryMessage* message)
{
    if (length < kDiscoveryHeaderSize || std::memcmp(in, kDiscoveryMagic, 4) != 0 ||
        in[4] != kDiscoveryVersion)
        return false;
    uint8_t kind = in[5];
    message->instance = getU64(in + 8);
    switch (kind)
    {
    case uint8_t(DiscoveryKind::Query):
    case uint8_t(DiscoveryKind::Bye):
        message->kind = static_cast<DiscoveryKind>(kind);
        return length == kDiscoveryHeaderSize;
    case uint8_t(DiscoveryKind::Announce):
        break;
    default:
        return false;
    }
    if (length != kAnnounceSize)
        return false;
    message->kind = DiscoveryKind::Announce;
    message->tcpPort = getU16(in + 16);
    message->protocolVersion = getU16(in + 18);
    message->interfaceType = getU32(in + 20);
    message->name = getText(in + kNameOffset, kNameSize);
    message->deviceType = getText(in + kTypeOffset, kTypeSize);
    message->uid = getText(in + kUidOffset, kUidSize);
    message->serialNumber = getText(in + kSerialOffset, kSerialSize);
    message->hostName = getText(in + kHostOffset, kHostSize);
    return message->tcpPort != 0 && message->instance != 0;
}

} // namespace lknet
