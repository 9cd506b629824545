#pragma once

#include "formats/ValueGrid.h"
#include "speaker/eq/CurveAxes.h"
#include "tessel/SharedPtr.h"

namespace Filtra
{

class EQComponent;

// What the mouse does on a response-curve editor, without the window: positions are fractions of
// the plot (x 0 left … 1 right, y 0 top … 1 bottom). A press on a handle selects its band and
// begins one edit gesture on it; moves set frequency and gain (or, in Q mode, only Q from the
// vertical travel); the release ends the gesture, so incoming echoes never fight the hand and the
// speaker sees exactly one begin and one end per drag. The wheel steps Q; a double click returns
// the band to its defaults. Dragged and stepped values land on the units' grids (ValueGrid):
// frequency on twelfths of an octave, gain on 0.5 dB (0.1 dB with Shift held while dragging), Q on
// its list. GUI thread only.
class CurveEditGesture
{
public:
    // Q changes by a factor of 2 per this fraction of the plot's height in Q mode (then lands on the
    // nearest value of its list); a wheel step moves it to the next value of the list.
    static constexpr float kDragHeightPerOctave = 0.25f;

    // `equaliser` is retained (null: every call does nothing).
    explicit CurveEditGesture(EQComponent* equaliser = nullptr);
    ~CurveEditGesture();
    void setEqualiser(EQComponent* equaliser);
    EQComponent* getEqualiser() const { return equaliser.get(); }

    // The axes of the equaliser's display range.
    CurveAxes getAxes() const;
    // Where band `band`'s handle sits (x from its frequency, y from its gain, clamped to the plot).
    void getHandle(int band, float& x, float& y) const;
    // The band whose handle lies nearest to (x, y) within the radii (fractions of the plot), −1
    // when none. Bands that are off count, so they can be picked and switched on. Only bands
    // first … first + count − 1 are looked at (count < 0: every band from first on).
    int hitBand(float x, float y, float radiusX, float radiusY, int first = 0, int count = -1) const;

    // Starts dragging `band` (a band out of range: nothing). `qMode` drags Q instead.
    void press(int band, float x, float y, bool qMode);
    // `size` kShift: the fine gain grid.
    void move(float x, float y, Vellaris::Dsp::StepSize size = Vellaris::Dsp::StepSize::kNormal);
    // Ends the drag (also when the window takes the mouse away).
    void release();
    bool isDragging() const { return dragged >= 0; }
    int getDraggedBand() const { return dragged; }

    // Steps the band's Q by `steps` wheel steps (positive: narrower) through its list; fractions of
    // a step (a touchpad) add up until they make a whole one.
    void wheel(int band, float steps);
    // Returns the band's gain, frequency and Q to their defaults and selects it.
    void reset(int band);

private:
    Tessel::SharedPtr<EQComponent> equaliser;
    int dragged = -1;
    bool qMode = false;
    float startY = 0;
    float startQ = 1;
    float grabDx = 0, grabDy = 0; // where on the handle the press landed
    float wheelRest = 0;          // fractions of a wheel step not taken yet
    int wheelBand = -1;
};

} // namespace Filtra
