#include "venue/VenueManager.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(VenueManager, Tessel::Component, "VenueManager")

VenueManager::VenueManager() : Tessel::Component("VenueManager", "VenueManager")
{
    attach(this);
}

VenueManager::~VenueManager()
{
    detach(this);
}

} // namespace Vellaris
