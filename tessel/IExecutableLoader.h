#pragma once

#include <string>
#include <vector>

namespace Tessel
{

// Starts other programs.
class IExecutableLoader
{
public:
    // Starts the program file `path` with `arguments` (not including the program itself), detached
    // from this process. Returns false when it could not be started.
    virtual bool start(const std::string& path, const std::vector<std::string>& arguments) = 0;

protected:
    virtual ~IExecutableLoader() = default;
};

} // namespace Tessel
