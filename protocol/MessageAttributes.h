#pragma once

#include "core/Attributes.h"
#include "lknet/lknet.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vellaris::LK
{

// Largest text an inflated "ZM" message may have; more is refused.
constexpr std::size_t kMaxInflatedMessageSize = 16u * 1024u * 1024u;

// How a JSON message travels.
enum class MessageEncoding
{
    Plain,      // "JM": the JSON text
    Compressed, // "ZM": the JSON text as one zlib stream (level 4)
};

// A "JM"/"ZM" record ready for INetworkManager::send, with the data it points
// to. The record's data pointer is refreshed by packet(), so the object may be
// moved; keep it alive until send returns.
class EncodedMessage
{
public:
    EncodedMessage() = default;
    EncodedMessage(const EncodedMessage& other) : record_(other.record_), data_(other.data_) {}
    EncodedMessage& operator=(const EncodedMessage& other)
    {
        record_ = other.record_;
        data_ = other.data_;
        return *this;
    }

    // The record to hand to send(); valid while this object is unchanged.
    const lknet::Packet* packet()
    {
        record_.data = data_.data();
        record_.length = static_cast<uint32_t>(data_.size());
        return &record_.header;
    }
    const lknet::JsonPacket& record() const { return record_; }
    const std::string& data() const { return data_; }

private:
    friend class MessageAttributes;
    lknet::JsonPacket record_;
    std::string data_;
};

// A JSON message in memory: an attribute set plus the source and destination
// ids of its packet. The message id lives in the member "id".
class MessageAttributes : public Core::Portable::Attributes
{
public:
    MessageAttributes() = default;
    // A message whose first member is "id" with the given name.
    explicit MessageAttributes(std::string_view id, uint32_t source = 0, uint32_t destination = 0);

    uint32_t sourceId = 0;
    uint32_t destinationId = 0;

    // The text of "id"; empty when missing or not a text.
    std::string_view messageId() const;
    // Sets "id", putting it first when it is new.
    void setMessageId(std::string_view id);
    // The text of "url"; empty when missing.
    std::string_view url() const;

    // The compact JSON text of the message.
    std::string toJson() const;

    // Builds the record for this message: the compact JSON, compressed for
    // "ZM"; the header carries the message's source and destination ids.
    // False when the message cannot be written or compressed.
    bool encode(EncodedMessage& out, MessageEncoding encoding) const;

    // Reads a received "JM"/"ZM" record into this message (cleared first) and
    // takes the ids from its header. A text that fails to parse keeps the
    // members read before the error and still counts as decoded. False for
    // other packet types, a missing data pointer, data beyond
    // lknet::kMaxPacketSize, or "ZM" data that do not inflate (or inflate to
    // more than kMaxInflatedMessageSize).
    bool decode(const lknet::Packet* packet);
    // Same for JSON text in memory (compressed when the encoding says so).
    bool decodeData(const char* data, std::size_t length, MessageEncoding encoding);
};

} // namespace Vellaris::LK
