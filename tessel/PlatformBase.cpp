#include "tessel/PlatformBase.h"

#include <chrono>
#include <cstdio>

#include "tessel/LockFileSemaphore.h"

namespace Tessel
{

namespace
{
int64_t steadyNanos()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

PlatformBase::PlatformBase() : startNanos(steadyNanos()) {}

PlatformBase::~PlatformBase() = default;

IIPCSemaphore* PlatformBase::createIPCSemaphore(const std::string& name)
{
    return new LockFileSemaphore(name);
}

int64_t PlatformBase::getSystemTicks()
{
    return (steadyNanos() - startNanos) / 1000000;
}

void PlatformBase::debugPrint(const char* text)
{
    std::fputs(text, stderr);
}

void PlatformBase::reportWarning(const char* text)
{
    // The text is already on the debug output; there is no separate warning log.
}

} // namespace Tessel
