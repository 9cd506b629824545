#include "venue/ScrollWheelComponent.h"

#include <cstdlib>

#include "tessel/IParameter.h"
#include "tessel/Parameter.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(ScrollWheelComponent, Tessel::Component)

ScrollWheelComponent::ScrollWheelComponent() : Tessel::Component("VolumeWheel", "VolumeWheel")
{
    scroll = getParams().addInteger(0, kRange, "scrollParam", 0);
    scroll->setValue(Tessel::Variant((long long)(kRange / 2)), false);
    lastPosition = kRange / 2;
}

ScrollWheelComponent::~ScrollWheelComponent() = default;

void ScrollWheelComponent::take(int64_t position)
{
    if (position == lastPosition)
        return;
    const int64_t delta = position - lastPosition;
    lastPosition = position;
    signal(Tessel::Message(kWheelDelta, {Tessel::Variant((long long)delta)}));
    checkRecentre();
}

void ScrollWheelComponent::checkRecentre()
{
    const int64_t max = scroll->getMax().asInt();
    const int64_t distance = std::llabs(lastPosition);
    const int64_t margin = int64_t(double(max) * 0.1);
    if (max - distance < margin || distance < margin)
        recentre = true;
    recentreIfIdle();
}

void ScrollWheelComponent::recentreIfIdle()
{
    if (!recentre || scroll->isFlag(Tessel::ParamFlags::kEditing))
        return;
    recentre = false;
    const int64_t middle = scroll->getMax().asInt() / 2;
    scroll->setValue(Tessel::Variant((long long)middle), false);
    lastPosition = middle;
}

void ScrollWheelComponent::rangeChanged()
{
    lastPosition = scroll->getValue().asInt();
    checkRecentre();
}

void ScrollWheelComponent::paramChanged(Tessel::IParameter* param)
{
    if (param == scroll)
        take(param->getValue().asInt());
}

void ScrollWheelComponent::paramEdit(Tessel::IParameter* param, bool begin)
{
    if (param != scroll)
        return;
    if (begin)
    {
        signal(Tessel::Message(kWheelBegin));
        return;
    }
    take(param->getValue().asInt());
    signal(Tessel::Message(kWheelEnd));
    recentreIfIdle();
}

} // namespace Vellaris
