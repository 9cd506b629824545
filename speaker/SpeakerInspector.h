#pragma once

#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

// The inspector of the selected speaker.
// One per process, named "Inspector" below the root component.
class SpeakerInspector : public Tessel::Component, public Tessel::ComponentSingleton<SpeakerInspector>
{
    TESSEL_DECLARE_CLASS(SpeakerInspector)
public:
    SpeakerInspector();

protected:
    ~SpeakerInspector() override;
};

} // namespace Vellaris
