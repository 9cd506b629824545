#pragma once

#include "formats/Interpolator.h"

namespace Core
{

// A curve drawn as straight lines between table points (x, y): x rises from 0 to 1, y rises.
// min is the first y and max the last. setRange stores the three values as the base does; the
// table stays.
class SegmentInterpolator : public Interpolator
{
public:
    struct Point
    {
        float x;
        float y;
    };

    // points must hold count >= 2 points and outlive the curve (a static table).
    SegmentInterpolator(const Point* points, int count);

    float normalizedToValue(float x) const override;
    float valueToNormalized(float v) const override;

    int pointCount() const { return count_; }

private:
    const Point* points_;
    int count_;
};

} // namespace Core
