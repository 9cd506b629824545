// bench_soak: a long run of a busy little network on loopback. 16 simulators (each its own serial
// number), two headless mirrors making random changes and roomctl setting random parameters one
// after another. At the end every mirror must equal a fresh mirror of the speakers, no process may
// have grown its resident memory by more than 10 % since the end of the warm-up, and none may hold
// more file descriptors than it did then.
//
//     bench_soak [--minutes M] [--speakers N] [--rate R]
//
// M defaults to 10 (fractions allowed), N to 16, R (changes per second of each mirror) to 20.
// Exit status 0 when every check held, 1 otherwise.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/mirror/MirrorDump.h"
#include "tests/common/ChildProcess.h"

namespace
{

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using NetworkTest::ChildProcess;

const char* const kModels[] = {"TX10A", "TX20A", "TX30A", "TX40S"};
// Parameters roomctl sets, with the texts it picks from.
const char* const kPaths[] = {"line/ch1/volume",  "line/ch1/mute", "line/ch1/delay",  "eq/eqgain3",
                              "notch/notchgain2", "geq/gain7",     "limit/threshold", "nickname"};

struct Options
{
    double minutes = 10;
    int speakers = 16;
    double rate = 20;
};

struct Sample
{
    long rssKb = 0;
    int fds = 0;
};

struct Watched
{
    std::string name;
    ChildProcess* process;
    Sample warm;
    Sample last;
};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Sample sampleOnce(pid_t pid)
{
    Sample s;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmRSS:") == 0)
            s.rssKb = std::atol(line.c_str() + 6);
    if (DIR* dir = ::opendir(("/proc/" + std::to_string(pid) + "/fd").c_str()))
    {
        while (dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                ++s.fds;
        ::closedir(dir);
    }
    return s;
}

// A mirror agent (see tests/mirror/MirrorAgent.cpp) and its dump requests.
struct Agent
{
    std::unique_ptr<ChildProcess> process;
    int requests = 0;

    std::string dump() { return FaultTest::requestAgentDump(*process, requests, 20s); }

    int synchronised() { return FaultTest::synchronisedInDump(dump()); }

    long changes() { return FaultTest::changesInDump(dump()); }
};

// The smallest figures of each process over five samples in two seconds: a save in progress or a
// connection being closed holds a descriptor for a moment, a leak holds it for good.
void sampleAll(std::vector<Watched>& watched, Sample Watched::*into)
{
    for (Watched& w : watched)
        w.*into = sampleOnce(w.process->pid());
    for (int round = 0; round < 4; ++round)
    {
        std::this_thread::sleep_for(500ms);
        for (Watched& w : watched)
        {
            const Sample next = sampleOnce(w.process->pid());
            (w.*into).rssKb = std::min((w.*into).rssKb, next.rssKb);
            (w.*into).fds = std::min((w.*into).fds, next.fds);
        }
    }
}

bool readOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        if (option == "--minutes")
            options.minutes = std::atof(argv[i + 1]);
        else if (option == "--speakers")
            options.speakers = std::atoi(argv[i + 1]);
        else if (option == "--rate")
            options.rate = std::atof(argv[i + 1]);
        else
            return false;
    }
    return argc % 2 == 1 && options.minutes > 0 && options.speakers > 0 && options.speakers <= 64 &&
           options.rate > 0;
}

std::string serialOf(int index)
{
    return std::to_string(700000001 + index);
}

// One roomctl set of a random parameter of a random speaker; true when the speaker confirmed it.
bool roomctlChange(std::mt19937& random, int speakers)
{
    const std::string serial = serialOf(int(random() % unsigned(speakers)));
    const std::string path = kPaths[random() % (sizeof kPaths / sizeof *kPaths)];
    std::string text;
    if (path == "nickname")
        text = "soak" + std::to_string(random() % 1000);
    else if (path == "line/ch1/mute")
        text = random() % 2 ? "On" : "Off";
    else
        text = std::to_string(-int(random() % 20));
    ChildProcess roomctl(ROOMCTL_PATH, {"--timeout", "10", "set", serial, path, text});
    const bool done = roomctl.waitForEnd(30s) && roomctl.exitStatus() == 0;
    static int told = 0;
    if (!done && told++ < 5)
        std::printf("  roomctl set %s %s %s: %s", serial.c_str(), path.c_str(), text.c_str(),
                    roomctl.errors().c_str());
    return done;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!readOptions(argc, argv, options))
    {
        std::fprintf(stderr, "usage: bench_soak [--minutes M] [--speakers N] [--rate R]\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    NetworkTest::useNewDiscoveryScope();
    const double totalSeconds = options.minutes * 60;
    const double warmSeconds = std::min(60.0, totalSeconds / 6);
    std::printf("bench_soak: %d simulators, 2 mirrors (%g changes/s each) and roomctl for %.1f min, "
                "warm-up %.0f s\n",
                options.speakers, options.rate, options.minutes, warmSeconds);

    std::vector<std::unique_ptr<ChildProcess>> simulators;
    for (int i = 0; i < options.speakers; ++i)
    {
        ::setenv("TARNSIM_SERIAL", serialOf(i).c_str(), 1);
        simulators.push_back(
            std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{kModels[i % 4]}));
    }
    ::unsetenv("TARNSIM_SERIAL");
    std::vector<Agent> agents(2);
    for (size_t i = 0; i < agents.size(); ++i)
        agents[i].process = std::make_unique<ChildProcess>(
            MIRROR_AGENT_PATH, std::vector<std::string>{"--seed", std::to_string(17 + 13 * i), "--rate",
                                                        std::to_string(options.rate)});
    const auto started = Clock::now();
    for (Agent& agent : agents)
    {
        while (agent.process->output().find("mirror_agent ready") == std::string::npos)
        {
            if (secondsSince(started) > 30 || agent.process->hasEnded())
            {
                std::printf("a mirror did not start: %s\n", agent.process->errors().c_str());
                return 1;
            }
            std::this_thread::sleep_for(20ms);
        }
        while (agent.synchronised() < options.speakers)
        {
            if (secondsSince(started) > 60)
            {
                std::printf("the mirrors did not synchronise every simulator within 60 s\n");
                return 1;
            }
            std::this_thread::sleep_for(200ms);
        }
    }
    std::printf("all %d speakers mirrored twice after %.1f s\n", options.speakers, secondsSince(started));

    std::vector<Watched> watched;
    for (int i = 0; i < options.speakers; ++i)
        watched.push_back({"tarnsim " + serialOf(i), simulators[i].get(), {}, {}});
    for (size_t i = 0; i < agents.size(); ++i)
        watched.push_back({"mirror " + std::to_string(i + 1), agents[i].process.get(), {}, {}});

    for (Agent& agent : agents)
        agent.process->kill(SIGUSR2); // changes on
    std::mt19937 random(4242);
    long roomctlDone = 0, roomctlFailed = 0;
    bool warmTaken = false;
    const auto runStart = Clock::now();
    auto nextReport = runStart + 60s;
    while (secondsSince(runStart) < totalSeconds)
    {
        if (roomctlChange(random, options.speakers))
            ++roomctlDone;
        else
            ++roomctlFailed;
        if (!warmTaken && secondsSince(runStart) >= warmSeconds)
        {
            sampleAll(watched, &Watched::warm);
            warmTaken = true;
        }
        if (Clock::now() >= nextReport)
        {
            nextReport += 60s;
            long rss = 0;
            for (Watched& w : watched)
                rss += sampleOnce(w.process->pid()).rssKb;
            std::printf("  %.0f s: roomctl %ld set, %ld failed; all processes %ld KB resident\n",
                        secondsSince(runStart), roomctlDone, roomctlFailed, rss);
        }
    }
    for (Agent& agent : agents)
        agent.process->kill(SIGUSR2); // changes off
    std::this_thread::sleep_for(2s);
    sampleAll(watched, &Watched::last);

    // A fresh mirror holds what the speakers hold; both long-running mirrors must agree with it.
    bool inStep = false;
    double resync = 0;
    std::vector<std::string> differences;
    const auto endStart = Clock::now();
    long changes[2] = {agents[0].changes(), agents[1].changes()};
    while (!inStep && secondsSince(endStart) < 30)
    {
        ChildProcess fresh(MIRROR_AGENT_PATH, {"--once", std::to_string(options.speakers)});
        if (!fresh.waitForEnd(60s) || fresh.exitStatus() != 0)
        {
            differences = {"a fresh mirror did not see every speaker"};
            continue;
        }
        const FaultTest::MirrorState truth = FaultTest::parseMirrorState(fresh.output());
        differences.clear();
        for (size_t i = 0; i < agents.size(); ++i)
            for (const std::string& line :
                 FaultTest::compareStates(truth, FaultTest::parseMirrorState(agents[i].dump())))
                differences.push_back("mirror " + std::to_string(i + 1) + ": " + line);
        inStep = differences.empty();
        resync = secondsSince(endStart);
    }

    std::printf("changes: mirror 1 %ld, mirror 2 %ld, roomctl %ld (%ld not confirmed)\n", changes[0],
                changes[1], roomctlDone, roomctlFailed);
    std::printf("%-20s %10s %10s %8s %6s %6s\n", "process", "warm KB", "end KB", "growth", "fds", "fds");
    double worstGrowth = 0;
    int leakedFds = 0;
    for (const Watched& w : watched)
    {
        const double growth =
            w.warm.rssKb > 0 ? 100.0 * double(w.last.rssKb - w.warm.rssKb) / double(w.warm.rssKb) : 0;
        worstGrowth = std::max(worstGrowth, growth);
        leakedFds += std::max(0, w.last.fds - w.warm.fds);
        std::printf("%-20s %10ld %10ld %7.1f%% %6d %6d\n", w.name.c_str(), w.warm.rssKb, w.last.rssKb, growth,
                    w.warm.fds, w.last.fds);
    }
    const bool memoryOk = warmTaken && worstGrowth <= 10.0;
    const bool fdsOk = warmTaken && leakedFds == 0;
    std::printf(
        "mirrors equal their speakers: %s%s\n", inStep ? "yes" : "NO",
        inStep
            ? (" (checked " + std::to_string(resync).substr(0, 4) + " s after the changes stopped)").c_str()
            : "");
    for (const std::string& line : differences)
        std::printf("  %s\n", line.c_str());
    std::printf("largest memory growth: %.1f %% (limit 10 %%): %s\n", worstGrowth,
                memoryOk ? "ok" : "TOO MUCH");
    std::printf("file descriptors gained: %d: %s\n", leakedFds, fdsOk ? "ok" : "LEAK");
    for (auto& simulator : simulators)
        if (simulator->hasEnded())
            std::printf("%s\n", "a simulator ended during the run");
    return inStep && memoryOk && fdsOk ? 0 : 1;
}
