#pragma once

#include "tessel/IUnknown.h"

namespace Filtra
{

class EQComponent;
class ResponseGrid;

// What the curve views of an equaliser ("CurveDisplay", "CurveMicroDisplay", "CurveSelectDisplay",
// made by the equaliser's createView) answer besides their "changed" messages.
class IEqualiserView : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E300, 0x0010, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x03, 0x10};

    // The equaliser the view shows (borrowed; the view keeps it alive).
    virtual EQComponent* getEqualiser() const = 0;

protected:
    ~IEqualiserView() override = default;
};

// What a response view ("GEQDisplay", made by a graphic equaliser's createView) answers: the
// overall response to draw and whether it is switched on. The view signals "changed" after any
// band gain or the on switch changed.
class IResponseView : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E300, 0x0011, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x03, 0x11};

    virtual bool isOn() const = 0;
    // Fills out[0 … grid.getCount()) with the response in dB. Allocates nothing.
    virtual void getResponse(const ResponseGrid& grid, float* out) const = 0;

protected:
    ~IResponseView() override = default;
};

} // namespace Filtra
