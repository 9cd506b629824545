#pragma once

#include "speaker/EQComponent.h"

namespace Vellaris
{

// The speaker's parametric ("eq") and notch ("notch") equalisers.
class TarnEqComponent : public EQComponent
{
    TESSEL_DECLARE_CLASS(TarnEqComponent)
public:
    TarnEqComponent();

protected:
    ~TarnEqComponent() override;
};

} // namespace Vellaris
