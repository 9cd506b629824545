#include "tests/common/SpeakerListFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "tessel/Application.h"
#include "tessel/Initializer.h"

namespace NetworkTest
{

void SpeakerListFixture::SetUpTestSuite()
{
    Tessel::runInitializers();
    ASSERT_TRUE(Vellaris::registerSpeakerClasses());
}

void SpeakerListFixture::makeDocuments(const char* prefix)
{
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    documents = pattern;
    platform.setFolder(Tessel::Location::kDocuments, documents);
    new Tessel::Application("roomdesk", "Ambrel"); // adds itself below the root
}

void SpeakerListFixture::startSpeakerList()
{
    network = new Vellaris::SpeakerNetworkManager(&library);
    Tessel::getRootComponent()->addChild(network);
    network->startup();
}

void SpeakerListFixture::TearDown()
{
    Tessel::destroyRootComponent();
    std::error_code ignored;
    std::filesystem::remove_all(documents, ignored);
}

Vellaris::SpeakerNetworkItem* SpeakerListFixture::announce(int server, const char* serial, const char* model)
{
    library.setDevice(server, "127.0.0.1", "", uint16_t(4000 + server));
    library.announce(server, model, "SPK", serial);
    platform.advance(0);
    if (Vellaris::LK::NetworkItem* item = network->findItemByServerId(uint32_t(server)))
        return Tessel::classCast<Vellaris::SpeakerNetworkItem>(item);
    return nullptr;
}

void SpeakerListFixture::withdraw(int server)
{
    library.withdraw(server);
    platform.advance(0);
}

Tessel::IParameter* SpeakerListFixture::param(Vellaris::SpeakerNetworkItem* item, const std::string& path)
{
    return item->getSpeakerComponent()->lookupParameter(path);
}

double SpeakerListFixture::value(Vellaris::SpeakerNetworkItem* item, const std::string& path)
{
    Tessel::IParameter* found = param(item, path);
    EXPECT_NE(found, nullptr) << path;
    return found ? found->getValue().asDouble() : -12345.0;
}

std::string SpeakerListFixture::readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool SpeakerListFixture::writeText(const std::string& path, const std::string& text)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out);
}

bool SpeakerListFixture::alerted(const std::string& text) const
{
    for (const std::string& alert : platform.getAlerts())
        if (alert.find(text) != std::string::npos)
            return true;
    return false;
}

bool SpeakerListFixture::warned(const std::string& text) const
{
    for (const std::string& warning : platform.getWarnings())
        if (warning.find(text) != std::string::npos)
            return true;
    return false;
}

} // namespace NetworkTest
