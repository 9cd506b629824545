#pragma once

#include "tarnsim/ServerComponent.h"

namespace Vellaris::Tarn
{

// A plain server component of the emulated speaker ("line", "ch1", the
// processing blocks): its parameters publish through the root.
class DummyComponent : public Core::Portable::ServerComponent
{
public:
    using ServerComponent::ServerComponent;
};

} // namespace Vellaris::Tarn
