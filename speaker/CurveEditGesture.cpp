#include "speaker/CurveEditGesture.h"

#include <algorithm>
#include <cmath>

#include "speaker/EQComponent.h"

namespace Filtra
{

namespace
{
using Vellaris::Dsp::StepSize;
using Vellaris::Dsp::ValueGrid;

// `value` on `grid` within the range of `param` (or of the display when the band lacks it).
float onGrid(ValueGrid grid, const Tessel::IParameter* param, float value, StepSize size, float low,
             float high)
{
    const double minimum = param ? param->getMin().asDouble() : low;
    const double maximum = param ? param->getMax().asDouble() : high;
    return float(Vellaris::Dsp::snapToGrid(grid, value, size, minimum, maximum));
}
} // namespace

CurveEditGesture::CurveEditGesture(EQComponent* equaliser) : equaliser(equaliser) {}

CurveEditGesture::~CurveEditGesture()
{
    release();
}

void CurveEditGesture::setEqualiser(EQComponent* newEqualiser)
{
    if (newEqualiser == equaliser.get())
        return;
    release();
    equaliser = Tessel::SharedPtr<EQComponent>(newEqualiser);
}

CurveAxes CurveEditGesture::getAxes() const
{
    if (!equaliser)
        return {};
    const DisplayRange range = equaliser->getDisplayRange();
    return {range.minFreq, range.maxFreq, range.minLevel, range.maxLevel};
}

void CurveEditGesture::getHandle(int band, float& x, float& y) const
{
    x = y = 0;
    if (!equaliser)
        return;
    const CurveAxes axes = getAxes();
    x = std::clamp(axes.freqToX(equaliser->getFreq(band)), 0.0f, 1.0f);
    // A band whose kind has no gain (a high-pass) sits on the 0 dB line.
    const float gain = equaliser->getType(band) == FilterKind::kLowCut ? 0.0f : equaliser->getGain(band);
    y = 1.0f - std::clamp(axes.levelToY(gain), 0.0f, 1.0f);
}

int CurveEditGesture::hitBand(float x, float y, float radiusX, float radiusY, int first, int count) const
{
    if (!equaliser || radiusX <= 0 || radiusY <= 0)
        return -1;
    int best = -1;
    float bestDistance = 1.0f; // in radii, so the ellipse of the handle is the limit
    const int bands = equaliser->getNumBands();
    const int end = count < 0 ? bands : std::min(bands, first + count);
    for (int band = std::max(first, 0); band < end; ++band)
    {
        float hx = 0, hy = 0;
        getHandle(band, hx, hy);
        const float dx = (x - hx) / radiusX, dy = (y - hy) / radiusY;
        const float distance = std::sqrt(dx * dx + dy * dy);
        // The last band drawn lies on top, so it wins a tie.
        if (distance <= bestDistance)
        {
            bestDistance = distance;
            best = band;
        }
    }
    return best;
}

void CurveEditGesture::press(int band, float x, float y, bool q)
{
    release();
    if (!equaliser || band < 0 || band >= equaliser->getNumBands())
        return;
    equaliser->setCurrentBand(band);
    float hx = 0, hy = 0;
    getHandle(band, hx, hy);
    grabDx = x - hx;
    grabDy = y - hy;
    startY = y;
    startQ = equaliser->getQ(band);
    qMode = q;
    dragged = band;
    equaliser->editBand(band, true);
}

void CurveEditGesture::move(float x, float y, StepSize size)
{
    if (!equaliser || dragged < 0)
        return;
    const EqBand* band = equaliser->getBand(dragged);
    if (!band)
        return;
    if (qMode)
    {
        // Up makes the band narrower.
        const float octaves = (startY - y) / kDragHeightPerOctave;
        const float q = startQ * std::exp2(octaves);
        equaliser->setQ(dragged, onGrid(ValueGrid::kQ, band->q.get(), q, size, q, q));
        return;
    }
    const CurveAxes axes = getAxes();
    const float px = std::clamp(x - grabDx, 0.0f, 1.0f);
    const float py = std::clamp(y - grabDy, 0.0f, 1.0f);
    equaliser->setFreq(dragged, onGrid(ValueGrid::kFrequency, band->freq.get(), axes.xToFreq(px), size,
                                       axes.minFreq, axes.maxFreq));
    if (equaliser->getType(dragged) != FilterKind::kLowCut)
        equaliser->setGain(dragged, onGrid(ValueGrid::kGain, band->gain.get(), axes.yToLevel(1.0f - py), size,
                                           axes.minLevel, axes.maxLevel));
}

void CurveEditGesture::release()
{
    if (equaliser && dragged >= 0)
        equaliser->editBand(dragged, false);
    dragged = -1;
    qMode = false;
}

void CurveEditGesture::wheel(int band, float steps)
{
    if (!equaliser || band < 0 || band >= equaliser->getNumBands() || steps == 0)
        return;
    equaliser->setCurrentBand(band);
    const EqBand* record = equaliser->getBand(band);
    if (!record || !record->q)
        return;
    if (band != wheelBand)
        wheelRest = 0;
    wheelBand = band;
    wheelRest += steps;
    const int whole = int(wheelRest);
    if (whole == 0)
        return;
    wheelRest -= float(whole);
    Tessel::IParameter* q = record->q.get();
    equaliser->setQ(
        band, float(Vellaris::Dsp::stepOnGrid(ValueGrid::kQ, equaliser->getQ(band), whole, StepSize::kNormal,
                                              q->getMin().asDouble(), q->getMax().asDouble())));
}

void CurveEditGesture::reset(int band)
{
    if (!equaliser || band < 0 || band >= equaliser->getNumBands())
        return;
    equaliser->setCurrentBand(band);
    equaliser->resetBand(band);
}

} // namespace Filtra
