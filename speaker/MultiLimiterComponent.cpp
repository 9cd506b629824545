#include "speaker/MultiLimiterComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(MultiLimiterComponent, LK::RemoteComponent)

MultiLimiterComponent::MultiLimiterComponent() = default;

MultiLimiterComponent::~MultiLimiterComponent() = default;

void MultiLimiterComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
}

} // namespace Vellaris
