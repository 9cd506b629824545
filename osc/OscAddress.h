#pragma once

#include "remote/RemoteAddress.h"

namespace Vellaris::Osc
{

// OSC addresses are the remotes' addresses (see remote/RemoteAddress.h), taken literally: "*", "?",
// "[", "{" are characters of names here, never OSC patterns.
using OscTarget = Remote::RemoteTarget;

inline OscTarget resolveOscAddress(const std::string& address, bool allowComponent)
{
    return Remote::resolveRemoteAddress(address, allowComponent);
}

inline bool listOscAddress(const std::string& address, std::vector<std::string>& names, std::string& error)
{
    return Remote::listRemoteAddress(address, names, error);
}

} // namespace Vellaris::Osc
