#pragma once

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
// the band to its defaults. GUI thread only.
class CurveEditGesture
{
public:
    // Q changes by a factor of 2 per this many wheel steps, or per this fraction of the plot's
    // height in Q mode.
    static constexpr float kWheelStepsPerOctave = 8.0f;
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
    void move(float x, float y);
    // Ends the drag (also when the window takes the mouse away).
    void release();
    bool isDragging() const { return dragged >= 0; }
    int getDraggedBand() const { return dragged; }

    // Steps the band's Q by `steps` wheel steps (positive: narrower).
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
};

} // namespace Filtra
