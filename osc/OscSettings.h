#pragma once

#include "remote/ListenSettings.h"

namespace Vellaris::Osc
{

// Where the remote control listens: "--osc-port N", "--osc-bind ADDRESS" (also as
// "--osc-port=N"), or ROOMDESK_OSC_PORT, ROOMDESK_OSC_BIND; the default is UDP port 9000 of
// 127.0.0.1. Port 0 switches the remote control off.
struct OscSettings : Remote::ListenSettings
{
    static constexpr int kDefaultPort = 9000;

    OscSettings() { port = kDefaultPort; }
    OscSettings(const Remote::ListenSettings& settings) : Remote::ListenSettings(settings) {}
};

using Remote::EnvironmentFunction;

inline OscSettings readOscSettings(const std::vector<std::string>& arguments,
                                   const EnvironmentFunction& environment = {})
{
    return Remote::readListenSettings("osc", OscSettings::kDefaultPort, arguments, environment);
}

} // namespace Vellaris::Osc
