#pragma once

#include "protocol/MessageAttributes.h"

#include <functional>

namespace Vellaris::LK
{

// How a "Synchronize" went out.
enum class SynchronizeResult
{
    Whole,    // the whole message in one "ZM" (whatever send answered)
    Split,    // refused as too large; split in two "ZM", at least one sent
    Fallback, // refused and not splittable (or both halves failed): a bare "JM"
    Failed,   // the message could not even be encoded
};

// Sends a server's "Synchronize" (source and destination taken from the
// message) as one "ZM". When send answers lknet::kErrorTooLarge it splits
// once: with more than 2 members under "children", those from index n/2 on
// move into a second message holding only "id" and that half; both go out as
// "ZM". When the children cannot be split, or neither half was sent, a bare
// {"id": "Synchronize"} goes out as "JM" instead. afterSend (optional) runs
// after every call of send.
SynchronizeResult sendSynchronize(lknet::INetworkManager& network, const MessageAttributes& message,
                                  const std::function<void()>& afterSend = {});

// Sends one message as encoded; the result of send, or lknet::kErrorBadArgument
// when it cannot be encoded.
int sendMessage(lknet::INetworkManager& network, const MessageAttributes& message, MessageEncoding encoding);

} // namespace Vellaris::LK
