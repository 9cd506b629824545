#include "speaker/meter/LevelMeter.h"

#include <algorithm>

namespace Filtra
{

namespace
{

// The meter's scale: positions 0..1 against levels in dB.
constexpr Core::SegmentInterpolator::Point kScale[] = {
    {0.0f, -72.0f}, {0.25f, -32.0f}, {0.5f, -12.0f}, {0.75f, -6.0f}, {1.0f, 0.0f},
};

} // namespace

LevelMeter::LevelMeter() : curve(kScale, int(std::size(kScale)))
{
    curve.setRange(kMinDb, kMaxDb, 0.0f);
}

LevelMeter::~LevelMeter() = default;

float LevelMeter::toPosition(float decibels) const
{
    return std::clamp(curve.valueToNormalized(std::clamp(decibels, kMinDb, kMaxDb)), 0.0f, 1.0f);
}

float LevelMeter::toDecibels(float position) const
{
    return curve.normalizedToValue(std::clamp(position, 0.0f, 1.0f));
}

void LevelMeter::attach(Tessel::IParameter* newLevel, Tessel::IParameter* newPeak)
{
    level = Tessel::retained(newLevel);
    peak = Tessel::retained(newPeak);
    lastLevel = lastPeak = -1;
}

float LevelMeter::getLevel() const
{
    return level ? float(level->getNormalized()) : 0.0f;
}

float LevelMeter::getPeak() const
{
    return peak ? float(peak->getNormalized()) : 0.0f;
}

void LevelMeter::update()
{
    const float nowLevel = getLevel();
    const float nowPeak = getPeak();
    if (nowLevel == lastLevel && nowPeak == lastPeak)
        return;
    lastLevel = nowLevel;
    lastPeak = nowPeak;
    signal(Tessel::Message(Tessel::Messages::kChanged));
}

} // namespace Filtra
