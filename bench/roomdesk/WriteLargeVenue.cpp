// write_large_venue HOME: writes the big venue of tests/common/LargeVenue.h into the desk's venue
// folder below HOME (twelve rooms, 88 placed speakers from serial 100000000), for screenshots and
// trials against a tarnfleet: `tarnfleet 64` fills its main hall.
#include <cstdio>

#include "tests/common/LargeVenue.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: write_large_venue HOME\n");
        return 2;
    }
    std::printf("%s\n", LargeVenue::write(argv[1]).c_str());
    return 0;
}
