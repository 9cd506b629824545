#pragma once

#include "tessel/ComponentSingleton.h"

namespace Vellaris
{

// Keeps the open venue and the venue history.
// One per process, named "VenueManager" below the root component.
class VenueManager : public Tessel::Component, public Tessel::ComponentSingleton<VenueManager>
{
    TESSEL_DECLARE_CLASS(VenueManager)
public:
    VenueManager();

protected:
    ~VenueManager() override;
};

} // namespace Vellaris
