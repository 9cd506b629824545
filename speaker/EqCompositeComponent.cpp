#include "speaker/EqCompositeComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(EqCompositeComponent, EQComponent)

EqCompositeComponent::EqCompositeComponent() = default;

EqCompositeComponent::~EqCompositeComponent() = default;

} // namespace Vellaris
