#include "tarnsim/ServerComponent.h"

#include "tarnsim/ServerImplementation.h"
#include "tarnsim/ServerRootComponent.h"

namespace Core::Portable
{

void ServerComponent::paramChanged(Parameter* parameter, int code)
{
    if (code != IParamObserver::kChanged && code != IParamObserver::kRangeChanged)
        return;
    if (!parameter || parameter->isPrivate())
        return;
    ServerRootComponent* root = getRoot();
    if (!root)
        return;
    root->server().publish(*this, *parameter, code);
}

ServerRootComponent* ServerComponent::getRoot()
{
    auto* above = dynamic_cast<ServerComponent*>(parent());
    return above ? above->getRoot() : nullptr;
}

void ServerComponent::handleMessage(Vellaris::LK::MessageAttributes&) {}

} // namespace Core::Portable
