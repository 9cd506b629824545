#include "app/Roomdesk.h"

#include <string_view>

#include <cstdio>

#include "lknet/lknet.h"
#include "model/JsonCodec.h"
#include "netsetup/NetworkSetupManager.h"
#include "osc/NetworkWake.h"
#include "osc/OscServer.h"
#include "osc/OscSettings.h"
#include "remote/ListenSettings.h"
#include "speaker/MasterInspector.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerInspector.h"
#include "speaker/SpeakerModels.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/IExecutableLoader.h"
#include "tessel/IGUI.h"
#include "tessel/IServiceManager.h"
#include "tessel/ISystem.h"
#include "tessel/IWindowManager.h"
#include "tessel/Initializer.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/TextVariables.h"
#include "venue/VenueManager.h"
#include "web/WebRemote.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS_NAMED(Roomdesk, Tessel::Application, "Roomdesk")

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

Roomdesk::~Roomdesk() = default;

void Roomdesk::createComponents()
{
    // The speaker library's and the model library's start-up (processing classes, the component
    // model, the JSON codec) run before this; naming them keeps them in every build of the program.
    Tessel::Initializer::keep(modelRuntimeInitializer());
    Tessel::Initializer::keep(speakerClassesInitializer());
    if (!Tessel::Application::getApplication())
        new Roomdesk; // adds itself below the root
    SpeakerInspector::create();
    MasterInspector::create();
    VenueManager::create();
    NetworkSetupManager::create();
    Web::WebRemote::create(); // listens once the desk starts
}

void Roomdesk::initializeApplication()
{
    Tessel::Application::initializeApplication();
    Tessel::setTextVariable("COPYYEAR", kCopyYear);
}

bool Roomdesk::startup()
{
    SpeakerNetworkManager* speakers = SpeakerNetworkManager::create();
    speakers->startup();
    // Packets are handled as they arrive, so a speaker's answer reaches views and remote watchers
    // without waiting for the idle turn.
    if (speakers->isStarted())
        networkWake = std::make_unique<Osc::NetworkWake>();
    // The venue follows the speaker list, so it starts after it.
    VenueManager::create()->startup();
    Osc::OscSettings settings = Osc::readOscSettings(Tessel::GetGUI()->getArguments());
    for (const std::string& warning : settings.warnings)
        std::fprintf(stderr, "roomdesk: remote control: %s\n", warning.c_str());
    remoteControl = std::make_unique<Osc::OscServer>();
    // A remote control that cannot listen is a warning: the desk itself works without it.
    if (!remoteControl->start(settings))
        std::fprintf(stderr, "roomdesk: remote control %s\n", remoteControl->getStatus().c_str());
    propertyChanged("oscListening");
    // The tablet remote: the page and its WebSocket, on TCP port 8080 of 127.0.0.1 unless
    // "--web-port", "--web-bind" or the environment say otherwise.
    Remote::ListenSettings web =
        Remote::readListenSettings("web", Web::WebRemote::kDefaultPort, Tessel::GetGUI()->getArguments());
    for (const std::string& warning : web.warnings)
        std::fprintf(stderr, "roomdesk: tablet remote: %s\n", warning.c_str());
    Web::WebRemote* tablet = Web::WebRemote::create();
    if (!tablet->start(web))
        std::fprintf(stderr, "roomdesk: tablet remote off: %s\n", tablet->getServer().getStatus().c_str());
    return Tessel::Application::startup();
}

void Roomdesk::shutdown()
{
    remoteControl.reset();
    if (Web::WebRemote* tablet = Web::WebRemote::instance())
        tablet->stop();
    networkWake.reset();
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
    for (const char* model : kSpeakerModels)
    {
        std::string command = std::string("Launch ") + model;
        menu.addCommandItem(command, "Application", command);
    }
}

bool Roomdesk::interpretCommand(const Tessel::CommandMsg& msg)
{
    // "Launch <model>" for every model the simulator plays.
    static constexpr std::string_view kLaunch = "Launch ";
    if (msg.category == "Application" && msg.name.compare(0, kLaunch.size(), kLaunch) == 0 &&
        isKnownSpeakerModel(msg.name.substr(kLaunch.size())))
        return launchSimulator(msg.name.substr(kLaunch.size()), msg.checkOnly);
    if (msg.category == "Application" && msg.name == "Remote Devices")
        return msg.checkOnly || Tessel::GetWindowManager()->openWindow("RemoteDevices", this, true);
    return Tessel::Application::interpretCommand(msg);
}

bool Roomdesk::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "oscListening")
    {
        value = Tessel::Variant(remoteControl ? remoteControl->getStatus() : std::string("off"));
        return true;
    }
    return Tessel::Application::getProperty(propertyName, value);
}

bool Roomdesk::launchSimulator(const std::string& model, bool checkOnly)
{
    if (checkOnly)
        return true;
    std::string folder = Tessel::GetSystem()->getLocation(Tessel::Location::kSupport);
    std::string program = folder.empty() ? simulatorFileName() : folder + "/" + simulatorFileName();
    Tessel::GetExecutableLoader()->start(program, {model});
    return true;
}

} // namespace Vellaris
