#pragma once

#include <string>

#include "model/UniversalComponent.h"

namespace Vellaris::LK
{

class ClientRootComponent;

// A component of a speaker's mirrored tree. It has no state of its own: its parameter-observer,
// edit-gesture, preview and resolver operations find the client root above it and hand the call
// on to it, so every change of a public parameter reaches the speaker. A remote component without
// a client root above it does nothing. Registered with the class factory as "RemoteComponent";
// the model builder uses it as the default class of the mirrored tree. GUI thread only.
class RemoteComponent : public UniversalComponent
{
    TESSEL_DECLARE_CLASS(RemoteComponent)
public:
    RemoteComponent();

    // The client root this component belongs to: a client root answers itself, any other asks its
    // parent, passing through UniversalComponents. Returns nullptr when there is none.
    virtual ClientRootComponent* getClientRoot() const;
    // Same search starting at `component` (which may be any component, for instance a processing
    // component that is a plain UniversalComponent). Returns nullptr when there is none.
    static ClientRootComponent* findClientRoot(const Tessel::Component* component);

    // Resolver: the parameter at `path` relative to the client root ("Speaker/line/ch1/volume"),
    // or nullptr (also without a client root).
    Tessel::IParameter* resolveParameter(const std::string& path) const;

    // Forwarded to the client root (which sends public changes to the speaker).
    void paramChanged(Tessel::IParameter* param) override;
    void paramEdit(Tessel::IParameter* param, bool begin) override;
    void paramPreview(Tessel::IParameter* param, const Tessel::ParamPreviewEvent& event) override;

protected:
    ~RemoteComponent() override;
};

} // namespace Vellaris::LK
