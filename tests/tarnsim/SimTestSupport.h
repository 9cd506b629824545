#pragma once

#include "formats/Formats.h"
#include "tarnsim/Report.h"

#include <string>
#include <vector>

namespace TestSupport
{

// Report lines captured while a ReportCapture lives.
class ReportCapture
{
public:
    ReportCapture()
    {
        lines().clear();
        Core::Portable::setReportFunction([](const char* line) { lines().emplace_back(line); });
    }
    ~ReportCapture() { Core::Portable::setReportFunction(nullptr); }
    static std::vector<std::string>& lines()
    {
        static std::vector<std::string> captured;
        return captured;
    }
};

inline void registerSimulatorFormatsOnce()
{
    static const bool done = []
    {
        Vellaris::Dsp::registerSimulatorFormats();
        return true;
    }();
    (void)done;
}

} // namespace TestSupport
