#pragma once

#include <cstdint>

#include "tessel/IParameter.h"
#include "tessel/SharedPtr.h"

namespace Filtra
{

// Decay and peak hold of one meter, driven by pushes of new levels and by the idle tick. Levels
// are normalised values (0..1) written to a display parameter and, optionally, a peak-hold
// parameter, without notification. A normal meter rests at 0 and falls toward 0; an inverted one
// (gain reduction) rests at 1 and rises back toward 1. Time stamps are system ticks (ms).
class MeterIdleBallistics
{
public:
    static constexpr int64_t kDefaultHoldMs = 3000;
    static constexpr float kDefaultDecayRate = 1.0f / 3000.0f; // per millisecond

    MeterIdleBallistics() = default;

    // Binds the display parameter and the optional peak-hold parameter (both retained; null
    // unbinds). Unbound ballistics ignore pushes and idle ticks.
    void bind(Tessel::IParameter* display, Tessel::IParameter* peakHold = nullptr);
    bool isBound() const { return display; }
    Tessel::IParameter* getDisplay() const { return display.get(); }
    Tessel::IParameter* getPeakHold() const { return peakHold.get(); }

    // The display falls over the whole scale in `seconds` (rate = 0.001 / seconds per ms).
    void setDecayTime(double seconds);
    float getDecayRate() const { return decayRate; }
    // Inverts the meter; a bound meter that has shown nothing yet goes to its resting place.
    void setInverted(bool on);
    bool isInverted() const { return inverted; }
    // How long a peak stays held, in ms.
    void setHoldTime(int64_t ms) { holdTime = ms; }

    // A new level at `now`: shown at once when it is above the display (below when inverted) or
    // when nothing was shown yet; the same rule holds the peak.
    void push(float level, int64_t now);
    // Lets the display decay by the time passed since the last decay, and drops the held peak to
    // the display once it was held for the hold time. A display within kRestMargin of its resting
    // place goes there (the decay alone would only approach it).
    void idle(int64_t now);
    // Whether idle() has nothing left to do: unbound, or the display at its resting place and the
    // held peak (if any) there too. A new push can wake it.
    bool isAtRest() const;
    static constexpr float kRestMargin = 1.0f / 256.0f; // under a pixel of any meter

    // Current display and held values (0 when unbound).
    float getDisplayed() const;
    float getHeld() const;

private:
    bool beyond(float level, float shown) const { return inverted ? level < shown : level > shown; }

    Tessel::SharedPtr<Tessel::IParameter> display;
    Tessel::SharedPtr<Tessel::IParameter> peakHold;
    int64_t lastDecay = 0;
    int64_t lastHold = 0;
    bool decayStarted = false; // lastDecay holds a time stamp
    bool holdStarted = false;  // lastHold holds a time stamp
    int64_t holdTime = kDefaultHoldMs;
    float decayRate = kDefaultDecayRate;
    bool inverted = false;
};

} // namespace Filtra
