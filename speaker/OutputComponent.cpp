#include "speaker/OutputComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(OutputComponent, LK::RemoteComponent)

OutputComponent::OutputComponent() = default;

OutputComponent::~OutputComponent() = default;

} // namespace Vellaris
