#pragma once

#include <functional>
#include <string>
#include <vector>

namespace Vellaris::Osc
{

// Where the remote control listens. The command line ("--osc-port N", "--osc-bind ADDRESS", also
// as "--osc-port=N") wins over the environment (ROOMDESK_OSC_PORT, ROOMDESK_OSC_BIND); the default
// is UDP port 9000 of 127.0.0.1, so listening beyond this computer is always asked for. Port 0
// switches the remote control off.
struct OscSettings
{
    static constexpr int kDefaultPort = 9000;
    static constexpr const char* kDefaultBind = "127.0.0.1";

    int port = kDefaultPort;
    std::string bind = kDefaultBind;
    // What was given but could not be used, in plain words (the defaults stand in for it).
    std::vector<std::string> warnings;

    bool isOff() const { return port == 0; }
};

using EnvironmentFunction = std::function<const char*(const char* name)>;

// Reads the settings from the program's arguments and its environment (`environment` answers a
// variable's value or null; by default the process's own).
OscSettings readOscSettings(const std::vector<std::string>& arguments,
                            const EnvironmentFunction& environment = {});

} // namespace Vellaris::Osc
