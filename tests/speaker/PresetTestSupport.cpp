#include "tests/speaker/PresetTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerClipboardItem.h"
#include "tessel/Application.h"
#include "tessel/IParameter.h"
#include "tessel/Initializer.h"
#include "tessel/ParamTypes.h"
#include "venue/VenueManager.h"

namespace PresetTest
{

namespace
{
void collect(Tessel::Component& component, Tessel::IStorageFilter* filter, const std::string& path,
             std::map<std::string, std::string>& out)
{
    using Tessel::IStorageFilter;
    for (int i = 0; i < component.countParameters(); ++i)
    {
        Tessel::IParameter* param = component.getParameterAt(i);
        if (!param->isFlag(Tessel::ParamFlags::kStorable))
            continue;
        if (filter && !filter->includeOnStore(IStorageFilter::kParameter, param->getName(), param))
            continue;
        out[path + param->getName()] = param->toString();
    }
    for (int i = 0; i < component.countChildren(); ++i)
    {
        Tessel::Component* child = component.getChild(i);
        if (filter && !filter->includeOnStore(IStorageFilter::kComponent, child->getName(), child))
            continue;
        collect(*child, filter, path + child->getName() + "/", out);
    }
}
} // namespace

std::map<std::string, std::string> storedValues(Tessel::Component& component, Tessel::IStorageFilter* filter)
{
    std::map<std::string, std::string> out;
    collect(component, filter, "", out);
    return out;
}

void PresetFixture::SetUp()
{
    makeDocuments("preset-test");
    inspector = Vellaris::SpeakerInspector::create();
    master = Vellaris::MasterInspector::create();
    startSpeakerList();
    Vellaris::VenueManager* venues = Vellaris::VenueManager::create();
    venues->startup();
    platform.advance(0); // the inspector finds the speaker list on an idle turn
    Vellaris::SpeakerClipboardItem::clearClipboard();
}

void PresetFixture::TearDown()
{
    Vellaris::SpeakerClipboardItem::clearClipboard();
    SpeakerListFixture::TearDown();
}

void PresetFixture::select(Vellaris::SpeakerNetworkItem* item)
{
    item->setSelected(true, true);
    platform.advance(0);
}

void PresetFixture::press(Tessel::Component* component, const std::string& name)
{
    Tessel::IParameter* command = component->findParameter(name);
    ASSERT_NE(command, nullptr) << name;
    command->setValue(Tessel::Variant(1), true);
}

void PresetFixture::type(Tessel::Component* component, const std::string& text)
{
    component->findParameter("newPresetName")->fromString(text, true);
}

std::string PresetFixture::speakerFolder() const
{
    return documents + "/Vellaris/Ambrel/Presets/spk";
}

} // namespace PresetTest
