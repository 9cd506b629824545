#pragma once

#include "tessel/IParameter.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Filtra
{

// The data of one gain-reduction display ("ReductionDisplay1" … "ReductionDisplay4" of a speaker):
// how far an output's limiter holds its level down, read from the display parameter its
// gain-reduction ballistics drive (the output's peak gain reduction, normalised over its range,
// resting at 1 for none). A view item draws it as a bar hanging from the top, 0 dB there and the
// bottom of the range (-12 dB) at the foot, and redraws on "changed", signalled by update() when
// the reduction moved. Properties: "level" (the bar's depth, 0 for none … 1 for the whole range),
// "peak" (-1: no peak held), "reductionDb" (the reduction in dB, 0 or below), "index".
class ReductionView : public Tessel::Object
{
public:
    // `display` is retained (it may be null: the view then shows no reduction).
    ReductionView(Tessel::IParameter* display, int index);

    int getIndex() const { return index; }
    float getLevel() const;
    float getReductionDb() const;
    // Signals "changed" when the depth moved since the last update.
    void update();

    bool getProperty(const std::string& name, Tessel::Variant& value) const override;

private:
    Tessel::SharedPtr<Tessel::IParameter> display;
    int index;
    float lastLevel = -1;
};

} // namespace Filtra
