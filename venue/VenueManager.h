#pragma once

#include "app/ComponentSingleton.h"

namespace Vellaris
{

// Keeps the open venue and the venue history.
// One per process, named "VenueManager" below the root component.
class VenueManager : public Tessel::Component, public ComponentSingleton<VenueManager>
{
    TESSEL_DECLARE_CLASS(VenueManager)
public:
    VenueManager();

protected:
    ~VenueManager() override;
};

} // namespace Vellaris
