#include "protocol/MeterPackets.h"

#include "protocol/PacketRecords.h"

#include <cstring>

namespace Vellaris::LK
{

int readMeterPacket(const lknet::Packet* packet, const MeterValueFunction& function)
{
    if (!packet || !packetHolds<MeterPacket>(packet))
        return 0;
    const bool bytes = packet->type == lknet::kPacketMetersByte;
    if (!bytes && packet->type != lknet::kPacketMetersShort)
        return 0;
    const auto& meters = *reinterpret_cast<const MeterPacket*>(packet);
    const int limit = bytes ? kMaxByteMeters : kMaxShortMeters;
    const int valueCount = meters.valueCount < limit ? meters.valueCount : limit;
    const int groupCount = meters.groupCount < kMaxMeterGroups ? meters.groupCount : kMaxMeterGroups;
    int handed = 0;
    for (int g = 0; g < groupCount; ++g)
    {
        const MeterGroup& group = meters.groups[g];
        for (int i = 0; i < group.valueCount; ++i)
        {
            const int at = group.firstValue + i;
            if (at >= valueCount)
                break;
            float value;
            if (bytes)
            {
                value = static_cast<float>(meters.values[at]) / 255.0f;
            }
            else
            {
                uint16_t raw;
                std::memcpy(&raw, meters.values + 2 * at, sizeof(raw));
                value = static_cast<float>(raw) / 65535.0f;
            }
            if (function)
                function(group.meterId, i, meters.kind, value);
            ++handed;
        }
    }
    return handed;
}

std::vector<std::string> splitListEntries(std::string_view entries)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (true)
    {
        const std::size_t end = entries.find('\n', start);
        if (end == std::string_view::npos)
        {
            result.emplace_back(entries.substr(start));
            return result;
        }
        result.emplace_back(entries.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace Vellaris::LK
