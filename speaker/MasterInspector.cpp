#include "speaker/MasterInspector.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(MasterInspector, Tessel::Component, "MasterInspector")

MasterInspector::MasterInspector() : Tessel::Component("MasterInspector", "MasterInspector")
{
    attach(this);
}

MasterInspector::~MasterInspector()
{
    detach(this);
}

} // namespace Vellaris
