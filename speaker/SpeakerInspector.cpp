#include "speaker/SpeakerInspector.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(SpeakerInspector, Tessel::Component, "SpeakerInspector")

SpeakerInspector::SpeakerInspector() : Tessel::Component("Inspector", "Inspector")
{
    attach(this);
}

SpeakerInspector::~SpeakerInspector()
{
    detach(this);
}

} // namespace Vellaris
