#pragma once

#include <string>
#include <vector>

#include "tessel/ObjectAddress.h"

namespace Vellaris::Remote
{

// What a remote's address names in the desk, or why it names nothing. Both remotes (OSC and the
// tablet page) speak these addresses.
//
//   /roomdesk/<component path>/<name>   what the skin address "://roomdesk/<component path>/<name>"
//                                       names, resolved from the root component ("/roomdesk/
//                                       VenueManager/showVenue", "/roomdesk/Inspector/hasSpeaker")
//   /speaker/<serial>/<path>            a parameter of the speaker with that serial number, the path
//                                       with or without its leading "Speaker/"
//                                       ("/speaker/987654321/line/ch1/volume")
//
// Every name is literal: "*", "?", "[", "{" are characters of names here, never patterns.
struct RemoteTarget
{
    Tessel::ObjectTarget object; // unresolved when `error` is set
    std::string error;           // a plain-words reason, empty when resolved

    bool resolved() const { return error.empty() && object.resolved(); }
};

// Resolves `address` to a parameter, a property or (when `allowComponent`) a component.
// "/roomdesk" alone and "/speaker/<serial>" name components.
RemoteTarget resolveRemoteAddress(const std::string& address, bool allowComponent);

// The entries that "/list" answers for `address`: child components with a trailing "/", then
// parameters and commands, then the properties every component answers. "/" lists "roomdesk/"
// and "speaker/"; "/speaker" lists the serial numbers of the speakers. Returns false (with
// `error` set) when the address names no component.
bool listRemoteAddress(const std::string& address, std::vector<std::string>& names, std::string& error);

} // namespace Vellaris::Remote
