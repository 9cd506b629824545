#include "speaker/EQComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(EQComponent, UniversalComponent)

EQComponent::EQComponent() = default;

EQComponent::~EQComponent() = default;

void EQComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
}

} // namespace Vellaris
