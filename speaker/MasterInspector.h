#pragma once

#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

// The inspector of a room's master controls.
// One per process, named "MasterInspector" below the root component.
class MasterInspector : public Tessel::Component, public Tessel::ComponentSingleton<MasterInspector>
{
    TESSEL_DECLARE_CLASS(MasterInspector)
public:
    MasterInspector();

protected:
    ~MasterInspector() override;
};

} // namespace Vellaris
