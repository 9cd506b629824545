// The log sink of the library: one line per message, to the installed
// function or else to standard error.

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "lknet/lknet.h"

namespace
{
void (*g_report)(const char*) = nullptr;
} // namespace

void LKSetReportFunction(void (*report)(const char* line))
{
    g_report = report;
}

void LKReportMessage(int /*level*/, const char* format, ...)
{
    if (!format)
        return;
    char line[4096];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0)
        return;
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        line[--length] = '\0';
    if (g_report)
        g_report(line);
    else
        std::fprintf(stderr, "%s\n", line);
}
