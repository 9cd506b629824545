#pragma once

#include <memory>
#include <string>
#include <vector>

#include "speaker/StorageFilter.h"
#include "tessel/CommandMsg.h"
#include "tessel/ListModel.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class IParameter;
}

namespace Vellaris
{

class PresetChoiceParam;

// The presets of one kind on disk, as a list model with two columns: "name" (the file name
// without extension, 195 px wide) and "delete" (60 px), whose cell is the style image to show
// ("deleteIcon", or "deleteConfirmIcon" while the row is armed) or the text "Delete" when the
// style has no such image.
//
// Folder: Documents / "Vellaris" / application name / "Presets" / kind; the kind ("spk", "geq")
// is also the extension, matched ignoring case. Rows keep the folder's order.
//
// Deleting takes two clicks on the delete cell of one row: the first arms the row (delete state
// 1), the second removes the file (state 2) and rescans (state 0). A click on another row, a
// change of focus or selection and a rescan disarm it.
//
// Naming a new preset: beginNaming() shows the name editor (edit mode 1); finishNaming() saves
// under the typed name (mode 2), asking first through the "confirm" parameter when a preset of
// that name exists; cancelNaming() leaves without saving. The inspector that owns the list gives
// it its editor parameters with bindEditor().
//
// The chosen preset (what LOAD takes: getCurrentRow()) is also a parameter of the owner, bound
// with bindChoice(): it follows every click, focus change and rescan, and choose() makes a row the
// chosen one when the parameter is set (by a remote, by the skin). GUI thread only.
class PresetListModel : public Tessel::ListModel
{
    TESSEL_DECLARE_CLASS(PresetListModel)
public:
    static constexpr int kNameColumnWidth = 195;
    static constexpr int kDeleteColumnWidth = 60;
    static constexpr const char* kDeleteText = "Delete";
    // The argument of the load and delete commands that names a preset.
    static constexpr const char* kPresetArgument = "preset";

    enum class DeleteState
    {
        kIdle = 0,
        kArmed = 1,
        kDeleting = 2,
    };
    enum class EditMode
    {
        kNone = 0,
        kNaming = 1,
        kSaving = 2,
    };
    enum class SaveResult
    {
        kSaved,      // written, the list rescanned
        kNothing,    // not naming, or the name was empty
        kAskReplace, // a preset of that name exists: "confirm" is on until replace or keep naming
        kFailed,     // the write failed; the user was told
    };

    // `kind` is "spk" or "geq"; the list takes over `filter`.
    PresetListModel(const std::string& name, const std::string& kind, std::unique_ptr<StorageFilter> filter);

    const std::string& getKind() const { return kind; }
    StorageFilter* getFilter() const { return filter.get(); }
    std::string getFolder() const;
    // The path a preset named `typedName` is saved to: the name cleaned into one valid file name
    // plus "." kind, inside the folder. Empty for an empty name.
    std::string getPresetPath(const std::string& typedName) const;
    // Reads the folder again: one row per file whose extension is the kind, in the folder's order.
    void rescan();
    const std::string& getTitle(int row) const;
    // The row to load: the first selected row, else the focus row; −1 when none.
    int getCurrentRow() const;
    // The row titled exactly `title`, or −1.
    int findRow(const std::string& title) const;
    // The row a load or delete command acts on: the preset its argument "preset" names (−1 when
    // there is none of that name), else the current row.
    int getCommandRow(const Tessel::CommandMsg& msg) const;
    // Makes `row` the chosen one, as a plain click on it does (−1: none); false when out of range.
    bool choose(int row);
    // The owner's parameter that shows and sets the chosen row (borrowed; the owner keeps it).
    void bindChoice(PresetChoiceParam* param);

    // The editor's parameters (borrowed; the owner keeps them): the name field's text, the switch
    // that shows the editor and the one that asks whether to replace an existing preset.
    void bindEditor(Tessel::IParameter* nameParam, Tessel::IParameter* showParam,
                    Tessel::IParameter* confirmParam);
    EditMode getEditMode() const { return editMode; }
    // Mode 1: fills the name field with `defaultName` ("Preset" when empty), shows the editor and
    // signals "requestFocus" so the skin puts the keyboard focus into the name field.
    void beginNaming(const std::string& defaultName);
    // Mode 1 (or 2 while a replacement is asked, with `replace`): saves `target` under the typed
    // name. Without `replace` an existing preset of that name is not touched: the answer is
    // kAskReplace and the editor stays open.
    SaveResult finishNaming(Tessel::Component* target, bool replace);
    // Leaves naming without saving and hides the editor.
    void cancelNaming();
    // Back from the replace question to naming: the editor stays open with the typed name.
    void keepNaming();

    // Restores `target` from the preset of `row`. A file that cannot be read or has the wrong
    // form changes nothing and is reported to the user, naming the file; false then.
    bool load(Tessel::Component& target, int row);
    // Removes the preset file of `row` and rescans.
    bool remove(int row);

    DeleteState getDeleteState() const { return deleteState; }
    int getArmedRow() const { return deleteState == DeleteState::kIdle ? -1 : armedRow; }
    void disarm();

    // IListModel.
    int countRows() const override { return int(titles.size()); }
    Tessel::Variant getCell(int row, int column) const override;
    bool setFocusRow(int row) override;
    bool clickCell(int row, int column, const Tessel::CellClick& click) override;

    // A preset file could not be read; shows the text to the user and reports it as a warning.
    static void reportProblem(const std::string& path, const std::string& problem);

protected:
    ~PresetListModel() override;

private:
    void setEditMode(EditMode mode);
    std::string typedName() const;
    bool write(Tessel::Component* target, const std::string& path);
    // Brings the choice parameter in line with the rows and the current row.
    void syncChoice();

    std::string kind;
    std::unique_ptr<StorageFilter> filter;
    std::vector<std::string> titles;
    std::vector<std::string> files;
    DeleteState deleteState = DeleteState::kIdle;
    int armedRow = -1;
    EditMode editMode = EditMode::kNone;
    Tessel::SharedPtr<Tessel::IParameter> nameParam, showParam, confirmParam;
    Tessel::SharedPtr<PresetChoiceParam> choiceParam;
};

} // namespace Vellaris
