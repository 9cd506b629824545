#include "tessel/Warning.h"

#include <cstdio>
#include <cstring>

#include "tessel/Platform.h"

namespace Tessel
{

namespace
{
constexpr size_t kWarningBufferSize = 4096;
} // namespace

void warningV(const char* format, va_list args)
{
    char buffer[kWarningBufferSize];
    // vsnprintf cuts at 4095 characters and always terminates.
    int written = std::vsnprintf(buffer, sizeof buffer, format ? format : "", args);
    if (written < 0)
        buffer[0] = '\0';
    DebugPrintCString("### Warning:");
    DebugPrintCString(buffer);
    size_t length = std::strlen(buffer);
    while (length > 0 && buffer[length - 1] == '\n')
        buffer[--length] = '\0';
    DebugReportWarning(buffer);
}

void warning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    warningV(format, args);
    va_end(args);
}

} // namespace Tessel
