#pragma once

#include <memory>

#include "tessel/Application.h"

namespace Vellaris
{

namespace Osc
{
class NetworkWake;
class OscServer;
} // namespace Osc

// The roomdesk application object: identity ("Ambrel" 1.0.0.28178 by Vellaris), the parameter
// "appNameAndVersion", the development commands that start the speaker simulator, and the
// reactions to the system suspending and resuming the program.
class Roomdesk : public Tessel::Application
{
    TESSEL_DECLARE_CLASS(Roomdesk)
public:
    static constexpr const char* kIdentifier = "roomdesk";
    static constexpr const char* kTitle = "Ambrel";
    static constexpr const char* kCompany = "Vellaris";
    static constexpr const char* kVersion = "1.0.0.28178";
    static constexpr const char* kCopyYear = "2014";
    static constexpr const char* kNameAndVersion = "Ambrel 1.0.0.28178 Win x86 (Built on Jul 25 2014)";
    // The simulator's file in the support folder.
    static const char* simulatorFileName();

    Roomdesk();

    // Creates the application-wide components in their order: Roomdesk, "Inspector",
    // "MasterInspector", "VenueManager", "NetworkSetupManager", "WebRemote".
    static void createComponents();

    void initializeApplication() override;
    // Starts the speaker network before anything else, then the remote control (OSC; where it
    // listens comes from "--osc-port", "--osc-bind" and the environment), the tablet remote
    // (component "WebRemote"; "--web-port", "--web-bind"), then the base start-up.
    bool startup() override;
    // Shuts the speaker network down, stops the services, then the base shutdown.
    void shutdown() override;
    // "appSuspended": deselects every speaker, lets the network process once and suspends it.
    // "appResumed": resumes the network with a rescan.
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;
    // Fills the placeholder "Tarnsim" with the four simulator launch commands.
    void extendMenu(const std::string& placeholderName, Tessel::Menu& menu) override;
    // "Application"/"Launch <model>" starts a simulator of that model; "Application"/"Remote Devices"
    // opens the form "RemoteDevices" (the tablet remote's address, pairing code, read-only switch
    // and paired devices); the rest goes to the base.
    bool interpretCommand(const Tessel::CommandMsg& msg) override;
    // "oscListening": where the remote control listens ("127.0.0.1:9000", "off", "off: <why>").
    bool getProperty(const std::string& propertyName, Tessel::Variant& value) const override;

protected:
    ~Roomdesk() override;

    bool launchSimulator(const std::string& model, bool checkOnly);

    std::unique_ptr<Osc::OscServer> remoteControl;
    std::unique_ptr<Osc::NetworkWake> networkWake;
};

} // namespace Vellaris
