#include "formats/ValueGrid.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace Vellaris::Dsp
{

namespace
{

// Preferred numbers R40: 40 per decade, a 1/12 octave apart within a tenth of a percent.
constexpr double kR40[] = {1.00, 1.06, 1.12, 1.18, 1.25, 1.32, 1.40, 1.50, 1.60, 1.70, 1.80, 1.90, 2.00, 2.12,
                           2.24, 2.36, 2.50, 2.65, 2.80, 3.00, 3.15, 3.35, 3.55, 3.75, 4.00, 4.25, 4.50, 4.75,
                           5.00, 5.30, 5.60, 6.00, 6.30, 6.70, 7.10, 7.50, 8.00, 8.50, 9.00, 9.50};

constexpr double kQSeries[] = {0.25, 0.35, 0.5, 0.71, 1.0,  1.4,  2.0, 2.8,
                               4.0,  5.6,  8.0, 11.0, 16.0, 22.0, 32.0};

// Points closer than this share of their size count as the same point.
constexpr double kSame = 1e-6;

double linearStep(ValueGrid grid, StepSize size)
{
    const bool shift = size == StepSize::kShift;
    switch (grid)
    {
    case ValueGrid::kGain:
        return shift ? 0.1 : 0.5;
    case ValueGrid::kDelay:
        return shift ? 1.0 : 0.1;
    case ValueGrid::kTime:
        return shift ? 0.001 : 0.01;
    default:
        return 0;
    }
}

// The points of a listed grid (frequency, Q) within the range, its ends included, rising.
std::vector<double> listedPoints(ValueGrid grid, double minimum, double maximum)
{
    std::vector<double> points{minimum};
    auto add = [&](double point)
    {
        if (point > minimum * (1 + kSame) && point < maximum * (1 - kSame))
            points.push_back(point);
    };
    if (grid == ValueGrid::kFrequency)
    {
        for (double decade = 1; decade <= 1e6; decade *= 10)
            for (double mantissa : kR40)
                add(mantissa * decade);
    }
    else
    {
        for (double q : kQSeries)
            add(q);
    }
    if (maximum > minimum)
        points.push_back(maximum);
    return points;
}

bool isListed(ValueGrid grid)
{
    return grid == ValueGrid::kFrequency || grid == ValueGrid::kQ;
}

double clampTo(double value, double minimum, double maximum)
{
    return minimum <= maximum ? std::clamp(value, minimum, maximum) : value;
}

} // namespace

ValueGrid gridForFormatter(const char* name)
{
    if (!name)
        return ValueGrid::kNone;
    const size_t length = std::strcspn(name, "/");
    auto is = [&](const char* base)
    { return std::strlen(base) == length && std::strncmp(name, base, length) == 0; };
    if (is("gain"))
        return ValueGrid::kGain;
    if (is("freq"))
        return ValueGrid::kFrequency;
    if (is("ms"))
        return ValueGrid::kDelay;
    if (is("time"))
        return ValueGrid::kTime;
    if (is("q"))
        return ValueGrid::kQ;
    return ValueGrid::kNone;
}

double stepOnGrid(ValueGrid grid, double value, int steps, StepSize size, double minimum, double maximum)
{
    if (grid == ValueGrid::kNone || steps == 0 || !std::isfinite(value))
        return value;
    if (isListed(grid))
    {
        if (minimum <= 0 || maximum < minimum)
            return value;
        const std::vector<double> points = listedPoints(grid, minimum, maximum);
        for (int i = 0; i < std::abs(steps); ++i)
        {
            if (steps > 0)
            {
                auto next = std::upper_bound(points.begin(), points.end(), value * (1 + kSame));
                value = next == points.end() ? points.back() : *next;
            }
            else
            {
                auto next = std::lower_bound(points.begin(), points.end(), value * (1 - kSame));
                value = next == points.begin() ? points.front() : *(next - 1);
            }
        }
        return clampTo(value, minimum, maximum);
    }
    const double step = linearStep(grid, size);
    // Counted in whole steps, so that ten steps of 0.1 make exactly 1.0.
    double index = value / step;
    if (steps > 0)
        index = std::floor(index + kSame) + steps;
    else
        index = std::ceil(index - kSame) + steps;
    return clampTo(index * step, minimum, maximum);
}

double snapToGrid(ValueGrid grid, double value, StepSize size, double minimum, double maximum)
{
    if (grid == ValueGrid::kNone || !std::isfinite(value))
        return value;
    if (isListed(grid))
    {
        if (minimum <= 0 || maximum < minimum)
            return value;
        value = clampTo(value, minimum, maximum);
        const std::vector<double> points = listedPoints(grid, minimum, maximum);
        double best = points.front();
        for (double point : points)
            if (std::fabs(std::log(point / value)) < std::fabs(std::log(best / value)))
                best = point;
        return best;
    }
    const double step = linearStep(grid, size);
    return clampTo(std::round(value / step) * step, minimum, maximum);
}

} // namespace Vellaris::Dsp
