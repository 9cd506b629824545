#include "tarnsim/Report.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace Core::Portable
{

namespace
{
std::atomic<ReportFunction> sink{nullptr};
}

void setReportFunction(ReportFunction function)
{
    sink.store(function);
}

void report(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    if (ReportFunction function = sink.load())
    {
        function(line);
        return;
    }
    std::printf("[lknet] %s\n", line);
    std::fflush(stdout);
}

} // namespace Core::Portable
