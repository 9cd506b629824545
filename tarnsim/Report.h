#pragma once

// The simulator's report lines. The program routes them into the network
// library's log sink; tests capture them.

namespace Core::Portable
{

using ReportFunction = void (*)(const char* line);

// Installs the sink for report lines (null: print "[lknet] <line>" to
// standard output).
void setReportFunction(ReportFunction function);
// Formats one line (no trailing line feed) and hands it to the sink.
void report(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace Core::Portable
