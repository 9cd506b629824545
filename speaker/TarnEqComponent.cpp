#include "speaker/TarnEqComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(TarnEqComponent, Filtra::EQComponent)

TarnEqComponent::TarnEqComponent() = default;

TarnEqComponent::~TarnEqComponent() = default;

} // namespace Vellaris
