#include "speaker/MasterInspector.h"

#include <vector>

#include "speaker/PresetChoiceParam.h"
#include "speaker/VenueSide.h"
#include "tessel/ComponentStorage.h"
#include "tessel/IParameter.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"
#include "tessel/UndoHistory.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(MasterInspector, Tessel::Component, "MasterInspector")

TESSEL_BEGIN_COMMANDS(MasterInspector)
TESSEL_COMMAND("File", "Save GEQ Preset", MasterInspector::onSaveGEQPreset)
TESSEL_COMMAND("File", "Load GEQ Preset", MasterInspector::onLoadGEQPreset)
TESSEL_COMMAND("File", "Ok GEQ Preset", MasterInspector::onOkGEQPreset)
TESSEL_COMMAND("File", "Replace GEQ Preset", MasterInspector::onReplaceGEQPreset)
TESSEL_COMMAND("File", "Cancel GEQ Replace", MasterInspector::onCancelGEQReplace)
TESSEL_COMMAND("File", "Cancel GEQ Preset", MasterInspector::onCancelGEQPreset)
TESSEL_COMMAND("File", "Reset GEQ", MasterInspector::onResetGEQ)
TESSEL_COMMAND("File", "Delete GEQ Preset", MasterInspector::onDeleteGEQPreset)
TESSEL_END_COMMANDS(MasterInspector, Tessel::Component)

namespace
{
enum Tag : int32_t
{
    kNewPresetNameTag = 100,
    kShowPresetEditTag = 101,
    kConfirmReplaceTag = 102,
    kSelectedPresetTag = 103,
    kFirstCommandTag = 110,
};

struct CommandRow
{
    const char* command;
    const char* param;
};
constexpr CommandRow kCommandParams[] = {
    {"Save GEQ Preset", "saveGEQPreset"},
    {"Load GEQ Preset", "loadGEQPreset"},
    {"Ok GEQ Preset", "okGEQPreset"},
    {"Replace GEQ Preset", "replaceGEQPreset"},
    {"Cancel GEQ Replace", "cancelGEQReplace"},
    {"Cancel GEQ Preset", "cancelGEQPreset"},
    {"Reset GEQ", "resetGEQ"},
    {"Delete GEQ Preset", "deleteGEQPreset"},
};

constexpr const char* kEditorView = "MasterGEQEditor";
} // namespace

MasterInspector::MasterInspector()
    : Tessel::Component("MasterInspector", "MasterInspector"),
      presets(Tessel::SharedPtr<PresetListModel>::adopt(
          new PresetListModel("geqPresetsList", "geq", std::make_unique<GeqPresetFilter>())))
{
    Tessel::ParamContainer& params = getParams();
    Tessel::IParameter* name = params.addString("newPresetName", kNewPresetNameTag);
    Tessel::IParameter* show = params.addParam("showGEQPresetEdit", kShowPresetEditTag);
    Tessel::IParameter* confirm = params.addParam("confirmGEQReplace", kConfirmReplaceTag);
    selectedPreset = params.add(new PresetChoiceParam("selectedPreset"), kSelectedPresetTag);
    int32_t tag = kFirstCommandTag;
    for (const CommandRow& row : kCommandParams)
        params.addCommand("File", row.command, row.param, tag++);
    presets->bindEditor(name, show, confirm);
    presets->bindChoice(static_cast<PresetChoiceParam*>(selectedPreset));
    presets->retain(); // the tree's reference; the inspector keeps its own
    addChild(presets.get());
    attach(this);
    presets->rescan();
}

MasterInspector::~MasterInspector()
{
    detach(this);
}

bool MasterInspector::acceptsCommandCategory(const std::string& category) const
{
    return category == "File";
}

bool MasterInspector::initialize(Tessel::IUnknown* context)
{
    presets->rescan();
    return Component::initialize(context);
}

Tessel::Component* MasterInspector::getMaster() const
{
    auto* room = Tessel::unknownCast<Tessel::Component>(findActiveRoom());
    return room ? room->findChild("Master") : nullptr;
}

Tessel::Component* MasterInspector::getGeq() const
{
    Tessel::Component* master = getMaster();
    return master ? master->findChild("geq") : nullptr;
}

bool MasterInspector::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "hasRoom")
    {
        value = Tessel::Variant(getGeq() != nullptr);
        return true;
    }
    return Component::getProperty(propertyName, value);
}

void MasterInspector::paramChanged(Tessel::IParameter* param)
{
    if (param == selectedPreset)
        presets->choose(int(param->getValue().asInt()));
}

bool MasterInspector::onSaveGEQPreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->beginNaming(kDefaultPresetName);
    return true;
}

bool MasterInspector::onOkGEQPreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->finishNaming(getGeq(), false);
    return true;
}

bool MasterInspector::onReplaceGEQPreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->finishNaming(getGeq(), true);
    return true;
}

bool MasterInspector::onCancelGEQReplace(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->keepNaming();
    return true;
}

bool MasterInspector::onCancelGEQPreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->cancelNaming();
    return true;
}

namespace
{
// "<action> <room title>": the master equaliser belongs to its room.
std::string roomStepName(const std::string& action, Tessel::Component* geq)
{
    Tessel::Component* master = geq->getParent();
    Tessel::Component* room = master ? master->getParent() : nullptr;
    return room && !room->getTitle().empty() ? action + " " + room->getTitle() : action;
}
} // namespace

bool MasterInspector::onLoadGEQPreset(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    Tessel::Component* geq = getGeq();
    const int row = presets->getCommandRow(msg);
    if (!geq || row < 0)
        return false;
    Tessel::SharedPtr<Tessel::Component> keep(geq);
    presets->choose(row);
    Tessel::UndoTransaction step(roomStepName("Load GEQ Preset", geq));
    if (!presets->load(*geq, row))
        return false;
    signal(Tessel::Message(kEditorView));
    return true;
}

bool MasterInspector::onDeleteGEQPreset(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    return presets->remove(presets->getCommandRow(msg));
}

bool MasterInspector::onResetGEQ(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    Tessel::Component* geq = getGeq();
    if (!geq)
        return false;
    // The master switches its equaliser on whenever a band moves; a reset of the gains must leave
    // the switches as they were, so the values the filter keeps are put back afterwards.
    std::vector<std::pair<Tessel::IParameter*, Tessel::Variant>> kept;
    GeqPresetFilter filter;
    Tessel::UndoTransaction step(roomStepName("Reset GEQ", geq));
    for (int i = 0; i < geq->countParameters(); ++i)
    {
        Tessel::IParameter* param = geq->getParameterAt(i);
        if (param && !filter.includeOnReset(Tessel::IStorageFilter::kParameter, param->getName(), param))
            kept.emplace_back(param, param->getValue());
    }
    Tessel::ComponentStorage::resetToDefaults(*geq, true, true, &filter);
    for (const auto& [param, value] : kept)
        if (param->getValue().asDouble() != value.asDouble())
            param->setValue(value, false);
    signal(Tessel::Message(kEditorView));
    return true;
}

} // namespace Vellaris
