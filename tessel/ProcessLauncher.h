#pragma once

#include "tessel/IExecutableLoader.h"

namespace Tessel
{

// Starts programs with posix_spawn, detached: the child is reaped by a short-lived intermediate
// process so no zombie remains. Used by every platform on POSIX systems.
class ProcessLauncher : public IExecutableLoader
{
public:
    bool start(const std::string& path, const std::vector<std::string>& arguments) override;
};

} // namespace Tessel
