// bench_fleet: one roomdesk mirror (the roomctl core) against a fleet of emulated speakers on
// loopback, every one with a serial number of its own: all of them in one tarnfleet process (the
// simulator's own speaker code, so the machine's cores go to the desk), or with --processes one
// tarnsim process each. For each fleet size it reports how long the mirror takes to list and
// synchronise every speaker, its memory per speaker, its CPU load while every speaker's meters
// run, and how long a change made here takes to reach a "roomctl watch" of the same speaker; then
// the change-and-echo round trip of "roomctl ping" against one simulator.
//
//     bench_fleet [--sizes 64,256,1024] [--steady S] [--ping N] [--latency N] [--processes]
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/common/FleetSizes.h"
#include "bench/common/FloorReceiver.h"
#include "bench/common/ProcessCpu.h"
#include "formats/Formats.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tests/common/ChildProcess.h"
#include "roomctl/MirrorSession.h"

namespace
{

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using NetworkTest::ChildProcess;
using Vellaris::Tools::MirrorSession;

const char* const kModels[] = {"TX10A", "TX20A", "TX30A", "TX40S"};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

size_t heapBytes()
{
    return mallinfo2().uordblks;
}

size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * size_t(sysconf(_SC_PAGESIZE));
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

int countSynchronized(MirrorSession& session)
{
    int count = 0;
    Vellaris::SpeakerNetworkManager& manager = session.getManager();
    for (int i = 0; i < manager.countSpeakers(); ++i)
        if (MirrorSession::isSynchronized(manager.getSpeaker(i)))
            ++count;
    return count;
}

// The serial number of speaker i of a fleet.
constexpr long long kFirstSerial = 100000000LL;
std::string serialOf(int i)
{
    return std::to_string(kFirstSerial + i);
}

using FleetBench::processCpuSeconds;
using FleetBench::readSizes;

// The emulated speakers: one tarnfleet process holding all of them (default), or one tarnsim
// process per speaker. Every speaker has a serial number of its own.
struct Fleet
{
    std::vector<std::unique_ptr<ChildProcess>> processes;
    bool separate = false;

    double cpuSeconds() const
    {
        double total = 0;
        for (const auto& process : processes)
            total += processCpuSeconds(process->pid());
        return total;
    }
};

Fleet startFleet(int size, bool separate)
{
    Fleet fleet;
    fleet.separate = separate;
    if (!separate)
    {
        fleet.processes.push_back(std::make_unique<ChildProcess>(
            TARNFLEET_PATH, std::vector<std::string>{std::to_string(size), std::to_string(kFirstSerial)}));
        return fleet;
    }
    for (int i = 0; i < size; ++i)
    {
        ::setenv("TARNSIM_SERIAL", serialOf(i).c_str(), 1);
        fleet.processes.push_back(
            std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{kModels[i % 4]}));
    }
    ::unsetenv("TARNSIM_SERIAL");
    return fleet;
}

// Waits until every speaker has registered (the console says so) or the time is up.
bool waitUntilAnnounced(Fleet& fleet, std::chrono::seconds limit)
{
    const auto deadline = Clock::now() + limit;
    const char* const ready = fleet.separate ? "Tarnsim launced" : "Fleet of";
    for (auto& process : fleet.processes)
    {
        while ((process->output() + process->errors()).find(ready) == std::string::npos)
        {
            if (Clock::now() > deadline || process->hasEnded())
                return false;
            std::this_thread::sleep_for(20ms);
        }
    }
    // The announcement follows the console line at once; give the last ones a moment.
    std::this_thread::sleep_for(300ms);
    return true;
}

// The goal of a figure for a fleet size: the one of the nearest size at or above it in the table
// (64, 256, 1024 speakers); none above 1024.
std::string goal(int size, const char* at64, const char* at256, const char* at1024)
{
    const char* text = size <= 64 ? at64 : size <= 256 ? at256 : size <= 1024 ? at1024 : nullptr;
    return text && *text ? std::string(" (goal ") + text + ")" : std::string();
}

// A roomctl process whose standard output the bench reads as lines arrive.
class LineReader
{
public:
    explicit LineReader(const std::string& command) : pipe(::popen(command.c_str(), "r"))
    {
        if (pipe)
            ::fcntl(::fileno(pipe), F_SETFL, ::fcntl(::fileno(pipe), F_GETFL) | O_NONBLOCK);
    }
    ~LineReader()
    {
        if (pipe)
            ::pclose(pipe);
    }
    bool isOpen() const { return pipe; }
    // Forgets every line that has arrived so far (read or still in the pipe).
    void drain()
    {
        char chunk[4096];
        while (::read(::fileno(pipe), chunk, sizeof(chunk)) > 0)
        {
        }
        buffer.clear();
    }
    // Waits up to `ms` for a line holding `text`; the time it was read, or nothing.
    std::optional<Clock::time_point> waitFor(const std::string& text, int ms)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        for (;;)
        {
            size_t end;
            while ((end = buffer.find('\n')) != std::string::npos)
            {
                const bool found = end >= text.size() && buffer.compare(0, text.size(), text) == 0;
                if (found)
                    lastLine = buffer.substr(0, end);
                buffer.erase(0, end + 1);
                if (found)
                    return lastRead;
            }
            const auto now = Clock::now();
            if (now >= deadline)
                return std::nullopt;
            pollfd fd{::fileno(pipe), POLLIN, 0};
            const int left =
                int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count());
            if (::poll(&fd, 1, std::max(1, left)) <= 0)
                continue;
            lastRead = Clock::now();
            char chunk[4096];
            const ssize_t got = ::read(::fileno(pipe), chunk, sizeof(chunk));
            if (got == 0)
                return std::nullopt;
            if (got > 0)
                buffer.append(chunk, size_t(got));
        }
    }

    // The line the last successful waitFor found.
    const std::string& getLastLine() const { return lastLine; }

private:
    FILE* pipe;
    std::string buffer;
    std::string lastLine;
    Clock::time_point lastRead;
};

// A change made by this mirror (what "roomctl set" does) seen by a "roomctl watch" of the same
// speaker: from the change leaving here to the watch's line arriving, while the rest of the fleet
// meters. Rounds are paced like a user's moves.
void measureSetToWatch(MirrorSession& session, const std::string& serial, int rounds)
{
    Vellaris::SpeakerNetworkItem* item = session.findSpeaker(serial);
    Vellaris::SpeakerComponent* speaker = item ? item->getSpeakerComponent() : nullptr;
    Tessel::IParameter* volume = speaker ? MirrorSession::findParameter(speaker, "line/ch1/volume") : nullptr;
    if (!volume)
    {
        std::printf("   set to watch: speaker %s has no volume\n", serial.c_str());
        return;
    }
    // The watch stamps each line with the monotonic clock when the change arrived there; the pipe
    // that brings the line here is not part of the figure.
    LineReader watch(std::string(ROOMCTL_PATH) + " watch " + serial + " --stamp --for 600 --timeout 30");
    if (!watch.isOpen())
        return;
    const std::string prefix = "line/ch1/volume\t";
    auto change = [&](int round)
    {
        // The clock is read first: the change may reach the watch before this process runs again.
        const Clock::time_point sent = Clock::now();
        volume->setValue(Tessel::Variant(round % 2 == 0 ? -7.0 : -6.0), true);
        return sent;
    };
    // The watch is ready once it shows a change.
    bool ready = false;
    for (int attempt = 0; attempt < 60 && !ready; ++attempt)
    {
        change(attempt);
        ready = bool(watch.waitFor(prefix, 500));
        session.getPlatform().runFor(5);
    }
    if (!ready)
    {
        std::printf("   set to watch: roomctl watch showed no change\n");
        return;
    }
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round)
    {
        session.getPlatform().runFor(20); // the echo comes back meanwhile
        watch.drain();                    // only a line that follows the change counts
        const auto sent = change(round + 1);
        // The line of this change (a late line of the one before does not count).
        std::optional<Clock::time_point> seen = watch.waitFor(prefix + volume->toString() + "\t", 2000);
        if (!seen)
            continue;
        const std::string& line = watch.getLastLine();
        const long long arrived = std::atoll(line.c_str() + line.rfind('\t') + 1);
        const long long left =
            std::chrono::duration_cast<std::chrono::microseconds>(sent.time_since_epoch()).count();
        times.push_back(double(arrived - left) / 1000.0);
    }
    if (times.empty())
    {
        std::printf("   set to watch: no change reached the watch\n");
        return;
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    const double p99 = times[std::min(n - 1, size_t(std::ceil(0.99 * double(n))) - 1)];
    std::printf(
        "   set to watch through one speaker while the others meter: min %.3f ms, median %.3f ms, "
        "p99 %.3f ms over %zu changes%s\n",
        times.front(), median, p99, n,
        goal(int(session.getManager().countSpeakers()), "median < 0.1 ms", "median < 0.15 ms", "median < 2 ms").c_str());
}

// The mirror's figures of one fleet size; -1: not measured.
struct MirrorFigures
{
    double cpuPercent = -1;
};

MirrorFigures runMirror(Fleet& fleet, int size, double steadySeconds, int latencyRounds);

void runFleet(int size, double steadySeconds, bool separate, int latencyRounds)
{
    std::printf("== fleet of %d speakers (%s)\n", size,
                separate ? "one tarnsim process each" : "one tarnfleet process");
    NetworkTest::useNewDiscoveryScope();
    Fleet fleet = startFleet(size, separate);
    if (!waitUntilAnnounced(fleet, 60s))
    {
        std::printf("   the speakers did not start in time\n");
        return;
    }
    const MirrorFigures mirror = runMirror(fleet, size, steadySeconds, latencyRounds);
    if (mirror.cpuPercent < 0)
        return;
    // The mirror is gone: the fleet now feeds only the floor's connections.
    const FleetBench::Floor floor =
        FleetBench::measureFloor(size, steadySeconds, [&fleet] { return fleet.cpuSeconds(); });
    if (floor.connections < size)
    {
        std::printf("   floor: the receiver reached %d of %d speakers\n", floor.connections, size);
        return;
    }
    std::printf("   floor, a receiver that only reads (%d connections, %.1f MB/s in %.0f reads/s): %.1f %% of one "
                "core over %.1f s\n",
                floor.connections, floor.bytesPerSecond / 1e6, floor.readsPerSecond, floor.cpuPercent,
                floor.seconds);
    std::printf("   (the speakers meanwhile: %.1f %% of one core)\n", floor.senderCpuPercent);
    std::printf("   steady CPU of the mirror as a ratio to the floor: %.2f x (goal <= 1.5 x)\n",
                mirror.cpuPercent / floor.cpuPercent);
}

MirrorFigures runMirror(Fleet& fleet, int size, double steadySeconds, int latencyRounds)
{
    Vellaris::registerSpeakerClasses(); // the model's own memory is not the speakers'
    const size_t heapBefore = heapBytes();
    const size_t rssBefore = residentBytes();

    const auto start = Clock::now();
    const double syncCpuStart = cpuSeconds();
    const double syncFleetStart = fleet.cpuSeconds();
    MirrorSession session;
    if (!session.isStarted())
    {
        std::printf("   mirror did not start: %s\n", session.getError().c_str());
        return {};
    }
    double listedMs = -1;
    bool synced = session.getPlatform().runUntil(
        [&]
        {
            if (listedMs < 0 && session.getManager().countSpeakers() >= size)
                listedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            return countSynchronized(session) >= size;
        },
        60000);
    const double syncMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!synced)
    {
        std::printf("   only %d of %d synchronised after %.0f ms\n", countSynchronized(session), size,
                    syncMs);
        return {};
    }
    std::printf("   listed all after %.0f ms, all synchronised after %.0f ms%s\n", listedMs, syncMs,
                goal(size, "< 300 ms", "< 1000 ms", "< 600 ms").c_str());
    // Whether the time went to work (the mirror's or the speakers') or to waiting.
    std::printf("   meanwhile the mirror used %.0f ms of CPU, the speakers %.0f ms\n",
                1000.0 * (cpuSeconds() - syncCpuStart), 1000.0 * (fleet.cpuSeconds() - syncFleetStart));

    FleetBench::askEveryMeter(session);
    session.getPlatform().runFor(500);

    const size_t heapAfter = heapBytes();
    const size_t rssAfter = residentBytes();
    std::printf("   memory per mirrored speaker: heap %.0f KB, resident %.0f KB%s\n",
                double(heapAfter - heapBefore) / 1024.0 / size, double(rssAfter - rssBefore) / 1024.0 / size,
                goal(size, "heap < 64 KB", "heap < 64 KB", "heap < 64 KB").c_str());

    const double cpuStart = cpuSeconds();
    const double fleetStart = fleet.cpuSeconds();
    const auto wallStart = Clock::now();
    session.getPlatform().runFor(int64_t(steadySeconds * 1000));
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    const double cpu = cpuSeconds() - cpuStart;
    const double fleetCpu = fleet.cpuSeconds() - fleetStart;
    std::printf("   steady CPU of the mirror with every meter running: %.1f %% of one core over %.1f s%s\n",
                100.0 * cpu / wall, wall, goal(size, "< 2 %", "< 6 %", "< 20 %").c_str());
    std::printf("   (the speakers meanwhile: %.1f %% of one core)\n", 100.0 * fleetCpu / wall);
    std::printf("   speakers still listed: %d\n", session.getManager().countSpeakers());
    if (latencyRounds > 0)
        measureSetToWatch(session, serialOf(0), latencyRounds);
    return {100.0 * cpu / wall};
}

// The share of the speaker's own component tree in the memory per speaker: trees built without
// any network around them.
void measureTrees()
{
    Tessel::HeadlessPlatform platform;
    Vellaris::registerSpeakerClasses();
    Vellaris::Dsp::registerAllFormats(); // as a mirror has them: every parameter with its formatter and curve
    constexpr int kTrees = 16;
    const size_t before = heapBytes();
    std::vector<Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent>> trees;
    for (int i = 0; i < kTrees; ++i)
        trees.emplace_back(new Vellaris::LK::SpeakerRootComponent);
    std::printf("== component tree of one speaker (mirror, speaker component, local parameters): %.0f KB\n",
                double(heapBytes() - before) / 1024.0 / kTrees);
    trees.clear();
    Tessel::destroyRootComponent();
}

void runPing(int count)
{
    std::printf("== roomctl ping, one simulator, %d round trips\n", count);
    NetworkTest::useNewDiscoveryScope();
    Fleet fleet = startFleet(1, true);
    if (!waitUntilAnnounced(fleet, 10s))
        return;
    ChildProcess ping(ROOMCTL_PATH, {"ping", serialOf(0), "--count", std::to_string(count)});
    if (!ping.waitForEnd(60s) || ping.exitStatus() != 0)
    {
        std::printf("   roomctl ping failed: %s\n", ping.errors().c_str());
        return;
    }
    std::printf("   %s", ping.output().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures show as they come, also into a file
    std::vector<int> sizes = {64, 256, 1024};
    double steady = 5;
    int pings = 200;
    int latency = 200;
    bool separate = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string option = argv[i];
        if (option == "--processes")
        {
            separate = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        if (option == "--sizes")
            sizes = readSizes(argv[i + 1]);
        else if (option == "--steady")
            steady = std::max(0.5, std::atof(argv[i + 1]));
        else if (option == "--ping")
            pings = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--latency")
            latency = std::max(0, std::atoi(argv[i + 1]));
        ++i;
    }
    std::printf("bench_fleet: load average %s on %ld cores\n", loadAverage().c_str(),
                sysconf(_SC_NPROCESSORS_ONLN));
    measureTrees();
    for (int size : sizes)
        runFleet(size, steady, separate, latency);
    runPing(pings);
    std::printf("load average at the end %s\n", loadAverage().c_str());
    return 0;
}
