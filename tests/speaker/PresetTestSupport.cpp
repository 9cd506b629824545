#include "tests/presets/PresetTestSupport.h"

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

void PresetFixture::SetUpTestSuite()
{
    Tessel::runInitializers();
    ASSERT_TRUE(Vellaris::registerSpeakerClasses());
}

void PresetFixture::SetUp()
{
    char pattern[] = "/tmp/preset-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    documents = pattern;
    platform.setFolder(Tessel::Location::kDocuments, documents);
    new Tessel::Application("roomdesk", "Ambrel"); // adds itself below the root
    inspector = Vellaris::SpeakerInspector::create();
    master = Vellaris::MasterInspector::create();
    network = new Vellaris::SpeakerNetworkManager(&library);
    Tessel::getRootComponent()->addChild(network);
    network->startup();
    Vellaris::VenueManager* venues = Vellaris::VenueManager::create();
    venues->startup();
    platform.advance(0); // the inspector finds the speaker list on an idle turn
    Vellaris::SpeakerClipboardItem::clearClipboard();
}

void PresetFixture::TearDown()
{
    Vellaris::SpeakerClipboardItem::clearClipboard();
    Tessel::destroyRootComponent();
    std::error_code ignored;
    std::filesystem::remove_all(documents, ignored);
}

Vellaris::SpeakerNetworkItem* PresetFixture::announce(int server, const char* serial, const char* model)
{
    library.setDevice(server, "127.0.0.1", "", uint16_t(4000 + server));
    library.announce(server, model, "SPK", serial);
    platform.advance(0);
    if (Vellaris::LK::NetworkItem* item = network->findItemByServerId(uint32_t(server)))
        return Tessel::classCast<Vellaris::SpeakerNetworkItem>(item);
    return nullptr;
}

void PresetFixture::withdraw(int server)
{
    library.withdraw(server);
    platform.advance(0);
}

void PresetFixture::select(Vellaris::SpeakerNetworkItem* item)
{
    item->setSelected(true, true);
    platform.advance(0);
}

Tessel::IParameter* PresetFixture::param(Vellaris::SpeakerNetworkItem* item, const std::string& path)
{
    return item->getSpeakerComponent()->lookupParameter(path);
}

double PresetFixture::value(Vellaris::SpeakerNetworkItem* item, const std::string& path)
{
    Tessel::IParameter* found = param(item, path);
    EXPECT_NE(found, nullptr) << path;
    return found ? found->getValue().asDouble() : 0;
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

std::string PresetFixture::readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void PresetFixture::writeText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

bool PresetFixture::alerted(const std::string& text) const
{
    for (const std::string& alert : platform.getAlerts())
        if (alert.find(text) != std::string::npos)
            return true;
    return false;
}

} // namespace PresetTest
