#pragma once

// CPU time of a running process, read from /proc.

#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace FleetBench
{

// CPU seconds a process has used so far (user and system), from /proc/<pid>/stat.
inline double processCpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(in, line);
    const size_t close = line.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; fields >> field; ++i)
    {
        if (i == 14)
            user = std::stoull(field);
        else if (i == 15)
        {
            system = std::stoull(field);
            break;
        }
    }
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

} // namespace FleetBench
