#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tessel
{

class AliasParam;
class ColorParam;
class CommandParam;
class IParameter;
class IUnknown;
class ListParam;
class MenuParam;
class Parameter;
class StringParam;

// The ordered parameter list of a component. The container owns its parameters (one reference
// each) and connects each to its controller (the owning component) with the parameter's tag.
// On destruction it disconnects and releases them.
class ParamContainer
{
public:
    // `controller` is the component that observes the parameters (not retained).
    explicit ParamContainer(IUnknown* controller = nullptr) : controller(controller) {}
    ~ParamContainer();
    ParamContainer(const ParamContainer&) = delete;
    ParamContainer& operator=(const ParamContainer&) = delete;

    IUnknown* getController() const { return controller; }
    void setController(IUnknown* newController) { controller = newController; }

    // Appends `param`, taking over the caller's reference, and connects it with `tag`. Returns
    // `param` (borrowed), or nullptr (after releasing it) when a parameter with its name exists.
    IParameter* add(IParameter* param, int32_t tag);
    // Removes `param` (disconnecting it) and releases the container's reference. Returns false
    // when it is not in this container.
    bool remove(IParameter* param);
    void removeAll();
    // Puts `replacement` in the place of `old` (same position), taking over the caller's reference
    // to `replacement` and connecting it with the old one's tag; then disconnects `old`, signals
    // "replaced" (Messages::kReplaced, arg 0: `replacement`) to the old one's views so they follow
    // the new parameter, and releases the container's reference to `old`. Returns `replacement`
    // (borrowed), or nullptr, releasing `replacement` and changing nothing, when `old` is not in
    // this container, when either is null, or when another parameter already has the new name.
    IParameter* replace(IParameter* old, IParameter* replacement);
    // The parameter named `name`, or nullptr.
    IParameter* lookup(const std::string& name) const;
    // The first parameter with `tag`, or nullptr.
    IParameter* lookupByTag(int32_t tag) const;
    // The parameter at `index`, or nullptr when out of range.
    IParameter* at(int index) const;
    // Position of `param`, or -1.
    int indexOf(const IParameter* param) const;
    int count() const { return int(params.size()); }
    // Gives back the room kept for parameters not added yet (once a component is complete).
    void shrinkToFit() { params.shrink_to_fit(); }

    // Each of these creates a parameter of its kind, names it, connects it with `tag`, appends it
    // and returns it (borrowed; the container owns it). They return nullptr when the name is
    // already taken.
    // A toggle (on/off) parameter.
    Parameter* addParam(const std::string& name, int32_t tag = 0);
    Parameter* addFloat(double minimum, double maximum, const std::string& name, int32_t tag = 0);
    Parameter* addInteger(int64_t minimum, int64_t maximum, const std::string& name, int32_t tag = 0);
    StringParam* addString(const std::string& name, int32_t tag = 0);
    ListParam* addList(const std::string& name, int32_t tag = 0);
    MenuParam* addMenu(const std::string& name, int32_t tag = 0);
    // A command parameter invoking (category, command) on the controller.
    CommandParam* addCommand(const std::string& category, const std::string& command, const std::string& name,
                             int32_t tag = 0);
    ColorParam* addColor(const std::string& name, int32_t tag = 0);
    // An alias of `target` (retained by the alias; may be null and set later).
    AliasParam* addAlias(IParameter* target, const std::string& name, int32_t tag = 0);

private:
    IUnknown* controller = nullptr;
    std::vector<IParameter*> params;
};

} // namespace Tessel
