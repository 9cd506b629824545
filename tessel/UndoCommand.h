#pragma once

#include <string>

#include "tessel/Object.h"
#include "tessel/SharedPtr.h"
#include "tessel/Variant.h"

namespace Tessel
{

class IParameter;

// A reversible change that is not a parameter value (a speaker placed, a room closed), recorded in
// an undo step beside the parameter changes of the same action. The history calls undo() and
// redo() while it replays, so nothing they change is recorded again. GUI thread only.
class UndoCommand : public Object
{
public:
    // Takes the change back / makes it again. `notice` may receive one line for the user (what
    // could not be restored); left empty when all went well.
    virtual void undo(std::string& notice) = 0;
    virtual void redo(std::string& notice) = 0;
};

// Where a recorded parameter lives, in a form that survives its tree being rebuilt: `owner` names
// the device or object that holds it (a speaker's serial number) and `path` the parameter below it.
// A parameter of the desk itself that lives as long as its component keeps `param` instead (with
// `owner` and `path` empty).
struct UndoParamKey
{
    std::string owner;
    std::string path;
    SharedPtr<IParameter> param;

    bool sameAs(const UndoParamKey& other) const;
};

// Tells the undo history which parameters of a layer it records and finds them again when a step is
// replayed. The layer that knows the devices (the speakers) provides one; the history asks each
// installed locator in turn. GUI thread only.
class IUndoParamLocator
{
public:
    enum class Claim
    {
        NotMine, // the next locator (or the history's own rule for undoable desk parameters) decides
        Record,  // `key` and `label` are filled: record the change
        Ignore,  // one of this locator's parameters that is never recorded
    };
    virtual ~IUndoParamLocator() = default;
    // Whether `param` belongs to this locator and is recorded; for Record fills `key` and `label`
    // (the change as the user names it, "Volume TX20A").
    virtual Claim identify(IParameter* param, UndoParamKey& key, std::string& label) = 0;
    // The live parameter for a key this locator filled, or nullptr while its owner is away.
    virtual IParameter* resolve(const UndoParamKey& key) = 0;
    // Puts `value` into the copy that is kept for an owner that is away (a venue's stored settings
    // of a speaker off the network). True when a copy took it.
    virtual bool storeOffline(const UndoParamKey& key, const Variant& value) { return false; }
};

} // namespace Tessel
