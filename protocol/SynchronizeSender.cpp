#include "protocol/SynchronizeSender.h"

#include "protocol/MessageNames.h"

namespace Vellaris::LK
{

int sendMessage(lknet::INetworkManager& network, const MessageAttributes& message, MessageEncoding encoding)
{
    EncodedMessage encoded;
    if (!message.encode(encoded, encoding))
        return lknet::kErrorBadArgument;
    return network.send(encoded.packet(), 0);
}

SynchronizeResult sendSynchronize(lknet::INetworkManager& network, const MessageAttributes& message,
                                  const std::function<void()>& afterSend)
{
    auto sendOne = [&](const MessageAttributes& part, MessageEncoding encoding)
    {
        EncodedMessage encoded;
        if (!part.encode(encoded, encoding))
            return lknet::kErrorBadArgument;
        const int result = network.send(encoded.packet(), 0);
        if (afterSend)
            afterSend();
        return result;
    };

    EncodedMessage whole;
    if (!message.encode(whole, MessageEncoding::Compressed))
        return SynchronizeResult::Failed;
    const int result = network.send(whole.packet(), 0);
    if (afterSend)
        afterSend();
    if (result != lknet::kErrorTooLarge)
        return SynchronizeResult::Whole;

    const Core::Portable::Attributes* children = message.getAttributes(Message::kChildren);
    if (children && children->count() > 2)
    {
        const int half = children->count() / 2;
        MessageAttributes first(message);
        Core::Portable::Attributes& firstChildren = *first.getAttributes(Message::kChildren);
        while (firstChildren.count() > half)
            firstChildren.removeAt(firstChildren.count() - 1);
        MessageAttributes second(Message::kSynchronize, message.sourceId, message.destinationId);
        Core::Portable::Attributes& secondChildren = second.setAttributes(Message::kChildren);
        for (int i = half; i < children->count(); ++i)
            secondChildren.append(children->at(i).name()) = children->at(i).value();
        const int firstResult = sendOne(first, MessageEncoding::Compressed);
        const int secondResult = sendOne(second, MessageEncoding::Compressed);
        if (firstResult == lknet::kOk || secondResult == lknet::kOk)
            return SynchronizeResult::Split;
    }

    MessageAttributes bare(Message::kSynchronize, message.sourceId, message.destinationId);
    sendOne(bare, MessageEncoding::Plain);
    return SynchronizeResult::Fallback;
}

} // namespace Vellaris::LK
