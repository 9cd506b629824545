#pragma once

#include <functional>
#include <string>
#include <vector>

namespace Vellaris::Remote
{

// Where a remote listens. The command line ("--<name>-port N", "--<name>-bind ADDRESS", also as
// "--<name>-port=N") wins over the environment (ROOMDESK_<NAME>_PORT, ROOMDESK_<NAME>_BIND); the
// default address is 127.0.0.1, so listening beyond this computer is always asked for. Port 0
// switches the remote off.
struct ListenSettings
{
    static constexpr const char* kDefaultBind = "127.0.0.1";

    int port = 0;
    std::string bind = kDefaultBind;
    // What was given but could not be used, in plain words (the defaults stand in for it).
    std::vector<std::string> warnings;

    bool isOff() const { return port == 0; }
};

using EnvironmentFunction = std::function<const char*(const char* name)>;

// Reads the settings of the remote `name` ("osc", "web") from the program's arguments and its
// environment (`environment` answers a variable's value or null; by default the process's own).
ListenSettings readListenSettings(const std::string& name, int defaultPort,
                                  const std::vector<std::string>& arguments,
                                  const EnvironmentFunction& environment = {});

// Whether `address` (an IP address as text) is on this computer only (127.0.0.0/8, ::1).
bool isLoopbackAddress(const std::string& address);

} // namespace Vellaris::Remote
