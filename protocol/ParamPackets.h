#pragma once

// Building parameter and meter packets, and reading received ones.

#include "protocol/PacketRecords.h"

#include <string_view>

namespace Vellaris::LK
{

// Each builder fills the whole record (header, path cut to 127 bytes, flags,
// payload; texts cut to their fields, unused bytes zero).
void buildValuePacket(ParamValuePacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                      uint16_t flags, float normalized);
void buildStringPacket(ParamStringPacket& packet, uint32_t source, uint32_t destination,
                       std::string_view path, uint16_t flags, std::string_view text);
// entries: the list texts joined by "\n".
void buildListPacket(ParamListPacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                     uint16_t flags, float normalized, std::string_view entries);
// curve and units empty when the parameter has none (then min/max/mid/def are
// still the plain range, and the curve mid is 0).
void buildRangePacket(ParamRangePacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                      uint16_t flags, float normalized, float min, float max, float curveMid,
                      float defaultValue, std::string_view curve, std::string_view units);
void buildColorPacket(ParamColorPacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                      uint16_t flags, uint32_t argb);
void buildEditPacket(ParamEditPacket& packet, uint32_t source, uint32_t destination, std::string_view path,
                     bool begins);
void buildKeepAlivePacket(lknet::Packet& packet, uint32_t source, uint32_t destination);

// An "MB" packet with single-byte values (value / 255) and no groups yet.
void buildByteMeterPacket(MeterPacket& packet, uint32_t source, uint32_t kind);

// The path of a received parameter packet (cut at the field's end when the
// peer left out the terminator); empty when the packet is too short.
std::string_view receivedPath(const lknet::Packet* packet);
// The text of a received "PS"; empty when the packet is too short.
std::string_view receivedText(const lknet::Packet* packet);

// True for the codes of parameter packets ("PV", "PS", "PL", "PR", "PC", "PE").
bool isParameterPacket(uint32_t type);

} // namespace Vellaris::LK
