#include "speaker/SpeakerInspector.h"

#include "speaker/PresetChoiceParam.h"
#include "speaker/SpeakerClipboardItem.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "speaker/SpeakerUndoLocator.h"
#include "tessel/ComponentStorage.h"
#include "tessel/IParameter.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"
#include "tessel/UndoHistory.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(SpeakerInspector, Tessel::Component, "SpeakerInspector")

TESSEL_BEGIN_COMMANDS(SpeakerInspector)
TESSEL_COMMAND("File", "Save Preset", SpeakerInspector::onSavePreset)
TESSEL_COMMAND("File", "Load Preset", SpeakerInspector::onLoadPreset)
TESSEL_COMMAND("File", "Delete Preset", SpeakerInspector::onDeletePreset)
TESSEL_COMMAND("File", "Ok Preset", SpeakerInspector::onOkPreset)
TESSEL_COMMAND("File", "Replace Preset", SpeakerInspector::onReplacePreset)
TESSEL_COMMAND("File", "Cancel Replace", SpeakerInspector::onCancelReplace)
TESSEL_COMMAND("File", "Cancel Preset", SpeakerInspector::onCancelPreset)
TESSEL_COMMAND("File", "Reset Speaker", SpeakerInspector::onResetSpeaker)
TESSEL_COMMAND("File", "Reset EQ", SpeakerInspector::onResetEQ)
TESSEL_COMMAND("File", "Reset Notch", SpeakerInspector::onResetNotch)
TESSEL_COMMAND("Edit", "Copy", SpeakerInspector::onCopy)
TESSEL_COMMAND("Edit", "Paste", SpeakerInspector::onPaste)
TESSEL_END_COMMANDS(SpeakerInspector, Tessel::Component)

namespace
{
enum Tag : int32_t
{
    kNewPresetNameTag = 100,
    kShowPresetEditTag = 101,
    kConfirmReplaceTag = 102,
    kSelectedPresetTag = 103,
    kShowSpeakerPropsTag = 104,
    kCloseEditorTag = 105,
    kShowNotchTag = 106,
    kGeqDrawTag = 107,
    kFirstCommandTag = 110,
};

struct CommandRow
{
    const char* category;
    const char* command;
    const char* param;
};
constexpr CommandRow kCommandParams[] = {
    {"File", "Save Preset", "savePreset"},
    {"File", "Load Preset", "loadPreset"},
    {"File", "Delete Preset", "deletePreset"},
    {"File", "Ok Preset", "okPreset"},
    {"File", "Replace Preset", "replacePreset"},
    {"File", "Cancel Replace", "cancelReplace"},
    {"File", "Cancel Preset", "cancelPreset"},
    {"File", "Reset Speaker", "resetSpeaker"},
    {"File", "Reset EQ", "resetEQ"},
    {"File", "Reset Notch", "resetNotch"},
    {"Edit", "Copy", "copySpeaker"},
    {"Edit", "Paste", "pasteSpeaker"},
};

SpeakerNetworkItem* itemOf(const Tessel::Message& msg)
{
    if (msg.getArgCount() < 1)
        return nullptr;
    return Tessel::classCast<SpeakerNetworkItem>(
        Tessel::unknownCast<Tessel::Object>(msg.getArg(0).asObject()));
}
} // namespace

SpeakerInspector::SpeakerInspector()
    : Tessel::Component("Inspector", "Inspector"),
      presets(Tessel::SharedPtr<PresetListModel>::adopt(
          new PresetListModel("speakerPresetsList", "spk", std::make_unique<SpeakerPresetFilter>()))),
      finder(
          [this]
          {
              if (auto* found = Tessel::classCast<SpeakerNetworkManager>(
                      Tessel::getRootComponent()->findChild(SpeakerNetworkManager::kComponentName)))
                  watchSpeakers(found);
          })
{
    Tessel::ParamContainer& params = getParams();
    newPresetName = params.addString("newPresetName", kNewPresetNameTag);
    showPresetEdit = params.addParam("showPresetEdit", kShowPresetEditTag);
    confirmReplace = params.addParam("confirmReplace", kConfirmReplaceTag);
    selectedPreset = params.add(new PresetChoiceParam("selectedPreset"), kSelectedPresetTag);
    showSpeakerProps = params.addParam("showSpeakerProps", kShowSpeakerPropsTag);
    params.addParam("closeEditor", kCloseEditorTag);
    params.addParam("showNotch", kShowNotchTag);
    params.addParam("GEQDraw", kGeqDrawTag);
    int32_t tag = kFirstCommandTag;
    for (const CommandRow& row : kCommandParams)
        params.addCommand(row.category, row.command, row.param, tag++);
    presets->bindEditor(newPresetName, showPresetEdit, confirmReplace);
    presets->bindChoice(static_cast<PresetChoiceParam*>(selectedPreset));
    presets->retain(); // the tree's reference; the inspector keeps its own
    addChild(presets.get());
    attach(this);
    presets->rescan();
    finder.start(0, true);
}

SpeakerInspector::~SpeakerInspector()
{
    finder.stop();
    unwatchSpeakers();
    detach(this);
}

bool SpeakerInspector::acceptsCommandCategory(const std::string& category) const
{
    return category == "File" || category == "Edit";
}

bool SpeakerInspector::initialize(Tessel::IUnknown* context)
{
    presets->rescan();
    // The speaker list may exist already (tools and tests make it first); else the idle turns
    // look for it.
    if (!speakers)
        watchSpeakers(SpeakerNetworkManager::instance());
    if (!speakers)
        finder.start(0, true);
    return Component::initialize(context);
}

bool SpeakerInspector::terminate()
{
    finder.stop();
    unwatchSpeakers();
    setCurrentItem(nullptr);
    return Component::terminate();
}

void SpeakerInspector::watchSpeakers(SpeakerNetworkManager* list)
{
    if (list == speakers.get())
        return;
    unwatchSpeakers();
    finder.stop();
    if (!list)
        return;
    speakers = Tessel::SharedPtr<SpeakerNetworkManager>(list);
    speakers->addObserver(this);
    // A speaker selected before the list was watched is the current one all the same.
    if (!currentItem)
        for (int i = 0; i < speakers->countSpeakers(); ++i)
            if (SpeakerNetworkItem* item = speakers->getSpeaker(i); item && item->isSelected())
            {
                setCurrentItem(item);
                break;
            }
}

void SpeakerInspector::unwatchSpeakers()
{
    if (speakers)
        speakers->removeObserver(this);
    speakers = nullptr;
}

SpeakerComponent* SpeakerInspector::getCurrentSpeaker() const
{
    return currentItem ? currentItem->getSpeakerComponent() : nullptr;
}

void SpeakerInspector::setCurrentItem(SpeakerNetworkItem* item)
{
    if (item == currentItem.get())
        return;
    currentItem = Tessel::SharedPtr<SpeakerNetworkItem>(item);
    if (!item)
        showSpeakerProps->setValue(Tessel::Variant(0), true);
    propertyChanged("hasSpeaker");
    propertyChanged("speakerItem");
}

void SpeakerInspector::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (speakers && subject == static_cast<Tessel::ISubject*>(speakers.get()))
    {
        if (msg.is("selectionChanged"))
        {
            SpeakerNetworkItem* item = itemOf(msg);
            if (item && item->isSelected())
                setCurrentItem(item);
        }
        else if (msg.is("itemRemoved"))
        {
            if (itemOf(msg) == currentItem.get() && currentItem)
                setCurrentItem(nullptr);
        }
    }
    Component::notify(subject, msg);
}

void SpeakerInspector::paramChanged(Tessel::IParameter* param)
{
    if (param == showSpeakerProps)
        signal(Tessel::Message("SpeakerProps"));
    else if (param == selectedPreset)
        presets->choose(int(param->getValue().asInt()));
}

bool SpeakerInspector::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "hasSpeaker")
    {
        value = Tessel::Variant(getCurrentSpeaker() != nullptr);
        return true;
    }
    if (propertyName == "speakerItem")
    {
        value = Tessel::Variant(currentItem ? currentItem->getComponentPath() : std::string());
        return true;
    }
    return Component::getProperty(propertyName, value);
}

// --- Commands -------------------------------------------------------------------------------

bool SpeakerInspector::onSavePreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->beginNaming(kDefaultPresetName);
    return true;
}

bool SpeakerInspector::onLoadPreset(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    SpeakerComponent* speaker = getCurrentSpeaker();
    const int row = presets->getCommandRow(msg);
    if (!speaker || row < 0)
        return false;
    Tessel::SharedPtr<SpeakerComponent> keep(speaker);
    presets->choose(row); // the list shows which preset the speaker got
    Tessel::UndoTransaction step(SpeakerUndoLocator::stepName("Load Preset", speaker));
    if (!presets->load(*speaker, row))
        return false;
    speaker->restoreFinished();
    return true;
}

bool SpeakerInspector::onDeletePreset(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    return presets->remove(presets->getCommandRow(msg));
}

bool SpeakerInspector::onOkPreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->finishNaming(getCurrentSpeaker(), false);
    return true;
}

bool SpeakerInspector::onReplacePreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->finishNaming(getCurrentSpeaker(), true);
    return true;
}

bool SpeakerInspector::onCancelReplace(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->keepNaming();
    return true;
}

bool SpeakerInspector::onCancelPreset(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        presets->cancelNaming();
    return true;
}

bool SpeakerInspector::onResetSpeaker(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    SpeakerComponent* speaker = getCurrentSpeaker();
    if (!speaker)
        return false;
    SpeakerPresetFilter filter;
    Tessel::UndoTransaction step(SpeakerUndoLocator::stepName("Reset Speaker", speaker));
    Tessel::ComponentStorage::resetToDefaults(*speaker, true, true, &filter);
    speaker->restoreFinished();
    return true;
}

bool SpeakerInspector::resetChild(const char* path, const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    SpeakerComponent* speaker = getCurrentSpeaker();
    Tessel::Component* child = speaker ? speaker->lookupChild(path) : nullptr;
    if (!child)
        return false;
    Tessel::ComponentStorage::resetToDefaults(*child, true, true);
    return true;
}

bool SpeakerInspector::onResetEQ(const Tessel::CommandMsg& msg)
{
    Tessel::UndoTransaction step(SpeakerUndoLocator::stepName("Reset EQ", getCurrentSpeaker()));
    return resetChild("line/ch1/eq", msg);
}

bool SpeakerInspector::onResetNotch(const Tessel::CommandMsg& msg)
{
    Tessel::UndoTransaction step(SpeakerUndoLocator::stepName("Reset Notch", getCurrentSpeaker()));
    return resetChild("line/ch1/notch", msg);
}

bool SpeakerInspector::onCopy(const Tessel::CommandMsg& msg)
{
    SpeakerComponent* speaker = getCurrentSpeaker();
    if (msg.checkOnly)
        return speaker != nullptr;
    return speaker && SpeakerClipboardItem::copy(*speaker);
}

bool SpeakerInspector::onPaste(const Tessel::CommandMsg& msg)
{
    SpeakerComponent* speaker = getCurrentSpeaker();
    if (msg.checkOnly)
        return speaker && SpeakerClipboardItem::canPaste();
    return speaker && SpeakerClipboardItem::paste(*speaker);
}

} // namespace Vellaris
