#include "app/Roomdesk.h"

#include "lknet/lknet.h"
#include "model/loader/JsonCodec.h"
#include "net/SpeakerNetworkManager.h"
#include "netsetup/NetworkSetupManager.h"
#include "speaker/MasterInspector.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerInspector.h"
#include "tessel/IExecutableLoader.h"
#include "tessel/IServiceManager.h"
#include "tessel/ISystem.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/TextVariables.h"
#include "venue/VenueManager.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(Roomdesk, Tessel::Application, "Roomdesk")

namespace
{
const char* const kSimulatorModels[] = {"TX10A", "TX20A", "TX30A", "TX40S"};

// The start-up initializer that registers the processing classes and loads the component model
// lives beside registerSpeakerClasses; naming the function keeps it in every program that has
// the application object.
[[maybe_unused]] bool (*const keepSpeakerClasses)() = &registerSpeakerClasses;
// Likewise the framework's JSON codec, installed by the initializer "Runtime".
[[maybe_unused]] JsonCodec& (*const keepJsonCodec)() = &JsonCodec::instance;
} // namespace

const char* Roomdesk::simulatorFileName()
{
#ifdef _WIN32
    return "tarnsim.exe";
#else
    return "tarnsim";
#endif
}

Roomdesk::Roomdesk() : Tessel::Application(kIdentifier, kTitle, kCompany, kVersion)
{
    Tessel::StringParam* nameAndVersion = getParams().addString("appNameAndVersion", 0);
    nameAndVersion->setValue(Tessel::Variant(kNameAndVersion), false);
}

void Roomdesk::createComponents()
{
    if (!Tessel::Application::getApplication())
        new Roomdesk; // adds itself below the root
    SpeakerInspector::create();
    MasterInspector::create();
    VenueManager::create();
    NetworkSetupManager::create();
}

void Roomdesk::initializeApplication()
{
    Tessel::Application::initializeApplication();
    Tessel::setTextVariable("COPYYEAR", kCopyYear);
}

bool Roomdesk::startup()
{
    SpeakerNetworkManager::create()->startup();
    return Tessel::Application::startup();
}

void Roomdesk::shutdown()
{
    SpeakerNetworkManager::create()->shutdown();
    Tessel::GetServiceManager()->shutdown();
    Tessel::Application::shutdown();
}

void Roomdesk::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is("appResumed"))
    {
        lknet::LKGetNetworkManager()->resume(1);
    }
    else if (msg.is("appSuspended"))
    {
        SpeakerNetworkManager::create()->deselectAll();
        lknet::INetworkManager* network = lknet::LKGetNetworkManager();
        network->process();
        network->suspend(1000);
    }
    Tessel::Application::notify(subject, msg);
}

void Roomdesk::extendMenu(const std::string& placeholderName, Tessel::Menu& menu)
{
    if (placeholderName != "Tarnsim")
        return;
    for (const char* model : kSimulatorModels)
    {
        std::string command = std::string("Launch ") + model;
        menu.addCommandItem(command, "Application", command);
    }
}

bool Roomdesk::onLaunchSimulator(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    std::string folder = Tessel::GetSystem()->getLocation(Tessel::Location::kSupport);
    // The model is the command's name without its leading "Launch ".
    std::string model = msg.name.size() > 7 ? msg.name.substr(7) : std::string();
    std::string program = folder.empty() ? simulatorFileName() : folder + "/" + simulatorFileName();
    Tessel::GetExecutableLoader()->start(program, {model});
    return true;
}

TESSEL_BEGIN_COMMANDS(Roomdesk)
TESSEL_COMMAND("Application", "Launch TX10A", Roomdesk::onLaunchSimulator)
TESSEL_COMMAND("Application", "Launch TX20A", Roomdesk::onLaunchSimulator)
TESSEL_COMMAND("Application", "Launch TX30A", Roomdesk::onLaunchSimulator)
TESSEL_COMMAND("Application", "Launch TX40S", Roomdesk::onLaunchSimulator)
TESSEL_END_COMMANDS(Roomdesk, Tessel::Application)

} // namespace Vellaris
