#include "speaker/EQComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(EQComponent, LK::RemoteComponent)

EQComponent::EQComponent() = default;

EQComponent::~EQComponent() = default;

void EQComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
}

} // namespace Vellaris
