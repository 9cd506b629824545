#pragma once

// The fleet sizes of a benchmark's --sizes option.

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace FleetBench
{

// "64,256,1024" as numbers; parts that are not a size from 1 to 4096 are left out.
inline std::vector<int> readSizes(const std::string& text)
{
    std::vector<int> sizes;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ','))
        if (int n = std::atoi(part.c_str()); n > 0 && n <= 4096)
            sizes.push_back(n);
    return sizes;
}

} // namespace FleetBench
