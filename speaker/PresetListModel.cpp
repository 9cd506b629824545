#include "speaker/PresetListModel.h"

#include <cctype>

#include "speaker/PresetChoiceParam.h"
#include "speaker/PresetFile.h"
#include "tessel/Application.h"
#include "tessel/FileUtilities.h"
#include "tessel/IAlertService.h"
#include "tessel/IFileSystem.h"
#include "tessel/IParameter.h"
#include "tessel/ISystem.h"
#include "tessel/Platform.h"
#include "tessel/Style.h"
#include "tessel/Warning.h"

namespace Vellaris
{

TESSEL_DEFINE_ABSTRACT_CLASS(PresetListModel, Tessel::Component, "PresetListModel")

namespace
{
constexpr const char* kCompanyFolder = "Vellaris";
constexpr const char* kPresetsFolder = "Presets";
constexpr const char* kFallbackName = "Preset";

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string applicationTitle()
{
    Tessel::Application* application = Tessel::Application::getApplication();
    return application ? application->getAppTitle() : std::string();
}

// The style's image of that name, or the text for a skin without images.
std::string deleteCell(const char* imageName)
{
    return Tessel::Style::get().getImage(imageName).empty() ? PresetListModel::kDeleteText : imageName;
}
} // namespace

PresetListModel::PresetListModel(const std::string& name, const std::string& kind,
                                 std::unique_ptr<StorageFilter> filter)
    : ListModel(name), kind(kind), filter(std::move(filter))
{
    addColumn("name", "Name");
    addColumn("delete", "");
}

PresetListModel::~PresetListModel() = default;

std::string PresetListModel::getFolder() const
{
    using Tessel::FileUtilities;
    const std::string documents = Tessel::GetSystem()->getLocation(Tessel::Location::kDocuments);
    std::string folder = FileUtilities::joinPath(documents, kCompanyFolder);
    folder = FileUtilities::joinPath(folder, FileUtilities::makeValidFileName(applicationTitle()));
    folder = FileUtilities::joinPath(folder, kPresetsFolder);
    return FileUtilities::joinPath(folder, kind);
}

std::string PresetListModel::getPresetPath(const std::string& typedName) const
{
    if (typedName.empty())
        return {};
    // The cleaned name is a single file name: no separator, no "..", never empty, short enough
    // for the extension; so the preset always lands inside the folder.
    const std::string file = Tessel::FileUtilities::makeValidFileName(typedName) + "." + kind;
    return Tessel::FileUtilities::joinPath(getFolder(), file);
}

void PresetListModel::rescan()
{
    disarm();
    // The selection follows its preset, not its row number: after a delete the row below must not
    // become the one LOAD takes.
    const std::string chosen = getTitle(getCurrentRow());
    titles.clear();
    files.clear();
    const std::string folder = getFolder();
    std::vector<std::string> names;
    Tessel::IFileSystem* fileSystem = Tessel::GetFileSystem();
    fileSystem->listFolder(folder, names);
    for (const std::string& name : names)
    {
        if (!equalsIgnoringCase(Tessel::FileUtilities::getExtension(name), kind))
            continue;
        const std::string path = Tessel::FileUtilities::joinPath(folder, name);
        if (fileSystem->isFolder(path))
            continue;
        titles.push_back(Tessel::FileUtilities::getBaseName(name));
        files.push_back(path);
    }
    int again = -1;
    for (int row = 0; row < countRows() && !chosen.empty(); ++row)
        if (titles[size_t(row)] == chosen)
            again = row;
    selectOnly(again);
    ListModel::setFocusRow(again);
    rowsChanged();
    syncChoice();
}

const std::string& PresetListModel::getTitle(int row) const
{
    static const std::string none;
    return row >= 0 && row < countRows() ? titles[size_t(row)] : none;
}

int PresetListModel::getCurrentRow() const
{
    for (int row = 0; row < countRows(); ++row)
        if (isRowSelected(row))
            return row;
    return getFocusRow();
}

int PresetListModel::findRow(const std::string& title) const
{
    for (int row = 0; row < countRows(); ++row)
        if (titles[size_t(row)] == title)
            return row;
    return -1;
}

int PresetListModel::getCommandRow(const Tessel::CommandMsg& msg) const
{
    const Tessel::Variant* named = msg.arguments.find(kPresetArgument);
    if (!named)
        return getCurrentRow();
    return named->isString() ? findRow(named->getText()) : -1;
}

bool PresetListModel::choose(int row)
{
    if (row < -1 || row >= countRows())
        return false;
    Tessel::SharedPtr<Tessel::Object> keepAlive(this);
    disarm();
    selectOnly(row);
    ListModel::setFocusRow(row);
    syncChoice();
    return true;
}

void PresetListModel::bindChoice(PresetChoiceParam* param)
{
    choiceParam = Tessel::retained(param);
    syncChoice();
}

void PresetListModel::syncChoice()
{
    if (!choiceParam)
        return;
    choiceParam->setTitles(titles);
    // Not notified: the owner hears only choices made through the parameter itself.
    choiceParam->setValue(Tessel::Variant(getCurrentRow()), false);
}

// --- Naming ---------------------------------------------------------------------------------

void PresetListModel::bindEditor(Tessel::IParameter* name, Tessel::IParameter* show,
                                 Tessel::IParameter* confirm)
{
    nameParam = Tessel::retained(name);
    showParam = Tessel::retained(show);
    confirmParam = Tessel::retained(confirm);
}

void PresetListModel::setEditMode(EditMode mode)
{
    editMode = mode;
    if (showParam)
        showParam->setValue(Tessel::Variant(mode == EditMode::kNone ? 0 : 1), true);
    if (confirmParam && mode != EditMode::kSaving)
        confirmParam->setValue(Tessel::Variant(0), true);
}

std::string PresetListModel::typedName() const
{
    return nameParam ? nameParam->toString() : std::string();
}

void PresetListModel::beginNaming(const std::string& defaultName)
{
    disarm();
    if (nameParam)
        nameParam->fromString(defaultName.empty() ? kFallbackName : defaultName, true);
    setEditMode(EditMode::kNaming);
    signal(Tessel::Message("requestFocus"));
}

PresetListModel::SaveResult PresetListModel::finishNaming(Tessel::Component* target, bool replace)
{
    const bool answering =
        editMode == EditMode::kSaving && confirmParam && confirmParam->getValue().asInt() != 0;
    // A replacement only answers the question; a plain save only happens while naming.
    if (replace ? !answering : editMode != EditMode::kNaming)
        return SaveResult::kNothing;
    editMode = EditMode::kSaving;
    const std::string path = getPresetPath(typedName());
    if (path.empty() || !target)
    {
        setEditMode(EditMode::kNone);
        return SaveResult::kNothing;
    }
    if (!replace && Tessel::GetFileSystem()->exists(path))
    {
        // Nothing is replaced without the user's word: the skin asks, the editor stays open.
        if (confirmParam)
            confirmParam->setValue(Tessel::Variant(1), true);
        return SaveResult::kAskReplace;
    }
    const bool written = write(target, path);
    if (written)
        rescan();
    setEditMode(EditMode::kNone);
    return written ? SaveResult::kSaved : SaveResult::kFailed;
}

void PresetListModel::cancelNaming()
{
    setEditMode(EditMode::kNone);
}

void PresetListModel::keepNaming()
{
    if (editMode != EditMode::kSaving)
        return;
    setEditMode(EditMode::kNaming);
    signal(Tessel::Message("requestFocus"));
}

bool PresetListModel::write(Tessel::Component* target, const std::string& path)
{
    Tessel::GetFileSystem()->createFolder(getFolder());
    if (PresetFile::save(*target, path, filter.get()))
        return true;
    Tessel::warning("Preset file \"%s\" cannot be written\n", path.c_str());
    Tessel::GetAlertService()->showAlert("The preset \"" + Tessel::FileUtilities::getBaseName(path) +
                                         "\" could not be saved to \"" + path + "\".");
    return false;
}

// --- Load and delete ------------------------------------------------------------------------

void PresetListModel::reportProblem(const std::string& path, const std::string& problem)
{
    Tessel::warning("Preset file \"%s\" refused: %s\n", path.c_str(), problem.c_str());
    Tessel::GetAlertService()->showAlert("The preset file \"" + path + "\" was not loaded: " + problem +
                                         ". Nothing was changed.");
}

bool PresetListModel::load(Tessel::Component& target, int row)
{
    if (row < 0 || row >= countRows())
        return false;
    const std::string path = files[size_t(row)];
    std::string problem;
    if (PresetFile::load(target, path, filter.get(), problem))
        return true;
    reportProblem(path, problem);
    return false;
}

bool PresetListModel::remove(int row)
{
    if (row < 0 || row >= countRows())
        return false;
    const bool removed = Tessel::GetFileSystem()->removeFile(files[size_t(row)]);
    if (!removed)
        Tessel::warning("Preset file \"%s\" cannot be removed\n", files[size_t(row)].c_str());
    rescan();
    return removed;
}

void PresetListModel::disarm()
{
    if (deleteState == DeleteState::kIdle)
        return;
    const int row = armedRow;
    deleteState = DeleteState::kIdle;
    armedRow = -1;
    if (row >= 0 && row < countRows())
        rowChanged(row);
}

// --- List model -----------------------------------------------------------------------------

Tessel::Variant PresetListModel::getCell(int row, int column) const
{
    if (row < 0 || row >= countRows())
        return {};
    if (column == 0)
        return Tessel::Variant(titles[size_t(row)]);
    if (column == 1)
    {
        const bool armed = deleteState != DeleteState::kIdle && row == armedRow;
        return Tessel::Variant(deleteCell(armed ? "deleteConfirmIcon" : "deleteIcon"));
    }
    return {};
}

bool PresetListModel::setFocusRow(int row)
{
    if (row != getFocusRow())
        disarm();
    const bool moved = ListModel::setFocusRow(row);
    syncChoice();
    return moved;
}

bool PresetListModel::clickCell(int row, int column, const Tessel::CellClick& click)
{
    if (row < 0 || row >= countRows())
        return false;
    const bool secondClick = column == 1 && click.kind == Tessel::CellClick::Kind::kSingle &&
                             deleteState == DeleteState::kArmed && armedRow == row;
    if (!secondClick)
        disarm();
    Tessel::SharedPtr<Tessel::Object> keepAlive(this);
    if (!ListModel::clickCell(row, column, click))
        return false;
    syncChoice();
    if (column != 1 || click.kind != Tessel::CellClick::Kind::kSingle)
        return true;
    if (!secondClick)
    {
        deleteState = DeleteState::kArmed;
        armedRow = row;
        rowChanged(row);
        return true;
    }
    deleteState = DeleteState::kDeleting;
    remove(row); // rescans, which disarms
    return true;
}

} // namespace Vellaris
