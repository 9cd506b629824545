#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Core::Portable
{

// Decides which parameter changes reach a subscriber.
class SubscriptionFilter
{
public:
    virtual ~SubscriptionFilter() = default;
    virtual bool accepts(std::string_view componentPath, std::string_view parameterName) const = 0;
};

// One subscribed client of the server.
struct ClientSubscription
{
    static constexpr std::size_t kMaxTextLength = 63;

    uint32_t clientId = 0;                      // the client's handle (source of its packets)
    int64_t lastSeen = 0;                       // time of the last packet that refreshed it, ms
    const SubscriptionFilter* filter = nullptr; // none: every change
    std::string clientName;
    std::string clientType;
    std::string clientIdentifier;
    std::string clientDescription;

    bool accepts(std::string_view componentPath, std::string_view parameterName) const
    {
        return !filter || filter->accepts(componentPath, parameterName);
    }
};

} // namespace Core::Portable
