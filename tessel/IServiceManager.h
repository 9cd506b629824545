#pragma once

namespace Tessel
{

// Background services of the framework.
class IServiceManager
{
public:
    virtual void startup() = 0;
    virtual void shutdown() = 0;

protected:
    virtual ~IServiceManager() = default;
};

} // namespace Tessel
