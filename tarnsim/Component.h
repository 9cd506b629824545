#pragma once

#include "tarnsim/Parameter.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Core::Portable
{

class Attributes;

// A node of the simulator's component tree: a name (at most 31 characters),
// its parameters in creation order, and the child components it owns.
class Component : public IParamObserver
{
public:
    static constexpr std::size_t kMaxNameLength = 31;

    explicit Component(std::string_view name, bool notifyParams = true);
    // The parameter observer entry; the base does nothing.
    void paramChanged(Parameter* parameter, int code) override;
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // The direct child of exactly that name, or null.
    virtual Component* findChild(std::string_view name) const;
    // The own parameter of exactly that name, or null.
    virtual Parameter* findParameter(std::string_view name) const;
    // Sets the storable parameters from state (members named after them) and
    // each child from the object under its name; others are left alone.
    virtual void loadState(const Attributes& state);
    // Writes the storable parameters, then an object per child that has
    // something to store.
    virtual void storeState(Attributes& state) const;
    // Idle tick; the base ticks each child in order.
    virtual void idle();

    const std::string& name() const { return name_; }
    Component* parent() const { return parent_; }
    const std::vector<std::unique_ptr<Component>>& children() const { return children_; }
    const std::vector<std::unique_ptr<Parameter>>& parameters() const { return parameters_; }
    // The first own parameter with the tag, or null.
    Parameter* findParameterByTag(int32_t tag) const;

    // Takes ownership of child and appends it.
    Component* addChild(std::unique_ptr<Component> child);
    // Makes a parameter from the record and appends it.
    Parameter* addParameter(const ParamDefinition& definition);
    void addParameters(const ParamDefinitionList& list);

    // The names below the root joined by "/" (empty for the root).
    std::string path() const;
    // The path of one of this component's parameters ("line/ch1/mute", "clip").
    std::string paramPath(const Parameter& parameter) const;
    // The component reached by walking path names from here (empty path: this).
    Component* findDescendant(std::string_view path) const;

private:
    std::string name_;
    bool notifyParams_;
    Component* parent_ = nullptr;
    std::vector<std::unique_ptr<Component>> children_;
    std::vector<std::unique_ptr<Parameter>> parameters_;
};

} // namespace Core::Portable
