#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/ParamDescription.h"
#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"

namespace Vellaris
{

// A component built from the component model. Beyond Component it keeps the display names of its
// parameters (the descriptions' "name" by parameter id) and adds three virtual operations, in this
// order: setClassData, idleTick and addParameter. Derived classes (the processing components, the
// remote component) give them behaviour. GUI thread only.
class UniversalComponent : public Tessel::Component
{
    TESSEL_DECLARE_CLASS(UniversalComponent)
public:
    UniversalComponent();

    // Receives the component's class data (the JSON of its lk:Data block). The base ignores it.
    virtual void setClassData(const Tessel::Attributes& data);
    // One idle turn: the base passes it on to every child that is a UniversalComponent.
    virtual void idleTick();
    // Creates the parameter `description` describes (createParameter), adds it under the
    // description's tag and records its display name. Returns the parameter (borrowed), or nullptr
    // when a parameter of that name already exists (reported).
    virtual Tessel::IParameter* addParameter(const ParamDescription& description);

    // The display name recorded for parameter `paramId`, or "" when none.
    const std::string& getDisplayName(const std::string& paramId) const;
    void setDisplayName(const std::string& paramId, const std::string& displayName);

    // Also gives back the room of the display-name list.
    void shrinkToFit() override;

    // A new parameter (reference count 1, owned by the caller) made from `description`: from its
    // parameter class when it names a known one (then only named and flagged), else by type with
    // range, default, steps, formatter (not for lists), curve and flags. Missing formatters and
    // curves are reported and left out.
    static Tessel::IParameter* createParameter(const ParamDescription& description);

protected:
    ~UniversalComponent() override;

private:
    // Every speaker of a model has the same display names: the pairs (parameter id, display name)
    // are kept once per process and a component holds pointers to them, not copies.
    using DisplayName = std::pair<std::string, std::string>;
    std::vector<const DisplayName*> displayNames;
};

} // namespace Vellaris
