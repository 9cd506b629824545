// bench_web_echo: the tablet remote on loopback. roomdesk offscreen (its own folders, the page served
// on 127.0.0.1 without pairing) with one tarnsim; a WebSocket client as the page, subscribed to the
// speaker's volume as the page's fader is; and a mirror of the simulator in this process (a second
// client of the speaker, as in bench_desk) that sees when a change has reached the speaker and makes
// changes at the speaker.
//
//   set -> reply      the page's "set" of the volume until the desk's answer to it
//   set -> watch      the same set until the page's subscription brings the new value
//   set -> speaker    a set until the simulator has the value (seen by this process's mirror)
//   speaker -> page   a change at the speaker until the page's subscription shows it
//   round trip        the two legs above added up: a change on the page reaches the speaker, and a
//                     change of the speaker comes back to the page
//   drag -> watch     sets 10 ms apart, as a finger drags a fader: each value the subscription
//                     brings, from its set (the desk sends a watched address at most every 33 ms,
//                     the newest value only, so most values of a drag are never sent)
//
//     bench_web_echo [--count N] [--pause MS]
//
// Between rounds the page pauses --pause ms (default 50): longer than the desk's 33 ms between two
// messages of one watched address, so that a round measures the path, not the coalescing.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/web/PageSession.h"
#include "mirror/ClientRootComponent.h"
#include "roomctl/MirrorSession.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/IParameter.h"
#include "tests/common/ChildProcess.h"
#include "tests/web/WebClient.h"

namespace
{

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
using Vellaris::Tools::MirrorSession;
using WebBench::Clock;
using WebBench::msSince;
using WebTest::WebSocketClient;
namespace fs = std::filesystem;

constexpr const char* kSerial = "987654321"; // what "tarnsim TX20A" announces
const std::string kVolume = std::string("/speaker/") + kSerial + "/line/ch1/volume";
constexpr double kTolerance = 0.01; // dB: the value travels normalised, as a 32-bit float
// How long the desk keeps a speaker's float values away after its own edit of the parameter ends.
constexpr int64_t kReleaseGuardMs = Vellaris::LK::ClientRootComponent::kReleaseGuardMs;

// Whether `text` is an unasked value message of the volume at `value`.
bool isWatchedVolume(const std::string& text, double value)
{
    if (text.find("\"id\"") != std::string::npos || text.find(kVolume) == std::string::npos)
        return false;
    const Core::Portable::Attributes message = WebBench::parse(text);
    const Core::Portable::AttributeValue* got = message.find("value");
    return message.getText("op") == "value" && got && got->isNumber() &&
           std::fabs(got->toDouble() - value) < kTolerance;
}

std::string setMessage(double value, int id)
{
    char number[32];
    std::snprintf(number, sizeof number, "%.1f", value);
    return R"({"op":"set","address":")" + kVolume + R"(","value":)" + number + R"(,"id":)" +
           std::to_string(id) + "}";
}

// Reads what the page has waiting.
void drain(WebSocketClient& page)
{
    std::string ignored;
    while (page.receive(ignored, 0ms))
    {
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int count = 200;
    int pauseMs = 50;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        if (std::strcmp(argv[i], "--count") == 0)
            count = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--pause") == 0)
            pauseMs = std::max(0, std::atoi(argv[i + 1]));
    }

    // A discovery port no socket holds now, so no other run's simulators join in.
    ::setenv("LKNET_DISCOVERY_PORT", std::to_string(NetworkTest::freeUdpPort(true)).c_str(), 1);
    ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
    const fs::path home = NetworkTest::usePrivateHome("bench-web-echo");
    ::setenv("ROOMDESK_OSC_PORT", std::to_string(NetworkTest::freeUdpPort()).c_str(), 1);
    const int webPort = WebTest::freeTcpPort();
    ::setenv("ROOMDESK_WEB_PORT", std::to_string(webPort).c_str(), 1);
    ::setenv("ROOMDESK_WEB_BIND", "127.0.0.1", 1);

    std::printf("== tablet remote on 127.0.0.1:%d, one simulator, %d rounds, %d ms between rounds\n", webPort,
                count, pauseMs);
    int status = 1;
    {
        ChildProcess simulator(TARNSIM_PATH, {"TX20A"});
        ChildProcess desk(ROOMDESK_PATH, {});
        MirrorSession session;
        Vellaris::SpeakerNetworkItem* item = session.waitForSpeaker(kSerial, 15000);
        Tessel::IParameter* volume =
            item ? MirrorSession::findParameter(item->getSpeakerComponent(), "line/ch1/volume") : nullptr;
        if (!session.isStarted() || !volume)
        {
            std::printf("   the simulator did not answer: %s\n", session.getError().c_str());
            return 1;
        }
        WebSocketClient page;
        const auto deadline = Clock::now() + 20s;
        while (!page.open("127.0.0.1", webPort) && Clock::now() < deadline)
            session.getPlatform().runFor(100);
        std::string text;
        if (page.isClosed() || !page.receive(text, 5s))
        {
            std::printf("   the desk's page did not open: %s\n%s\n", page.getError().c_str(),
                        desk.errors().c_str());
            return 1;
        }
        // The desk is ready once it answers for the speaker.
        int id = 1;
        while (WebBench::ask(page, R"({"op":"get","address":")" + kVolume + "\"", ++id).getText("op") !=
               "value")
        {
            if (Clock::now() > deadline)
            {
                std::printf("   the desk does not know the speaker: %s\n", desk.errors().c_str());
                return 1;
            }
            session.getPlatform().runFor(100);
        }
        if (WebBench::ask(page, R"({"op":"subscribe","address":")" + kVolume + "\"", ++id).getText("op") !=
            "value")
        {
            std::printf("   the volume cannot be watched\n");
            return 1;
        }

        std::vector<double> reply, watch, toSpeaker, fromSpeaker, roundTrip;
        int lost = 0;
        for (int round = 0; round < count; ++round)
        {
            const double step = (round % 2) * 2.0;
            // The page sets; the desk answers, then the subscription follows.
            session.getPlatform().runFor(pauseMs);
            drain(page);
            auto start = Clock::now();
            page.send(setMessage(-20 - step, ++id));
            const std::string idText = "\"id\":" + std::to_string(id);
            if (!page.receiveUntil([&](const std::string& m) { return m.find(idText) != std::string::npos; },
                                   text, 2s))
            {
                ++lost;
                continue;
            }
            reply.push_back(msSince(start));
            if (!page.receiveUntil([&](const std::string& m) { return isWatchedVolume(m, -20 - step); }, text,
                                   2s))
            {
                ++lost;
                continue;
            }
            watch.push_back(msSince(start));

            // The page sets until the speaker has it.
            session.getPlatform().runFor(pauseMs);
            drain(page);
            start = Clock::now();
            page.send(setMessage(-24 - step, ++id));
            if (!session.getPlatform().runUntil(
                    [&] { return std::fabs(volume->getValue().asDouble() - (-24 - step)) < kTolerance; },
                    2000))
            {
                ++lost;
                continue;
            }
            toSpeaker.push_back(msSince(start));
        }

        // The speaker changes until the page shows it. The desk takes no float value from the
        // network for a while after its own edit of it (as after a drag on its own fader), so these
        // rounds follow the page's once that time is over.
        session.getPlatform().runFor(kReleaseGuardMs + 100);
        for (int round = 0; round < count; ++round)
        {
            const double value = -28 - (round % 2) * 2.0;
            session.getPlatform().runFor(pauseMs);
            drain(page);
            const auto start = Clock::now();
            volume->setValue(Tessel::Variant(value), true);
            if (!page.receiveUntil([&](const std::string& m) { return isWatchedVolume(m, value); }, text, 2s))
            {
                ++lost;
                continue;
            }
            fromSpeaker.push_back(msSince(start));
        }
        for (size_t i = 0; i < std::min(toSpeaker.size(), fromSpeaker.size()); ++i)
            roundTrip.push_back(toSpeaker[i] + fromSpeaker[i]);

        // A drag: a set every 10 ms; each value the subscription brings is timed from its own set.
        std::vector<double> drag;
        std::map<double, Clock::time_point> sent;
        session.getPlatform().runFor(pauseMs);
        drain(page);
        for (int i = 0; i < count; ++i)
        {
            const double value = -40 + 0.5 * (i % 40);
            sent[value] = Clock::now();
            page.send(setMessage(value, ++id));
            const auto next = Clock::now() + 10ms;
            while (Clock::now() < next)
            {
                if (!page.receive(text,
                                  std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now())))
                    continue;
                if (text.find("\"id\"") != std::string::npos)
                    continue;
                const Core::Portable::Attributes message = WebBench::parse(text);
                const Core::Portable::AttributeValue* got = message.find("value");
                if (message.getText("op") != "value" || !got)
                    continue;
                for (const auto& [set, at] : sent)
                    if (std::fabs(set - got->toDouble()) < kTolerance)
                        drag.push_back(std::chrono::duration<double, std::milli>(Clock::now() - at).count());
            }
        }

        WebBench::report("set -> reply", reply);
        WebBench::report("set -> watch", watch);
        WebBench::report("set -> speaker", toSpeaker);
        WebBench::report("speaker -> page", fromSpeaker);
        WebBench::report("round trip", roundTrip, " (goal: median < 5 ms)");
        WebBench::report("drag -> watch", drag);
        std::printf("   (drag: %d sets 10 ms apart, %zu of them brought by the subscription)\n", count,
                    drag.size());
        if (lost)
            std::printf("   %d rounds without an answer in 2 s\n", lost);
        desk.kill(SIGTERM);
        desk.waitForEnd(10s);
        status = 0;
    }
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return status;
}
