#pragma once

#include "speaker/EQComponent.h"

namespace Vellaris
{

// The speaker's parametric ("eq") and notch ("notch") equalisers: the equaliser engine over the
// mirrored band parameters. Its editor constant is −1, which tells the views that the bands belong
// to a speaker.
class TarnEqComponent : public Filtra::EQComponent
{
    TESSEL_DECLARE_CLASS(TarnEqComponent)
public:
    TarnEqComponent();

    int getEditorConstant() const override { return -1; }

protected:
    ~TarnEqComponent() override;
};

} // namespace Vellaris
