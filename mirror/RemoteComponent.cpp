#include "mirror/RemoteComponent.h"

#include "mirror/ClientRootComponent.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_CLASS(RemoteComponent, UniversalComponent)

RemoteComponent::RemoteComponent() = default;

RemoteComponent::~RemoteComponent() = default;

ClientRootComponent* RemoteComponent::findClientRoot(const Tessel::Component* component)
{
    // The search passes through UniversalComponents only: a mirrored tree never reaches up into
    // the application's own components.
    for (const Tessel::Component* at = component; at; at = at->getParent())
    {
        if (at->isKindOf(ClientRootComponent::metaClass))
            return static_cast<ClientRootComponent*>(const_cast<Tessel::Component*>(at));
        if (!at->isKindOf(UniversalComponent::metaClass))
            return nullptr;
    }
    return nullptr;
}

ClientRootComponent* RemoteComponent::getClientRoot() const
{
    return findClientRoot(this);
}

Tessel::IParameter* RemoteComponent::resolveParameter(const std::string& path) const
{
    ClientRootComponent* root = getClientRoot();
    return root ? root->lookupParameter(path) : nullptr;
}

void RemoteComponent::paramChanged(Tessel::IParameter* param)
{
    if (ClientRootComponent* root = getClientRoot())
        root->remoteParamChanged(this, param);
}

void RemoteComponent::paramEdit(Tessel::IParameter* param, bool begin)
{
    if (ClientRootComponent* root = getClientRoot())
        root->remoteParamEdit(this, param, begin);
}

void RemoteComponent::paramPreview(Tessel::IParameter* param, const Tessel::ParamPreviewEvent& event)
{
    if (ClientRootComponent* root = getClientRoot())
        root->remoteParamPreview(this, param, event);
}

} // namespace Vellaris::LK
