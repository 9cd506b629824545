// bench_web_cpu: what open tablet pages cost the desk. roomdesk (under an Xvfb of its own, as
// bench_roomdesk_cpu runs it, or offscreen without Xvfb) with 64 speakers of one tarnfleet, every
// meter running, and the big venue of tests/common/LargeVenue.h open on its main hall, which holds
// them all. Its CPU time is read from /proc/<pid>/stat with no page open, then with --pages pages
// open on the room, each watching what the page watches for a room: the venue, the room's volume
// wheel, loudest level, MUTE ALL and LOCK, each speaker's meter, volume, mute and solo, and the
// master GEQ's switches, 31 bands and curve. Pages are WebSocket clients in this process, one
// thread each, reading every message the desk sends them. The two are measured --runs times in
// turn, the same desk throughout.
//
//     bench_web_cpu [--pages N] [--runs N] [--steady S] [--display N]
//
// The display number defaults to 86 (BENCH_XVFB_DISPLAY in the environment changes it).
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/common/ProcessCpu.h"
#include "bench/web/PageSession.h"
#include "core/AttributeQueue.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/LargeVenue.h"
#include "tests/web/WebClient.h"

namespace
{

using namespace std::chrono_literals;
using FleetBench::processCpuSeconds;
using NetworkTest::ChildProcess;
using WebBench::Clock;
using WebTest::WebSocketClient;

// What one page on the room view subscribes to, as the page's room screen does.
struct RoomWatches
{
    std::vector<std::string> values;
    std::string curve; // the master GEQ, "" without one
    int speakers = 0;  // online positions
    std::string title;
};

// The room of a venue message, or nothing when no venue is open.
bool readRoom(const Core::Portable::Attributes& venue, RoomWatches& watches)
{
    const Core::Portable::Attributes* room = venue.getAttributes("room");
    if (venue.getInt64("open") == 0 || !room)
        return false;
    watches = {};
    watches.title = std::string(room->getText("title"));
    const std::string address(room->getText("address"));
    for (const char* name : {"/VolumeWheel/scrollParam", "/maxVolume", "/muteAll", "/locked"})
        watches.values.push_back(address + name);
    if (const Core::Portable::AttributeQueue* groups = room->getQueue("groups"))
        for (const Core::Portable::AttributeValue& group : *groups)
        {
            const Core::Portable::AttributeQueue* positions =
                group.attributes() ? group.attributes()->getQueue("positions") : nullptr;
            if (!positions)
                continue;
            for (const Core::Portable::AttributeValue& position : *positions)
            {
                const Core::Portable::Attributes* cell = position.attributes();
                if (!cell || cell->getInt64("online") == 0)
                    continue;
                const std::string speaker(cell->getText("address"));
                for (const char* name : {"/line/ch1/meter", "/line/ch1/volume", "/line/ch1/mute", "/solo"})
                    watches.values.push_back(speaker + name);
                ++watches.speakers;
            }
        }
    const std::string geq(room->getText("masterGeq"));
    if (!geq.empty())
    {
        watches.curve = geq;
        watches.values.push_back(geq + "/on");
        watches.values.push_back(geq + "/ston");
        for (int band = 1; band <= 31; ++band)
            watches.values.push_back(geq + "/gain" + std::to_string(band));
    }
    return true;
}

// One page: its own socket and thread, reading everything the desk sends.
class Page
{
public:
    Page(int port, const RoomWatches& watches) : thread([this, port, watches] { run(port, watches); }) {}
    ~Page()
    {
        stopping = true;
        thread.join();
    }
    bool isReady() const { return ready; }
    bool hasFailed() const { return failed; }
    long messages() const { return received; }
    std::string firstError()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return error;
    }

private:
    void run(int port, const RoomWatches& watches)
    {
        WebSocketClient socket;
        std::string text;
        if (!socket.open("127.0.0.1", port) || !socket.receive(text, 5s))
        {
            fail("cannot open: " + socket.getError());
            return;
        }
        // Everything at once, as the page asks when it shows the room.
        int id = 0;
        bool sent = socket.send(R"({"op":"subscribeVenue","id":)" + std::to_string(++id) + "}");
        for (const std::string& address : watches.values)
            sent = sent && socket.send(R"({"op":"subscribe","address":")" + address + R"(","id":)" +
                                       std::to_string(++id) + "}");
        if (!watches.curve.empty())
            sent = sent && socket.send(R"({"op":"subscribeCurve","address":")" + watches.curve +
                                       R"(","points":128,"id":)" + std::to_string(++id) + "}");
        if (!sent)
        {
            fail("the desk closed the page");
            return;
        }
        int answered = 0;
        while (!stopping)
        {
            if (!socket.receive(text, 200ms))
            {
                if (socket.isClosed())
                {
                    fail("the desk closed the page");
                    return;
                }
                continue;
            }
            ++received;
            if (text.find("\"id\":") != std::string::npos && ++answered == id)
                ready = true;
            if (text.find(R"("op":"error")") != std::string::npos)
                fail(text);
        }
    }

    void fail(const std::string& why)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (error.empty())
            error = why;
        failed = true;
    }

    std::atomic<bool> stopping{false};
    std::atomic<bool> ready{false};
    std::atomic<bool> failed{false};
    std::atomic<long> received{0};
    std::mutex mutex;
    std::string error;
    std::thread thread; // last: starts once the rest exists
};

struct Figure
{
    double desk = 0;     // % of one core
    double self = 0;     // this process (the pages), % of one core
    double messages = 0; // per page and second
};

Figure measure(pid_t desk, double seconds, const std::vector<std::unique_ptr<Page>>& pages)
{
    long before = 0;
    for (const auto& page : pages)
        before += page->messages();
    const double deskStart = processCpuSeconds(desk);
    const double selfStart = processCpuSeconds(::getpid());
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(int64_t(seconds * 1000)));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    long after = 0;
    for (const auto& page : pages)
        after += page->messages();
    Figure figure;
    figure.desk = 100.0 * (processCpuSeconds(desk) - deskStart) / wall;
    figure.self = 100.0 * (processCpuSeconds(::getpid()) - selfStart) / wall;
    figure.messages = pages.empty() ? 0 : double(after - before) / double(pages.size()) / wall;
    return figure;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int measureDesk(int pageCount, int runs, double steady)
{
    NetworkTest::useNewDiscoveryScope();
    ::setenv("ROOMDESK_OSC_PORT", std::to_string(NetworkTest::freeUdpPort()).c_str(), 1);
    const int webPort = WebTest::freeTcpPort();
    ::setenv("ROOMDESK_WEB_PORT", std::to_string(webPort).c_str(), 1);
    ::setenv("ROOMDESK_WEB_BIND", "127.0.0.1", 1);
    ChildProcess fleet(TARNFLEET_PATH, {std::to_string(LargeVenue::kMainHallSpeakers),
                                        std::to_string(LargeVenue::kFirstSerial)});
    const auto fleetDeadline = Clock::now() + 60s;
    while (fleet.output().find("Fleet of") == std::string::npos)
    {
        if (Clock::now() > fleetDeadline || fleet.hasEnded())
        {
            std::printf("   the speakers did not start\n");
            return 1;
        }
        std::this_thread::sleep_for(20ms);
    }
    ChildProcess desk(ROOMDESK_PATH, {});

    // The desk is set up through a page of its own: every speaker listed, the venue opened.
    std::vector<std::string> problems;
    RoomWatches watches;
    {
        WebSocketClient control;
        const auto deadline = Clock::now() + 90s;
        std::string text;
        while (!control.open("127.0.0.1", webPort) && Clock::now() < deadline && !desk.hasEnded())
            std::this_thread::sleep_for(200ms);
        if (control.isClosed() || !control.receive(text, 5s))
        {
            std::printf("   the desk's page did not open: %s\n", desk.errors().c_str());
            return 1;
        }
        int id = 0;
        size_t listed = 0;
        auto listedNow = [&]
        {
            const Core::Portable::Attributes reply =
                WebBench::ask(control, R"({"op":"list","address":"/speaker")", ++id);
            const Core::Portable::AttributeQueue* names = reply.getQueue("names");
            return names ? size_t(names->count()) : size_t(0);
        };
        const auto start = Clock::now();
        while ((listed = listedNow()) < size_t(LargeVenue::kMainHallSpeakers))
        {
            if (Clock::now() > deadline || desk.hasEnded())
            {
                std::printf("   roomdesk lists %zu speakers: %s\n", listed, desk.errors().c_str());
                return 1;
            }
            std::this_thread::sleep_for(200ms);
        }
        std::printf("   roomdesk lists every speaker %.1f s after its start\n",
                    std::chrono::duration<double>(Clock::now() - start).count());
        const std::string load = LargeVenue::historyEntry() + "loadVenue";
        if (WebBench::ask(control, R"({"op":"invoke","address":)" + WebBench::quoted(load), ++id)
                .getText("op") != "done")
        {
            std::printf("   the venue did not open: %s\n", desk.errors().c_str());
            return 1;
        }
        while (!readRoom(WebBench::ask(control, R"({"op":"venue")", ++id), watches) ||
               watches.speakers < LargeVenue::kMainHallSpeakers)
        {
            if (Clock::now() > deadline)
            {
                std::printf("   the room shows %d speakers online\n", watches.speakers);
                return 1;
            }
            std::this_thread::sleep_for(200ms);
        }
    }
    std::printf("   room \"%s\": %d speakers; a page watches %zu values%s\n", watches.title.c_str(),
                watches.speakers, watches.values.size(),
                watches.curve.empty() ? "" : " and the master GEQ's curve");
    std::this_thread::sleep_for(3s); // the floor plan builds, the synchronisation settles

    std::vector<double> none, open;
    for (int run = 1; run <= runs; ++run)
    {
        const Figure quiet = measure(desk.pid(), steady, {});
        std::vector<std::unique_ptr<Page>> pages;
        for (int i = 0; i < pageCount; ++i)
            pages.push_back(std::make_unique<Page>(webPort, watches));
        const auto deadline = Clock::now() + 30s;
        while (Clock::now() < deadline &&
               !std::all_of(pages.begin(), pages.end(),
                            [](const auto& page) { return page->isReady() || page->hasFailed(); }))
            std::this_thread::sleep_for(50ms);
        std::this_thread::sleep_for(2s); // the first answers are out; from here the steady flow
        const Figure busy = measure(desk.pid(), steady, pages);
        int failed = 0;
        std::string why;
        for (const auto& page : pages)
            if (page->hasFailed() || !page->isReady())
            {
                ++failed;
                why = page->firstError();
            }
        pages.clear();
        none.push_back(quiet.desk);
        open.push_back(busy.desk);
        std::printf(
            "   run %d: roomdesk %.1f %% of one core with no page, %.1f %% with %d page%s (%+.0f %%); "
            "each page got %.0f messages/s; the pages themselves %.1f %%\n",
            run, quiet.desk, busy.desk, pageCount, pageCount == 1 ? "" : "s",
            100.0 * (busy.desk - quiet.desk) / quiet.desk, busy.messages, busy.self);
        if (failed)
            std::printf("   %d of the pages did not get everything they asked for: %s\n", failed,
                        why.c_str());
        std::this_thread::sleep_for(2s); // the desk lets go of the pages
    }
    const double a = median(none), b = median(open);
    std::printf("   median: %.1f %% with no page, %.1f %% with %d page%s: %+.0f %% (goal: under +10 %%)\n", a,
                b, pageCount, pageCount == 1 ? "" : "s", 100.0 * (b - a) / a);
    (void)fleet;
    desk.kill(SIGTERM);
    desk.waitForEnd(10s);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int pages = 10, runs = 3;
    double steady = 10;
    const char* fromEnvironment = std::getenv("BENCH_XVFB_DISPLAY");
    std::string display = fromEnvironment && *fromEnvironment ? fromEnvironment : "86";
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        if (option == "--pages")
            pages = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--steady")
            steady = std::max(1.0, std::atof(argv[i + 1]));
        else if (option == "--display")
            display = argv[i + 1];
    }
    // A home of its own (the desk's venues and settings never touch the user's) holding the venue.
    const std::filesystem::path home = NetworkTest::usePrivateHome("bench-web-cpu");
    LargeVenue::write(home);
    const bool xvfb = ::access("/usr/bin/Xvfb", X_OK) == 0;
    std::unique_ptr<ChildProcess> server;
    if (xvfb)
    {
        ::setenv("DISPLAY", (":" + display).c_str(), 1);
        ::unsetenv("QT_QPA_PLATFORM");
        server = std::make_unique<ChildProcess>(
            "/usr/bin/Xvfb",
            std::vector<std::string>{":" + display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        std::this_thread::sleep_for(1s);
        if (server->hasEnded())
        {
            std::printf("bench_web_cpu: Xvfb :%s did not start: %s\n", display.c_str(),
                        server->errors().c_str());
            return 0;
        }
    }
    std::printf("== roomdesk (%s) with %d speakers metering on its floor plan: no page, then %d pages on "
                "the room; %d runs of %.0f s each\n",
                xvfb ? ("Xvfb :" + display).c_str() : "offscreen", LargeVenue::kMainHallSpeakers, pages, runs,
                steady);
    const int status = measureDesk(pages, runs, steady);
    server.reset();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
