#pragma once

// Turns fuzz bytes into one packet as the network library hands it to a receiver. The first byte
// picks the type ("PV", "PS", "PL", "PR", "JM", "ZM" and, rarely, "PC" or "PE"); a fixed record is
// zero-filled to its exact size (the library refuses other sizes) and the bytes fill it after the
// header; "JM" carries the bytes as its text; "ZM" deflates them first unless bit 0x80 of the
// first byte asks for them raw (a stream that does not inflate).
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lknet/lknet.h"
#include "protocol/PacketRecords.h"

namespace FuzzInput
{

class PacketInput
{
public:
    PacketInput(const std::uint8_t* data, std::size_t size, uint32_t source, uint32_t destination)
    {
        if (size == 0)
            return;
        static constexpr uint32_t kTypes[] = {lknet::kPacketParamValue,  lknet::kPacketParamString,
                                              lknet::kPacketParamList,   lknet::kPacketParamRange,
                                              lknet::kPacketJsonMessage, lknet::kPacketZipMessage,
                                              lknet::kPacketJsonMessage, lknet::kPacketZipMessage,
                                              lknet::kPacketParamColor,  lknet::kPacketParamEdit};
        const uint8_t pick = data[0];
        const uint32_t type = kTypes[(pick & 0x7f) % (sizeof kTypes / sizeof kTypes[0])];
        const char* body = reinterpret_cast<const char*>(data + 1);
        const std::size_t length = size - 1;
        if (type == lknet::kPacketJsonMessage || type == lknet::kPacketZipMessage)
        {
            text_.assign(body, length);
            if (type == lknet::kPacketZipMessage && !(pick & 0x80))
            {
                uLongf packed = compressBound(static_cast<uLong>(length));
                std::string out(packed, '\0');
                if (compress2(reinterpret_cast<Bytef*>(out.data()), &packed,
                              reinterpret_cast<const Bytef*>(body), static_cast<uLong>(length), 4) != Z_OK)
                    return;
                out.resize(packed);
                text_ = std::move(out);
            }
            if (text_.size() > lknet::kMaxPacketSize)
                return;            // the library refuses longer messages
            text_.push_back('\0'); // received data are followed by a NUL not counted
            Vellaris::LK::initHeader(json_.header, type, sizeof(lknet::JsonPacket), source, destination);
            json_.data = text_.data();
            json_.length = static_cast<uint32_t>(text_.size() - 1);
            packet_ = &json_.header;
            return;
        }
        const uint32_t recordSize = recordSizeOf(type);
        record_.assign(recordSize, 0);
        const std::size_t fill = std::min<std::size_t>(length, recordSize - sizeof(lknet::Packet));
        std::memcpy(record_.data() + sizeof(lknet::Packet), body, fill);
        lknet::Packet header;
        Vellaris::LK::initHeader(header, type, recordSize, source, destination);
        std::memcpy(record_.data(), &header, sizeof header);
        packet_ = reinterpret_cast<const lknet::Packet*>(record_.data());
    }

    // Null when the bytes make no packet the library would deliver.
    const lknet::Packet* packet() const { return packet_; }

private:
    static uint32_t recordSizeOf(uint32_t type)
    {
        switch (type)
        {
        case lknet::kPacketParamString:
            return lknet::kSizeParamString;
        case lknet::kPacketParamList:
            return lknet::kSizeParamList;
        case lknet::kPacketParamRange:
            return lknet::kSizeParamRange;
        case lknet::kPacketParamEdit:
            return lknet::kSizeParamEdit;
        default:
            return lknet::kSizeParamValue;
        }
    }

    std::vector<uint8_t> record_; // heap memory: aligned for the record
    std::string text_;
    lknet::JsonPacket json_;
    const lknet::Packet* packet_ = nullptr;
};

} // namespace FuzzInput
