#include "speaker/InputComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(InputComponent, LK::RemoteComponent)

InputComponent::InputComponent() = default;

InputComponent::~InputComponent() = default;

void InputComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
}

} // namespace Vellaris
