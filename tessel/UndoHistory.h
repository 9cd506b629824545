#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "tessel/Object.h"
#include "tessel/UndoCommand.h"

namespace Tessel
{

// The desk's undo history: steps of what the user changed, newest last, and the steps taken back,
// ready to be made again.
//
// What feeds it:
// - Parameters that count (flag kUndoable, or kPublic and claimed by an installed locator) report
//   every notifying value change. Inside an edit gesture (beginEdit … endEdit of a counted
//   parameter) or a transaction the changes gather in one step; the step closes when the last
//   gesture and the outermost transaction end. A change outside both is a step of its own.
//   What the controller and the views change in turn while they hear of a loose change belongs to
//   its step.
// - A step that a parameter opened merges into the step before it when that one was opened by the
//   same parameter and closed less than kMergeMs of system ticks earlier (a wheel burst, a row of
//   clicks on a step button); a transaction may name a merge key to do the same.
// - Features wrap compound actions in transactions (beginTransaction("Room Volume Main Hall") …
//   endTransaction(), nestable; the outermost name wins) and record UndoCommands for what is not a
//   parameter value.
// - Nothing is recorded while a Suspend guard lives (changes that arrive from the network, stored
//   settings pushed onto a speaker that came back) or while the history replays a step.
//
// undo() replays a step backwards, redo() forwards: every parameter is found again through its key
// and set with notification inside an edit gesture, as an edit would, so devices and views follow.
// A parameter whose owner is away goes to the locator's offline copy, else it is skipped; the rest
// of the step still applies. A parameter that someone else changed after this desk's edit still
// gets this desk's value. What happened is said in getStatus().
//
// Signals "changed" whenever the step names, the availability of undo and redo or the status
// change. GUI thread only.
class UndoHistory : public Object
{
public:
    static constexpr size_t kDefaultDepth = 200;
    static constexpr int64_t kMergeMs = 500;

    UndoHistory();
    ~UndoHistory() override;

    // Locators are asked in the order they were added; not owned (remove before destroying one).
    void addLocator(IUndoParamLocator* locator);
    void removeLocator(IUndoParamLocator* locator);

    // Transactions. `mergeKey`: a closed step with the same non-empty key merges with the step
    // before it as described above.
    void beginTransaction(const std::string& name, const std::string& mergeKey = {});
    void endTransaction();
    bool isRecordingStep() const { return transactionDepth > 0 || !gestures.empty(); }
    // Adds `command` (retained) to the open step, or makes it a step of its own named `name` when
    // none is open. The command's change has already been made.
    void record(UndoCommand* command, const std::string& name);

    // Called by the parameters (see the class comment). When paramChanged answers true it opened
    // the step of a loose change: the parameter calls paramChangeFinished() once its controller
    // and views have heard of the change.
    bool paramChanged(IParameter* param, const Variant& before);
    void paramChangeFinished();
    void paramEditBegan(IParameter* param);
    void paramEditEnded(IParameter* param);

    bool canUndo() const { return !undoSteps.empty() || hasOpenStep(); }
    bool canRedo() const { return !redoSteps.empty(); }
    // The name of the step undo() / redo() would replay ("Volume TX20A"), or "".
    std::string getUndoName() const;
    std::string getRedoName() const;
    // Replays the newest step backwards (closing a step still open first) / the newest step taken
    // back forwards. False when there is nothing to do.
    bool undo();
    bool redo();
    // Forgets every step (another venue was opened).
    void clear();
    // What the last undo or redo did, for the status line ("Undone: Volume TX20A", notices after).
    const std::string& getStatus() const { return status; }

    void setDepth(size_t steps);
    size_t getDepth() const { return depth; }
    size_t countUndoSteps() const { return undoSteps.size(); }
    size_t countRedoSteps() const { return redoSteps.size(); }

    // True while a step is being replayed. Compound reactions (a solo muting the room, the room's
    // master equaliser copied to every speaker) hold back then: the step holds each of their
    // effects already.
    static bool isReplaying();

    // While one lives, nothing is recorded (process-wide, nestable).
    class Suspend
    {
    public:
        Suspend();
        ~Suspend();
        Suspend(const Suspend&) = delete;
        Suspend& operator=(const Suspend&) = delete;
    };
    static bool isSuspended();

    // A parameter name as the user reads it in a step name: "roomTitle" → "Room Title".
    static std::string humanise(const std::string& name);

private:
    struct Action
    {
        UndoParamKey key;
        std::string label;
        Variant before;
        Variant after;
        SharedPtr<UndoCommand> command; // set for a command, else a parameter change
    };
    struct Step
    {
        std::string name;
        std::string mergeKey;
        std::vector<Action> actions;
        int64_t closedAt = 0;
        bool namedByTransaction = false;
    };

    bool hasOpenStep() const { return open && !open->actions.empty(); }
    Step& openStep();
    void closeStep();
    void push(std::unique_ptr<Step> step);
    bool identify(IParameter* param, UndoParamKey& key, std::string& label) const;
    static void addChange(Step& step, Action action);
    void replay(Step& step, bool backwards);
    void applyValue(const Action& action, const Variant& value, const Variant& expected,
                    std::vector<std::string>& notices);
    void changed();

    std::vector<IUndoParamLocator*> locators;
    std::deque<std::unique_ptr<Step>> undoSteps;
    std::vector<std::unique_ptr<Step>> redoSteps;
    std::unique_ptr<Step> open;
    const Step* lastPushed = nullptr;  // the newest step, while later steps may still merge into it
    std::vector<IParameter*> gestures; // counted parameters inside an edit gesture (not retained)
    int transactionDepth = 0;
    size_t depth = kDefaultDepth;
    std::string status;
};

// The desk's history installed by the application (not owned; null uninstalls), and the installed
// one or nullptr. Tests install their own.
void setUndoHistory(UndoHistory* history);
UndoHistory* GetUndoHistory();

// Opens a transaction on the installed history for its lifetime (nothing without a history).
class UndoTransaction
{
public:
    explicit UndoTransaction(const std::string& name, const std::string& mergeKey = {});
    ~UndoTransaction();
    UndoTransaction(const UndoTransaction&) = delete;
    UndoTransaction& operator=(const UndoTransaction&) = delete;

private:
    UndoHistory* history;
};

} // namespace Tessel
