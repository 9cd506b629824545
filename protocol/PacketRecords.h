#pragma once

// Fixed-layout packet records exchanged between roomdesk and a speaker. Each
// record starts with the lknet packet header; the layouts below are what the
// network library carries byte for byte, so every offset is checked here.

#include "lknet/lknet.h"

#include <cstddef>
#include <cstdint>

namespace Vellaris::LK
{

// Codes the protocol recognises besides those lknet names.
constexpr uint32_t kPacketBoot = lknet::packetCode('B', 'O');     // 0x424F, ignored
constexpr uint32_t kPacketInfo = lknet::packetCode('M', 'I');     // 0x4D49, ignored
constexpr uint32_t kPacketTimeCode = lknet::packetCode('T', 'C'); // 0x5443, ignored
constexpr uint32_t kPacketDebug = lknet::packetCode('D', 'B');    // 0x4442, ignored

constexpr std::size_t kPathSize = 128; // path field, NUL included
constexpr std::size_t kStringValueSize = 256;
constexpr std::size_t kListEntriesSize = 1024;
constexpr std::size_t kRangeNameSize = 32; // curve and formatter names
constexpr std::size_t kMeterValueBytes = 1024;
constexpr int kMaxMeterGroups = 8;
constexpr int kMaxByteMeters = 1024;
constexpr int kMaxShortMeters = 512;
constexpr std::size_t kFileDataBytes = 4096;

// Flags word of parameter packets.
constexpr uint16_t kParamFlagDisabled = 1;     // the parameter is disabled (server)
constexpr uint16_t kParamFlagGestureBegin = 2; // "PE": the edit gesture begins

// Kind word of meter packets marking gain-reduction meters.
constexpr uint32_t kMeterKindGainReduction = 0x72656475;

// The part every parameter packet shares: header, path, flags.
struct ParamPacketBase
{
    lknet::Packet header;
    char path[kPathSize] = {};
    uint16_t flags = 0;
    uint16_t reserved = 0;
};

// "PV": a numeric parameter's normalised value.
struct ParamValuePacket
{
    ParamPacketBase base;
    float normalized = 0.0f;
};

// "PS": a parameter's text form.
struct ParamStringPacket
{
    ParamPacketBase base;
    char text[kStringValueSize] = {};
};

// "PL": a list parameter's value and its entries joined by "\n".
struct ParamListPacket
{
    ParamPacketBase base;
    float normalized = 0.0f;
    char entries[kListEntriesSize] = {};
};

// "PR": a numeric parameter's value and range (plain values).
struct ParamRangePacket
{
    ParamPacketBase base;
    float normalized = 0.0f;
    float min = 0.0f;
    float max = 0.0f;
    float curveMid = 0.0f;
    float defaultValue = 0.0f;
    char curve[kRangeNameSize] = {};
    char units[kRangeNameSize] = {};
};

// "PC": a colour parameter's value, ARGB.
struct ParamColorPacket
{
    ParamPacketBase base;
    uint32_t color = 0;
};

// "PE": an edit gesture begins (flag 2) or ends; no payload.
struct ParamEditPacket
{
    ParamPacketBase base;
};

// "MB" / "MS": meter values.
struct MeterGroup
{
    uint16_t meterId = 0;
    uint16_t firstValue = 0;
    uint16_t valueCount = 0;
};

struct MeterPacket
{
    lknet::Packet header;
    uint32_t kind = 0;
    uint16_t reserved = 0;
    uint16_t valueCount = 0;
    uint8_t groupCount = 0;
    uint8_t reserved2 = 0;
    MeterGroup groups[kMaxMeterGroups] = {};
    uint16_t reserved3 = 0;
    uint8_t values[kMeterValueBytes] = {}; // "MB": bytes; "MS": u16 each
};

// "FD": file data.
struct FileDataPacket
{
    lknet::Packet header;
    uint32_t requestWord = 0; // copied from the request
    uint32_t reserved1 = 0;
    uint32_t reserved2 = 0;
    uint16_t status = 0;
    uint16_t reserved3 = 0;
    uint8_t data[kFileDataBytes] = {};
};

// "FD" statuses the simulator answers a file request with.
constexpr uint16_t kFileStatusNotServed = 3; // requester holds a subscription
constexpr uint16_t kFileStatusNotSubscribed = 4;

static_assert(offsetof(ParamPacketBase, path) == 16);
static_assert(offsetof(ParamPacketBase, flags) == 144);
static_assert(offsetof(ParamPacketBase, reserved) == 146);
static_assert(sizeof(ParamPacketBase) == 148);
static_assert(offsetof(ParamValuePacket, normalized) == 148);
static_assert(sizeof(ParamValuePacket) == lknet::kSizeParamValue);
static_assert(offsetof(ParamStringPacket, text) == 148);
static_assert(sizeof(ParamStringPacket) == lknet::kSizeParamString);
static_assert(offsetof(ParamListPacket, normalized) == 148);
static_assert(offsetof(ParamListPacket, entries) == 152);
static_assert(sizeof(ParamListPacket) == lknet::kSizeParamList);
static_assert(offsetof(ParamRangePacket, normalized) == 148);
static_assert(offsetof(ParamRangePacket, min) == 152);
static_assert(offsetof(ParamRangePacket, max) == 156);
static_assert(offsetof(ParamRangePacket, curveMid) == 160);
static_assert(offsetof(ParamRangePacket, defaultValue) == 164);
static_assert(offsetof(ParamRangePacket, curve) == 168);
static_assert(offsetof(ParamRangePacket, units) == 200);
static_assert(sizeof(ParamRangePacket) == lknet::kSizeParamRange);
static_assert(offsetof(ParamColorPacket, color) == 148);
static_assert(sizeof(ParamColorPacket) == lknet::kSizeParamValue);
static_assert(sizeof(ParamEditPacket) == lknet::kSizeParamEdit);
static_assert(offsetof(MeterPacket, kind) == 16);
static_assert(offsetof(MeterPacket, reserved) == 20);
static_assert(offsetof(MeterPacket, valueCount) == 22);
static_assert(offsetof(MeterPacket, groupCount) == 24);
static_assert(offsetof(MeterPacket, groups) == 26);
static_assert(sizeof(MeterGroup) == 6);
static_assert(offsetof(MeterPacket, values) == 76);
static_assert(sizeof(MeterPacket) == lknet::kSizeMeters);
static_assert(offsetof(FileDataPacket, requestWord) == 16);
static_assert(offsetof(FileDataPacket, status) == 28);
static_assert(offsetof(FileDataPacket, data) == 32);
static_assert(sizeof(FileDataPacket) == lknet::kSizeFileData);

// Fills a header: type, size, source and destination.
inline void initHeader(lknet::Packet& header, uint32_t type, uint32_t size, uint32_t source,
                       uint32_t destination)
{
    header.type = type;
    header.size = size;
    header.source = source;
    header.destination = destination;
}

// True when a received packet is at least as large as the record T, so its
// fields may be read.
template <class T> bool packetHolds(const lknet::Packet* packet)
{
    return packet && packet->size >= sizeof(T);
}

} // namespace Vellaris::LK
