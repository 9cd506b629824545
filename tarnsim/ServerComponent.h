#pragma once

#include "tarnsim/Component.h"

namespace Vellaris::LK
{
class MessageAttributes;
}

namespace Core::Portable
{

class ServerRootComponent;

// A component of the served tree: it publishes its parameters' value and
// range changes (codes 3 and 4) to every subscriber of its root, except for
// private parameters and while the root holds changes back.
class ServerComponent : public Component
{
public:
    using Component::Component;

    void paramChanged(Parameter* parameter, int code) override;
    // The root of the tree: the parent's root (null without a parent).
    virtual ServerRootComponent* getRoot();
    // A JSON message addressed to this component; the base ignores it.
    virtual void handleMessage(Vellaris::LK::MessageAttributes& message);
};

} // namespace Core::Portable
