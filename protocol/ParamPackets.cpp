#include "protocol/ParamPackets.h"

#include "protocol/ParamPath.h"

namespace Vellaris::LK
{

namespace
{
void fillBase(ParamPacketBase& base, uint32_t type, uint32_t size, uint32_t source, uint32_t destination,
              std::string_view path, uint16_t flags)
{
    initHeader(base.header, type, size, source, destination);
    copyTextField(base.path, sizeof(base.path), path);
    base.flags = flags;
    base.reserved = 0;
}
} // namespace

void buildValuePacket(ParamValuePacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                      uint16_t flags, float normalized)
{
    packet = ParamValuePacket();
    fillBase(packet.base, lknet::kPacketParamValue, sizeof(packet), source, destination, path, flags);
    packet.normalized = normalized;
}

void buildStringPacket(ParamStringPacket& packet, uint32_t source, uint32_t destination,
                       std::string_view path, uint16_t flags, std::string_view text)
{
    packet = ParamStringPacket();
    fillBase(packet.base, lknet::kPacketParamString, sizeof(packet), source, destination, path, flags);
    copyTextField(packet.text, sizeof(packet.text), text);
}

void buildListPacket(ParamListPacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                     uint16_t flags, float normalized, std::string_view entries)
{
    packet = ParamListPacket();
    fillBase(packet.base, lknet::kPacketParamList, sizeof(packet), source, destination, path, flags);
    packet.normalized = normalized;
    copyTextField(packet.entries, sizeof(packet.entries), entries);
}

void buildRangePacket(ParamRangePacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                      uint16_t flags, float normalized, float min, float max, float curveMid,
                      float defaultValue, std::string_view curve, std::string_view units)
{
    packet = ParamRangePacket();
    fillBase(packet.base, lknet::kPacketParamRange, sizeof(packet), source, destination, path, flags);
    packet.normalized = normalized;
    packet.min = min;
    packet.max = max;
    packet.curveMid = curve.empty() ? 0.0f : curveMid;
    packet.defaultValue = defaultValue;
    copyTextField(packet.curve, sizeof(packet.curve), curve);
    copyTextField(packet.units, sizeof(packet.units), units);
}

void buildColorPacket(ParamColorPacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                      uint16_t flags, uint32_t argb)
{
    packet = ParamColorPacket();
    fillBase(packet.base, lknet::kPacketParamColor, sizeof(packet), source, destination, path, flags);
    packet.color = argb;
}

void buildEditPacket(ParamEditPacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                     bool begins)
{
    packet = ParamEditPacket();
    fillBase(packet.base, lknet::kPacketParamEdit, sizeof(packet), source, destination, path,
             begins ? kParamFlagGestureBegin : 0);
}

void buildKeepAlivePacket(lknet::Packet& packet, uint32_t source, uint32_t destination)
{
    initHeader(packet, lknet::kPacketKeepAlive, lknet::kSizeKeepAlive, source, destination);
}

void buildByteMeterPacket(MeterPacket& packet, uint32_t source, uint32_t kind)
{
    packet = MeterPacket();
    initHeader(packet.header, lknet::kPacketMetersByte, sizeof(packet), source, 0);
    packet.kind = kind;
}

std::string_view receivedPath(const lknet::Packet* packet)
{
    if (!packetHolds<ParamPacketBase>(packet))
        return {};
    const auto* base = reinterpret_cast<const ParamPacketBase*>(packet);
    return readTextField(base->path, sizeof(base->path));
}

std::string_view receivedText(const lknet::Packet* packet)
{
    if (!packet || packet->type != lknet::kPacketParamString || !packetHolds<ParamStringPacket>(packet))
        return {};
    const auto* record = reinterpret_cast<const ParamStringPacket*>(packet);
    return readTextField(record->text, sizeof(record->text));
}

bool isParameterPacket(uint32_t type)
{
    return type == lknet::kPacketParamValue || type == lknet::kPacketParamString ||
           type == lknet::kPacketParamList || type == lknet::kPacketParamRange ||
           type == lknet::kPacketParamColor || type == lknet::kPacketParamEdit;
}

} // namespace Vellaris::LK
