#include "speaker/LimiterComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(LimiterComponent, LK::RemoteComponent)

LimiterComponent::LimiterComponent() = default;

LimiterComponent::~LimiterComponent() = default;

} // namespace Vellaris
