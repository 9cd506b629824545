#include "tarnsim/ServerRootComponent.h"

#include "core/Attributes.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"

namespace Core::Portable
{

ServerRootComponent::ServerRootComponent(lknet::INetworkManager* network,
                                         lknet::IFileTransferManager* fileTransfer)
    : ServerComponent(std::string_view()),
      server_(std::make_unique<ServerImplementation>(*this, network, fileTransfer))
{
}

ServerRootComponent::~ServerRootComponent()
{
    // The parameters and children go first: nothing may publish into a
    // server that is already gone.
    server_->setHold(true);
}

void ServerRootComponent::idle()
{
    server_->checkTimeouts();
    ServerComponent::idle();
}

void ServerRootComponent::handleMessage(Vellaris::LK::MessageAttributes& message)
{
    namespace M = Vellaris::LK::Message;
    const std::string_view id = message.messageId();
    if (id == M::kSynchronize)
    {
        if (server_->refresh(message.sourceId))
            server_->applySynchronize(message);
    }
    else if (id == M::kSubscribe)
    {
        server_->subscribe(message);
    }
    else if (id == M::kUnsubscribe)
    {
        server_->unsubscribe(message.sourceId);
    }
}

void ServerRootComponent::handleUnroutedMessage(Vellaris::LK::MessageAttributes&) {}

void ServerRootComponent::restoreState(const Attributes* state)
{
    server_->holdWhile(
        [&]
        {
            if (state)
                loadState(*state);
        });
}

} // namespace Core::Portable
