#pragma once

#include "speaker/EQComponent.h"

namespace Vellaris
{

// The composite view over a channel's notch and parametric equalisers ("compeq").
class EqCompositeComponent : public EQComponent
{
    TESSEL_DECLARE_CLASS(EqCompositeComponent)
public:
    EqCompositeComponent();

protected:
    ~EqCompositeComponent() override;
};

} // namespace Vellaris
