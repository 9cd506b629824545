#pragma once

// Reading received meter packets ("MB", "MS") and list entries of "PL".

#include "lknet/lknet.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Vellaris::LK
{

// Called for each value of each group of a meter packet, in order: the
// group's meter id, the value's index within the group, the packet's kind
// word (kMeterKindGainReduction marks gain-reduction meters) and the value
// as 0..1.
using MeterValueFunction = std::function<void(int meterId, int index, uint32_t kind, float value)>;

// Hands every value of a received "MB" or "MS" packet to function. Groups
// reaching past the packet's value count (or past 1024 bytes / 512 shorts)
// are cut to what is there; a packet without groups updates nothing. Returns
// the number of values handed out; 0 for other or too short packets.
int readMeterPacket(const lknet::Packet* packet, const MeterValueFunction& function);

// The entries of a "PL" packet's list text ("\n"-separated).
std::vector<std::string> splitListEntries(std::string_view entries);

} // namespace Vellaris::LK
