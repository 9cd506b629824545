#include "speaker/OutputComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(OutputComponent, UniversalComponent)

OutputComponent::OutputComponent() = default;

OutputComponent::~OutputComponent() = default;

void OutputComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
}

} // namespace Vellaris
