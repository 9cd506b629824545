#include "formats/SegmentInterpolator.h"

namespace Core
{

SegmentInterpolator::SegmentInterpolator(const Point* points, int count) : points_(points), count_(count)
{
    if (count_ > 0)
    {
        min_ = points_[0].y;
        max_ = points_[count_ - 1].y;
    }
}

float SegmentInterpolator::normalizedToValue(float x) const
{
    x = clampPosition(x);
    if (max_ - min_ <= 0.0f)
        return 0.0f;
    for (int i = 0; i + 1 < count_; ++i)
    {
        const Point& a = points_[i];
        const Point& b = points_[i + 1];
        if (b.x >= x)
        {
            float width = b.x - a.x;
            if (width <= 0.0f)
                return b.y;
            return a.y + (x - a.x) / width * (b.y - a.y);
        }
    }
    return max_;
}

float SegmentInterpolator::valueToNormalized(float v) const
{
    v = clampValue(v);
    if (max_ - min_ <= 0.0f)
        return 0.0f;
    for (int i = 0; i + 1 < count_; ++i)
    {
        const Point& a = points_[i];
        const Point& b = points_[i + 1];
        if (b.y >= v)
        {
            float height = b.y - a.y;
            if (height <= 0.0f)
                return b.x;
            return a.x + (v - a.y) / height * (b.x - a.x);
        }
    }
    return 1.0f;
}

} // namespace Core
