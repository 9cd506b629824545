#include "speaker/MultiLimiterComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(MultiLimiterComponent, LK::RemoteComponent)

MultiLimiterComponent::MultiLimiterComponent() = default;

MultiLimiterComponent::~MultiLimiterComponent() = default;

void MultiLimiterComponent::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is(Tessel::Messages::kChanged))
        return;
    RemoteComponent::notify(subject, msg);
}

} // namespace Vellaris
