#pragma once

#include "tessel/Component.h"

namespace Vellaris
{

// The room's volume wheel "VolumeWheel": one integer parameter "scrollParam" (tag 0) that a
// scrolling view moves. Every change of position is signalled as "onWheelDelta" (argument: the
// change, a 64-bit integer); an edit gesture is framed by "onWheelBegin" and "onWheelEnd". Near
// either end of the range (within a tenth of it) the wheel goes back to the middle without
// notification as soon as the view no longer drags it, so it never runs out of travel.
class ScrollWheelComponent : public Tessel::Component
{
    TESSEL_DECLARE_CLASS(ScrollWheelComponent)
public:
    static constexpr const char* kWheelBegin = "onWheelBegin";
    static constexpr const char* kWheelDelta = "onWheelDelta";
    static constexpr const char* kWheelEnd = "onWheelEnd";
    static constexpr int64_t kRange = 100000;

    ScrollWheelComponent();

    Tessel::IParameter* getScrollParam() const { return scroll; }
    int64_t getLastPosition() const { return lastPosition; }
    bool isRecentring() const { return recentre; }

    // The range of the scroll parameter changed: the current value is taken without a delta and
    // recentring is checked.
    void rangeChanged();

    void paramChanged(Tessel::IParameter* param) override;
    void paramEdit(Tessel::IParameter* param, bool begin) override;

protected:
    ~ScrollWheelComponent() override;

private:
    void take(int64_t position);
    void checkRecentre();
    void recentreIfIdle();

    Tessel::IParameter* scroll = nullptr;
    int64_t lastPosition = 0;
    bool recentre = false;
};

} // namespace Vellaris
