#include "tessel/UndoHistory.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/Message.h"
#include "tessel/Platform.h"

namespace Tessel
{

namespace
{
UndoHistory* installedHistory = nullptr;
int suspendDepth = 0;
int replayDepth = 0;

// Values that differ by less than this share of the parameter's range count as the same: a value
// that went to the device and came back as a normalised float is a hair off.
constexpr double kSameValueTolerance = 1e-4;

struct Replaying
{
    Replaying() { ++replayDepth; }
    ~Replaying() { --replayDepth; }
};

} // namespace

std::string UndoHistory::humanise(const std::string& name)
{
    std::string text;
    for (size_t i = 0; i < name.size(); ++i)
    {
        const char c = name[i];
        if (c == '_')
        {
            text += ' ';
            continue;
        }
        if (i > 0 && std::isupper((unsigned char)c) && std::islower((unsigned char)name[i - 1]))
            text += ' ';
        text += (i == 0 || text.back() == ' ') ? char(std::toupper((unsigned char)c)) : c;
    }
    return text;
}

namespace
{
bool sameValue(IParameter* param, const Variant& a, const Variant& b)
{
    if (a == b)
        return true;
    if (!a.isNumeric() || !b.isNumeric())
        return false;
    return std::fabs(param->getValueNormalized(a) - param->getValueNormalized(b)) < kSameValueTolerance;
}

// Steps of one parameter merge under this key.
std::string mergeKeyOf(const UndoParamKey& key)
{
    if (key.param)
        return "desk:" + std::to_string(reinterpret_cast<uintptr_t>(key.param.get()));
    return key.owner + "\n" + key.path;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "; ") + line;
    return text;
}
} // namespace

bool UndoParamKey::sameAs(const UndoParamKey& other) const
{
    if (param || other.param)
        return param.get() == other.param.get();
    return owner == other.owner && path == other.path;
}

// --- Installation and guards -------------------------------------------------------------------

void setUndoHistory(UndoHistory* history)
{
    installedHistory = history;
}

UndoHistory* GetUndoHistory()
{
    return installedHistory;
}

UndoHistory::Suspend::Suspend()
{
    ++suspendDepth;
}

UndoHistory::Suspend::~Suspend()
{
    --suspendDepth;
}

bool UndoHistory::isSuspended()
{
    return suspendDepth > 0;
}

bool UndoHistory::isReplaying()
{
    return replayDepth > 0;
}

UndoTransaction::UndoTransaction(const std::string& name, const std::string& mergeKey)
    : history(GetUndoHistory())
{
    if (history)
        history->beginTransaction(name, mergeKey);
}

UndoTransaction::~UndoTransaction()
{
    if (history && history == GetUndoHistory())
        history->endTransaction();
}

// --- History -----------------------------------------------------------------------------------

UndoHistory::UndoHistory() = default;

UndoHistory::~UndoHistory()
{
    if (installedHistory == this)
        installedHistory = nullptr;
}

void UndoHistory::addLocator(IUndoParamLocator* locator)
{
    if (locator && std::find(locators.begin(), locators.end(), locator) == locators.end())
        locators.push_back(locator);
}

void UndoHistory::removeLocator(IUndoParamLocator* locator)
{
    locators.erase(std::remove(locators.begin(), locators.end(), locator), locators.end());
}

bool UndoHistory::identify(IParameter* param, UndoParamKey& key, std::string& label) const
{
    for (IUndoParamLocator* locator : locators)
        switch (locator->identify(param, key, label))
        {
        case IUndoParamLocator::Claim::Record:
            return true;
        case IUndoParamLocator::Claim::Ignore:
            return false;
        case IUndoParamLocator::Claim::NotMine:
            break;
        }
    if (!param->isFlag(ParamFlags::kUndoable))
        return false;
    // A desk parameter lives as long as its component: the parameter itself is its key.
    key.param = retained(param);
    label = humanise(param->getName());
    if (Component* owner = unknownCast<Component>(param->getController()))
        if (!owner->getTitle().empty())
            label += " " + owner->getTitle();
    return true;
}

UndoHistory::Step& UndoHistory::openStep()
{
    if (!open)
        open = std::make_unique<Step>();
    return *open;
}

void UndoHistory::beginTransaction(const std::string& name, const std::string& mergeKey)
{
    ++transactionDepth;
    if (isReplaying() || isSuspended())
        return;
    Step& step = openStep();
    // The outermost transaction names the step, even when a gesture opened it.
    if (!step.namedByTransaction)
    {
        step.name = name;
        step.mergeKey = mergeKey;
        step.namedByTransaction = true;
    }
}

void UndoHistory::endTransaction()
{
    if (transactionDepth == 0)
        return;
    --transactionDepth;
    if (!isRecordingStep())
        closeStep();
}

void UndoHistory::record(UndoCommand* command, const std::string& name)
{
    if (!command || isReplaying() || isSuspended())
        return;
    Action action;
    action.command = retained(command);
    action.label = name;
    if (isRecordingStep())
    {
        Step& step = openStep();
        if (step.name.empty())
            step.name = name;
        step.actions.push_back(std::move(action));
        return;
    }
    auto step = std::make_unique<Step>();
    step->name = name;
    step->actions.push_back(std::move(action));
    step->closedAt = GetSystemTicks();
    push(std::move(step));
}

bool UndoHistory::paramChanged(IParameter* param, const Variant& before)
{
    if (!param || isReplaying() || isSuspended())
        return false;
    Action action;
    if (!identify(param, action.key, action.label))
        return false;
    action.before = before;
    action.after = param->getValue();
    // A change outside any gesture or transaction opens a step of its own that lasts until the
    // change has been told to the controller and the views, so what they change in turn (the
    // speaker's "elastic" following its volume, the room's speakers following its master
    // equaliser) belongs to it.
    const bool opens = !isRecordingStep();
    if (opens)
        ++transactionDepth;
    Step& step = openStep();
    if (step.name.empty())
        step.name = action.label;
    addChange(step, std::move(action));
    return opens;
}

void UndoHistory::paramChangeFinished()
{
    endTransaction();
}

void UndoHistory::paramEditBegan(IParameter* param)
{
    if (!param || isReplaying() || isSuspended())
        return;
    if (std::find(gestures.begin(), gestures.end(), param) == gestures.end())
        gestures.push_back(param);
    openStep();
}

void UndoHistory::paramEditEnded(IParameter* param)
{
    auto it = std::find(gestures.begin(), gestures.end(), param);
    if (it == gestures.end())
        return;
    gestures.erase(it);
    if (!isRecordingStep())
        closeStep();
}

void UndoHistory::addChange(Step& step, Action action)
{
    // A parameter changed again in the same step keeps its first "before"; a command in between
    // keeps the two apart, so the order of replay stays right.
    for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it)
    {
        if (it->command)
            break;
        if (it->key.sameAs(action.key))
        {
            it->after = action.after;
            return;
        }
    }
    step.actions.push_back(std::move(action));
}

void UndoHistory::closeStep()
{
    std::unique_ptr<Step> step = std::move(open);
    if (!step || step->actions.empty())
        return;
    step->closedAt = GetSystemTicks();
    // A step that a parameter opened (a gesture, a loose change) merges with the next one of the
    // same parameter that follows closely.
    if (!step->namedByTransaction && !step->actions[0].command)
        step->mergeKey = mergeKeyOf(step->actions[0].key);
    push(std::move(step));
}

void UndoHistory::push(std::unique_ptr<Step> step)
{
    // A step that changed nothing in the end (a drag back to where it started) is dropped.
    const bool anyEffect =
        std::any_of(step->actions.begin(), step->actions.end(),
                    [](const Action& action) { return action.command || action.before != action.after; });
    Step* top = undoSteps.empty() ? nullptr : undoSteps.back().get();
    if (top && top == lastPushed && !step->mergeKey.empty() && step->mergeKey == top->mergeKey &&
        step->closedAt - top->closedAt < kMergeMs)
    {
        for (Action& action : step->actions)
            addChange(*top, std::move(action));
        top->closedAt = step->closedAt;
        changed();
        return;
    }
    if (!anyEffect)
        return;
    redoSteps.clear();
    undoSteps.push_back(std::move(step));
    lastPushed = undoSteps.back().get();
    while (undoSteps.size() > depth)
        undoSteps.pop_front();
    changed();
}

std::string UndoHistory::getUndoName() const
{
    if (hasOpenStep())
        return open->name;
    return undoSteps.empty() ? std::string() : undoSteps.back()->name;
}

std::string UndoHistory::getRedoName() const
{
    return redoSteps.empty() ? std::string() : redoSteps.back()->name;
}

bool UndoHistory::undo()
{
    // A step still being recorded (a control held while Ctrl+Z is pressed) closes first.
    if (open)
    {
        gestures.clear();
        transactionDepth = 0;
        closeStep();
    }
    if (undoSteps.empty())
        return false;
    std::unique_ptr<Step> step = std::move(undoSteps.back());
    undoSteps.pop_back();
    lastPushed = nullptr;
    replay(*step, true);
    redoSteps.push_back(std::move(step));
    changed();
    return true;
}

bool UndoHistory::redo()
{
    if (redoSteps.empty())
        return false;
    std::unique_ptr<Step> step = std::move(redoSteps.back());
    redoSteps.pop_back();
    lastPushed = nullptr;
    replay(*step, false);
    undoSteps.push_back(std::move(step));
    changed();
    return true;
}

void UndoHistory::clear()
{
    undoSteps.clear();
    redoSteps.clear();
    open.reset();
    gestures.clear();
    transactionDepth = 0;
    lastPushed = nullptr;
    status.clear();
    changed();
}

void UndoHistory::setDepth(size_t steps)
{
    depth = std::max<size_t>(steps, 1);
    while (undoSteps.size() > depth)
        undoSteps.pop_front();
    changed();
}

void UndoHistory::replay(Step& step, bool backwards)
{
    Replaying replaying;
    std::vector<std::string> notices;
    auto run = [&](Action& action)
    {
        if (action.command)
        {
            std::string notice;
            if (backwards)
                action.command->undo(notice);
            else
                action.command->redo(notice);
            if (!notice.empty())
                notices.push_back(notice);
        }
        else if (backwards)
            applyValue(action, action.before, action.after, notices);
        else
            applyValue(action, action.after, action.before, notices);
    };
    if (backwards)
        std::for_each(step.actions.rbegin(), step.actions.rend(), run);
    else
        std::for_each(step.actions.begin(), step.actions.end(), run);
    status = (backwards ? "Undone: " : "Redone: ") + step.name;
    if (!notices.empty())
        status += ". " + joined(notices);
}

void UndoHistory::applyValue(const Action& action, const Variant& value, const Variant& expected,
                             std::vector<std::string>& notices)
{
    IParameter* param = nullptr;
    if (action.key.param)
    {
        // A desk parameter whose component is gone has no controller any more.
        if (action.key.param->getController())
            param = action.key.param.get();
    }
    else
    {
        for (IUndoParamLocator* locator : locators)
            if ((param = locator->resolve(action.key)) != nullptr)
                break;
    }
    if (!param)
    {
        bool stored = false;
        if (!action.key.param)
            for (IUndoParamLocator* locator : locators)
                if ((stored = locator->storeOffline(action.key, value)))
                    break;
        // One notice per owner that is away, naming the first of its parameters.
        const std::string who = action.key.owner.empty() ? action.label : action.key.owner;
        for (const std::string& notice : notices)
            if (notice.find(": " + who + " is") != std::string::npos)
                return;
        notices.push_back(stored ? action.label + ": " + who +
                                       " is off the network, its stored settings took the value"
                                 : action.label + " skipped: " + who + " is not there");
        return;
    }
    if (!sameValue(param, param->getValue(), expected))
        notices.push_back(action.label + " had been changed elsewhere, this desk's value is back");
    // The same path as an edit: a gesture around a notifying change, so the device and every other
    // client follow. A control the user holds keeps its gesture.
    const bool held = param->isFlag(ParamFlags::kEditing);
    if (!held)
        param->beginEdit();
    param->setValue(value, true);
    if (!held)
        param->endEdit();
}

void UndoHistory::changed()
{
    signal(Message(Messages::kChanged));
}

} // namespace Tessel
