#include "protocol/MessageAttributes.h"

#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "core/Zlib.h"
#include "protocol/MessageNames.h"

namespace Vellaris::LK
{

MessageAttributes::MessageAttributes(std::string_view id, uint32_t source, uint32_t destination)
    : sourceId(source), destinationId(destination)
{
    setText(Message::kId, id);
}

std::string_view MessageAttributes::messageId() const
{
    return getText(Message::kId);
}

void MessageAttributes::setMessageId(std::string_view id)
{
    if (Core::Portable::AttributeValue* value = find(Message::kId))
        value->setText(id);
    else
        insert(0, Message::kId).setText(id);
}

std::string_view MessageAttributes::url() const
{
    return getText(Message::kUrl);
}

std::string MessageAttributes::toJson() const
{
    return Core::Portable::JsonWriter::toString(*this, Core::Portable::JsonLayout::Compact);
}

bool MessageAttributes::encode(EncodedMessage& out, MessageEncoding encoding) const
{
    std::string text = toJson();
    if (encoding == MessageEncoding::Compressed)
    {
        if (!Core::Zlib::compress(text, out.data_, Core::Zlib::kMessageLevel))
            return false;
    }
    else
    {
        out.data_ = std::move(text);
    }
    const uint32_t type =
        encoding == MessageEncoding::Compressed ? lknet::kPacketZipMessage : lknet::kPacketJsonMessage;
    out.record_ = lknet::JsonPacket();
    out.record_.header.type = type;
    out.record_.header.size = sizeof(lknet::JsonPacket);
    out.record_.header.source = sourceId;
    out.record_.header.destination = destinationId;
    out.packet();
    return true;
}

bool MessageAttributes::decode(const lknet::Packet* packet)
{
    clear();
    if (!packet || packet->size < sizeof(lknet::JsonPacket))
        return false;
    MessageEncoding encoding;
    if (packet->type == lknet::kPacketJsonMessage)
        encoding = MessageEncoding::Plain;
    else if (packet->type == lknet::kPacketZipMessage)
        encoding = MessageEncoding::Compressed;
    else
        return false;
    const auto* record = reinterpret_cast<const lknet::JsonPacket*>(packet);
    sourceId = packet->source;
    destinationId = packet->destination;
    if (!record->data || record->length > lknet::kMaxPacketSize)
        return false;
    return decodeData(record->data, record->length, encoding);
}

bool MessageAttributes::decodeData(const char* data, std::size_t length, MessageEncoding encoding)
{
    clear();
    if (!data)
        return false;
    if (encoding == MessageEncoding::Compressed)
    {
        std::string inflated;
        if (!Core::Zlib::decompress(std::string_view(data, length), inflated, kMaxInflatedMessageSize))
            return false;
        Core::Portable::JsonReader::parse(inflated.data(), inflated.size(), *this);
        return true;
    }
    Core::Portable::JsonReader::parse(data, length, *this);
    return true;
}

} // namespace Vellaris::LK
