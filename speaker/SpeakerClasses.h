#pragma once

namespace Tessel
{
class Initializer;
}

namespace Vellaris
{

// Registers the processing component classes (InputComponent, OutputComponent, LimiterComponent,
// EQComponent, MultiLimiterComponent, GEQComponent, TarnEqComponent, EqCompositeComponent) with the
// class factory and loads "resource:///tarndefs.xml" into the process-wide component builder.
// The start-up initializer "SpeakerComponent" (order 1000) runs it; calling it again registers
// nothing new and reloads the model. Returns false when the model could not be loaded (reported).
bool registerSpeakerClasses();
// The initializer "SpeakerComponent"; a program passes it to Tessel::Initializer::keep().
const Tessel::Initializer& speakerClassesInitializer();

} // namespace Vellaris
