#include "speaker/meter/MeterIdleBallistics.h"

#include <algorithm>
#include <cmath>

namespace Filtra
{

void MeterIdleBallistics::bind(Tessel::IParameter* newDisplay, Tessel::IParameter* newPeakHold)
{
    display = Tessel::retained(newDisplay);
    peakHold = Tessel::retained(newPeakHold);
    decayStarted = holdStarted = false;
}

void MeterIdleBallistics::setDecayTime(double seconds)
{
    if (seconds > 0)
        decayRate = float(0.001 / seconds);
}

void MeterIdleBallistics::setInverted(bool on)
{
    inverted = on;
    // A gain-reduction meter must not show full reduction before its first value arrives.
    if (display && !decayStarted)
        display->setNormalized(inverted ? 1.0 : 0.0, false);
}

float MeterIdleBallistics::getDisplayed() const
{
    return display ? float(display->getNormalized()) : 0.0f;
}

float MeterIdleBallistics::getHeld() const
{
    return peakHold ? float(peakHold->getNormalized()) : 0.0f;
}

void MeterIdleBallistics::push(float level, int64_t now)
{
    if (!display)
        return;
    if (!decayStarted || beyond(level, getDisplayed()))
    {
        display->setNormalized(level, false);
        lastDecay = now;
        decayStarted = true;
    }
    if (peakHold && (!holdStarted || beyond(level, getHeld())))
    {
        peakHold->setNormalized(level, false);
        lastHold = now;
        holdStarted = true;
    }
}

void MeterIdleBallistics::idle(int64_t now)
{
    if (!display)
        return;
    const float shown = getDisplayed();
    const bool atRest = inverted ? shown >= 1.0f - kRestMargin : shown <= kRestMargin;
    if (decayStarted && lastDecay < now && !atRest)
    {
        const float fraction = std::clamp(float(now - lastDecay) * decayRate, 0.0f, 1.0f);
        float next = inverted ? 1.0f - (1.0f - shown) * (1.0f - fraction) : shown * (1.0f - fraction);
        if (inverted ? next > 1.0f - kRestMargin : next < kRestMargin)
            next = inverted ? 1.0f : 0.0f;
        display->setNormalized(next, false);
        lastDecay = now;
    }
    if (peakHold && now > holdTime + lastHold)
    {
        peakHold->setNormalized(shown, false);
        lastHold = now;
        holdStarted = true;
    }
}

bool MeterIdleBallistics::isAtRest() const
{
    if (!display)
        return true;
    // Within the margin: a parameter's curve may not give back exactly the resting place it was set to.
    const float rest = inverted ? 1.0f : 0.0f;
    return std::abs(getDisplayed() - rest) <= kRestMargin &&
           (!peakHold || std::abs(getHeld() - rest) <= kRestMargin);
}

} // namespace Filtra
