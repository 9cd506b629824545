// bench_roomdesk_cpu: the steady CPU load of a real roomdesk window with a fleet of speakers on the
// network, every meter running. It starts an X server of its own (Xvfb), the speakers in one
// tarnfleet process and roomdesk, waits until roomdesk lists every speaker, opens one speaker's
// panel through the remote control (as a click in the list does), and reads roomdesk's CPU time
// from /proc/<pid>/stat over the measuring time. Once roomdesk has ended, a receiver that only reads
// takes the same fleet's traffic (bench/common/FloorReceiver.h): roomdesk's CPU is printed also as
// a ratio to that floor.
//
// A second round at 64 speakers shows them placed: the desk opens a venue of twelve rooms whose
// "Main Hall" holds the fleet's 64 speakers in five groups on its floor plan, every cell metering.
//
//     bench_roomdesk_cpu [--sizes 64,256,1024] [--steady S] [--display N]
//
// The display number defaults to 85 (BENCH_XVFB_DISPLAY in the environment changes it). Without
// Xvfb or roomdesk it says so and ends with 0. roomdesk chooses its renderer itself (Qt Quick's
// software renderer under Xvfb, where OpenGL is only emulated); QT_QUICK_BACKEND or QSG_RHI_BACKEND
// in the environment reach it and override that choice, and the first line names them.
// BENCH_ROOMDESK names another roomdesk program to measure instead of the one built beside it, and
// BENCH_TARNFLEET another tarnfleet.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/common/FleetSizes.h"
#include "bench/common/FloorReceiver.h"
#include "bench/common/ProcessCpu.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/LargeVenue.h"

namespace
{

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using NetworkTest::ChildProcess;

constexpr long long kFirstSerial = 100000000LL;

using FleetBench::processCpuSeconds;
using FleetBench::readSizes;

// Runs roomctl to its end; its standard output, or "" when it failed.
std::string roomctl(const std::vector<std::string>& arguments, std::chrono::seconds limit = 10s)
{
    ChildProcess tool(ROOMCTL_PATH, arguments);
    if (!tool.waitForEnd(limit) || tool.exitStatus() != 0)
        return {};
    return tool.output();
}

// The roomdesk measured: the one built beside this benchmark, or BENCH_ROOMDESK from the
// environment (to compare an older build under the same conditions).
std::string deskProgram()
{
    const char* other = std::getenv("BENCH_ROOMDESK");
    return other && *other ? other : ROOMDESK_PATH;
}

// The fleet: tarnfleet built beside this benchmark, or BENCH_TARNFLEET (an older build's, to measure
// an older desk against the speakers of its own time).
std::string fleetProgram()
{
    const char* other = std::getenv("BENCH_TARNFLEET");
    return other && *other ? other : TARNFLEET_PATH;
}

// Whether roomctl ran to its end without a complaint.
bool roomctlSucceeds(const std::vector<std::string>& arguments)
{
    ChildProcess tool(ROOMCTL_PATH, arguments);
    return tool.waitForEnd(10s) && tool.exitStatus() == 0;
}

// How many speakers the desk lists (its remote control's "/list /speaker").
int listedByDesk(const std::string& port)
{
    const std::string text = roomctl({"desk", "list", "/speaker", "--port", port}, 5s);
    int count = 0;
    for (size_t at = text.find('/'); at != std::string::npos; at = text.find('/', at + 1))
        ++count;
    return count;
}

std::string goal(int size)
{
    return size <= 64 ? " (goal < 5 %)" : size <= 256 ? " (goal < 12 %)" : "";
}

// The desk with a fleet of `size` speakers and one panel open: the network list showing, or with
// `onPlan` the big venue open and its main hall's floor plan showing the fleet.
void runDesk(int size, double steadySeconds, bool onPlan)
{
    std::printf("== roomdesk with %d speakers, %s, one panel open\n", size,
                onPlan ? "placed on the floor plan" : "list showing");
    NetworkTest::useNewDiscoveryScope();
    const std::string port = std::to_string(NetworkTest::freeUdpPort());
    ::setenv("ROOMDESK_OSC_PORT", port.c_str(), 1);
    ::setenv("ROOMDESK_WEB_PORT", "0", 1); // the tablet remote stays off: parallel desks never share its port
    ChildProcess fleet(fleetProgram(), {std::to_string(size), std::to_string(kFirstSerial)});
    const auto fleetDeadline = Clock::now() + 60s;
    while (fleet.output().find("Fleet of") == std::string::npos)
    {
        if (Clock::now() > fleetDeadline || fleet.hasEnded())
        {
            std::printf("   the speakers did not start\n");
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
    auto desk = std::make_unique<ChildProcess>(deskProgram(), std::vector<std::string>{});
    const auto start = Clock::now();
    int listed = 0;
    while ((listed = listedByDesk(port)) < size)
    {
        if (Clock::now() - start > 90s || desk->hasEnded())
        {
            std::printf("   roomdesk lists %d of %d speakers: %s\n", listed, size, desk->errors().c_str());
            return;
        }
        std::this_thread::sleep_for(200ms);
    }
    std::printf("   roomdesk lists every speaker %.1f s after its start\n",
                std::chrono::duration<double>(Clock::now() - start).count());
    if (onPlan &&
        !roomctlSucceeds({"desk", "invoke", LargeVenue::historyEntry() + "loadVenue", "--port", port}))
    {
        std::printf("   the venue did not open: %s\n", desk->errors().c_str());
        return;
    }
    const std::string serial = std::to_string(kFirstSerial);
    if (roomctl(
            {"desk", "set", "/roomdesk/SpeakerNetwork/" + serial + "/editSpeakerProps", "1", "--port", port})
            .empty())
        std::printf("   the panel of %s did not open\n", serial.c_str());
    std::this_thread::sleep_for(2s); // the panel builds, the synchronisation settles

    const double cpuStart = processCpuSeconds(desk->pid());
    const double fleetStart = processCpuSeconds(fleet.pid());
    const auto wallStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(int64_t(steadySeconds * 1000)));
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    const double deskPercent = 100.0 * (processCpuSeconds(desk->pid()) - cpuStart) / wall;
    std::printf("   steady CPU of roomdesk: %.1f %% of one core over %.1f s%s\n", deskPercent, wall,
                goal(size).c_str());
    std::printf("   (the speakers meanwhile: %.1f %% of one core)\n",
                100.0 * (processCpuSeconds(fleet.pid()) - fleetStart) / wall);

    // The desk ends; a receiver that only reads takes its place before the same fleet.
    desk.reset();
    const FleetBench::Floor floor = FleetBench::measureFloor(
        size, steadySeconds, [&fleet] { return processCpuSeconds(fleet.pid()); });
    if (floor.connections < size)
    {
        std::printf("   floor: the receiver reached %d of %d speakers\n", floor.connections, size);
        return;
    }
    std::printf("   floor, a receiver that only reads (%.1f MB/s in %.0f reads/s): %.1f %% of one core, "
                "the speakers meanwhile %.1f %%\n",
                floor.bytesPerSecond / 1e6, floor.readsPerSecond, floor.cpuPercent, floor.senderCpuPercent);
    std::printf("   steady CPU of roomdesk as a ratio to the floor: %.2f x\n", deskPercent / floor.cpuPercent);
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<int> sizes = {64, 256, 1024};
    double steady = 10;
    const char* fromEnvironment = std::getenv("BENCH_XVFB_DISPLAY");
    std::string display = fromEnvironment && *fromEnvironment ? fromEnvironment : "85";
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        if (option == "--sizes")
            sizes = readSizes(argv[i + 1]);
        else if (option == "--steady")
            steady = std::max(1.0, std::atof(argv[i + 1]));
        else if (option == "--display")
            display = argv[i + 1];
    }
    if (::access("/usr/bin/Xvfb", X_OK) != 0 || ::access(deskProgram().c_str(), X_OK) != 0)
    {
        std::printf("bench_roomdesk_cpu: Xvfb or roomdesk is missing, nothing measured\n");
        return 0;
    }
    // A home of its own: the desk's venues and settings never touch the user's.
    const std::string home =
        (std::filesystem::temp_directory_path() / ("bench-roomdesk-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(home + "/Documents");
    LargeVenue::write(home);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DOCUMENTS_DIR", (home + "/Documents").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (home + "/state").c_str(), 1);
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    ::unsetenv("QT_QPA_PLATFORM");
    std::string renderer = "roomdesk's own choice";
    for (const char* name : {"QT_QUICK_BACKEND", "QSG_RHI_BACKEND"})
        if (const char* value = std::getenv(name); value && *value)
            renderer = std::string(name) + "=" + value;
    std::printf("bench_roomdesk_cpu: renderer %s\n", renderer.c_str());
    {
        ChildProcess xvfb("/usr/bin/Xvfb",
                          {":" + display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        std::this_thread::sleep_for(1s);
        if (xvfb.hasEnded())
        {
            std::printf("bench_roomdesk_cpu: Xvfb :%s did not start: %s\n", display.c_str(),
                        xvfb.errors().c_str());
            return 0;
        }
        for (int size : sizes)
            runDesk(size, steady, false);
        runDesk(LargeVenue::kMainHallSpeakers, steady, true);
    }
    std::filesystem::remove_all(home);
    return 0;
}
