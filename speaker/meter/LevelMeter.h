#pragma once

#include <memory>

#include "formats/SegmentInterpolator.h"
#include "tessel/IParameter.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Filtra
{

// The meter engine behind a meter view: maps levels in dB onto the meter's scale through a
// five-point curve ((0, -72), (0.25, -32), (0.5, -12), (0.75, -6), (1, 0) dB), and publishes the
// level and peak-hold parameters that its ballistics drive. update() (once per idle tick) signals
// "changed" to the observers when either value moved since the last update. GUI thread only.
class LevelMeter : public Tessel::Object
{
public:
    static constexpr float kMinDb = -72.0f;
    static constexpr float kMaxDb = 0.0f;

    LevelMeter();

    // The position 0..1 of a level in dB: clamped to -72 … 0 dB, then through the curve.
    float toPosition(float decibels) const;
    // The level in dB at a position 0..1.
    float toDecibels(float position) const;

    // The parameters the ballistics write (retained; may be null).
    void attach(Tessel::IParameter* level, Tessel::IParameter* peak);
    // Current position of the level and of the held peak (0 when not attached).
    float getLevel() const;
    float getPeak() const;

    // Signals "changed" when level or peak differ from the previous update.
    void update();

protected:
    ~LevelMeter() override;

private:
    Core::SegmentInterpolator curve;
    Tessel::SharedPtr<Tessel::IParameter> level;
    Tessel::SharedPtr<Tessel::IParameter> peak;
    float lastLevel = -1;
    float lastPeak = -1;
};

} // namespace Filtra
