#include "speaker/LimiterComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(LimiterComponent, LK::RemoteComponent)

LimiterComponent::LimiterComponent() = default;

LimiterComponent::~LimiterComponent() = default;

void LimiterComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
}

} // namespace Vellaris
