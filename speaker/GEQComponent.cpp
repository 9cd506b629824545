#include "speaker/GEQComponent.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(GEQComponent, LK::RemoteComponent)

GEQComponent::GEQComponent() = default;

GEQComponent::~GEQComponent() = default;

void GEQComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
}

} // namespace Vellaris
