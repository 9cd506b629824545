// bench_desk: roomdesk (offscreen, its own folders) with one tarnsim on loopback, driven over OSC.
// This process also mirrors the simulator itself, as a second client of the speaker, so it sees
// when a change made through the desk has reached the speaker and can make changes at the speaker
// that must come back through the desk.
//
//   query            OSC query of a speaker parameter until the desk's answer arrives
//   set -> speaker   OSC set of "mute" until the simulator has it (seen by this process's mirror)
//   speaker -> watch a change of "polarity" at the simulator until the desk's watch reports it
//   round trip       the two legs above added up: a change made over OSC reaches the speaker, and
//                    the speaker's change comes back through the desk as a watched change
//   back to back     the same with no pause between the legs: the second leg then also waits for
//                    the desk to finish repainting after the first change
//
//     bench_desk [--count N]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "roomctl/DeskClient.h"
#include "roomctl/MirrorSession.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/IParameter.h"
#include "tests/common/ChildProcess.h"

namespace
{

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using NetworkTest::ChildProcess;
using Vellaris::Tools::DeskClient;
using Vellaris::Tools::DeskReply;
using Vellaris::Tools::MirrorSession;
namespace fs = std::filesystem;

constexpr const char* kSerial = "987654321";
constexpr int64_t kPauseMs = 10;
// Between a change through the desk and the next one at the speaker: the desk repaints its window
// after a change (in software when offscreen), and a packet that arrives meanwhile waits for it.
constexpr int64_t kSettleMs = 30;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* name, std::vector<double> times, const char* goal)
{
    if (times.empty())
    {
        std::printf("   %-18s no samples\n", name);
        return;
    }
    std::sort(times.begin(), times.end());
    size_t n = times.size();
    double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    double p99 = times[std::min(n - 1, size_t(std::ceil(0.99 * double(n))) - 1)];
    std::printf("   %-18s median %.2f ms, p99 %.2f ms, min %.2f ms (%zu samples)%s\n", name, median, p99,
                times.front(), n, goal);
}

// Waits for the desk's message at `address` whose text is `text`, blocked on the OSC socket alone
// (this process's own loop would sleep in the network library's wait and not see the answer at
// once); false when it did not come within 2 s.
bool awaitDesk(DeskClient& client, const std::string& address, const std::string& text)
{
    const auto deadline = Clock::now() + 2s;
    DeskReply reply;
    while (Clock::now() < deadline)
    {
        if (!client.receive(reply, 2000))
            return false;
        if (reply.path == address &&
            (text.empty() || (reply.arguments.size() == 2 && reply.arguments[1] == text)))
            return true;
    }
    return false;
}

// One round: "mute" set over OSC until this process's mirror sees it at the speaker (`toSpeaker`),
// then, after `settleMs`, "polarity" changed at the speaker until the desk's watch reports it
// (`fromSpeaker`). False when an answer did not come in 2 s.
bool setAndReturn(MirrorSession& session, DeskClient& client, const std::string& base,
                  Tessel::IParameter* mute, Tessel::IParameter* polarity, int64_t settleMs, double& toSpeaker,
                  double& fromSpeaker)
{
    const int64_t muteTarget = !mute->getValue().asInt();
    const int64_t polarityTarget = !polarity->getValue().asInt();
    session.getPlatform().runFor(kPauseMs);
    DeskReply reply;
    while (client.receive(reply, 0))
    {
    }
    auto start = Clock::now();
    client.send(base + "mute", {muteTarget ? "1" : "0"});
    if (!session.getPlatform().runUntil([&] { return mute->getValue().asInt() == muteTarget; }, 2000))
        return false;
    toSpeaker = msSince(start);
    if (settleMs > 0)
        session.getPlatform().runFor(settleMs);
    while (client.receive(reply, 0))
    {
    }
    start = Clock::now();
    polarity->setValue(Tessel::Variant((long long)polarityTarget), true);
    if (!awaitDesk(client, base + "polarity", polarity->toString()))
        return false;
    fromSpeaker = msSince(start);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int count = 200;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--count") == 0)
            count = std::max(1, std::atoi(argv[++i]));

    // A discovery port no socket holds now, so no other run's simulators join in.
    ::setenv("LKNET_DISCOVERY_PORT", std::to_string(NetworkTest::freeUdpPort(true)).c_str(), 1);
    ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
    const fs::path home = NetworkTest::usePrivateHome("bench-desk");
    const int port = NetworkTest::freeUdpPort();
    ::setenv("ROOMDESK_OSC_PORT", std::to_string(port).c_str(), 1);
    ::setenv("ROOMDESK_WEB_PORT", "0", 1); // the tablet remote stays off: parallel desks never share its port

    std::printf("== roomdesk remote control (OSC on 127.0.0.1:%d), one simulator, %d rounds\n", port, count);
    int status = 1;
    {
        ChildProcess simulator(TARNSIM_PATH, {"TX20A"});
        ChildProcess desk(ROOMDESK_PATH, {});
        MirrorSession session;
        DeskClient client;
        Vellaris::SpeakerNetworkItem* item = session.waitForSpeaker(kSerial, 15000);
        if (!session.isStarted() || !item || !client.open("127.0.0.1", port))
        {
            std::printf("   could not start: %s%s\n", session.getError().c_str(), client.getError().c_str());
            return 1;
        }
        const std::string base = std::string("/speaker/") + kSerial + "/line/ch1/";
        Tessel::IParameter* mute = MirrorSession::findParameter(item->getSpeakerComponent(), "line/ch1/mute");
        Tessel::IParameter* polarity =
            MirrorSession::findParameter(item->getSpeakerComponent(), "line/ch1/polarity");
        // The desk is ready once it answers for the speaker.
        bool ready = session.getPlatform().runUntil(
            [&]
            {
                DeskReply reply;
                client.send(base + "mute");
                return client.receive(reply, 100) && reply.path == base + "mute";
            },
            20000);
        if (!ready || !mute || !polarity)
        {
            std::printf("   the desk did not answer: %s\n", desk.errors().c_str());
            return 1;
        }
        client.send("/subscribe", {base + "polarity"});
        session.getPlatform().runFor(200);
        DeskReply drain;
        while (client.receive(drain, 0))
        {
        }

        std::vector<double> query, toSpeaker, fromSpeaker, roundTrip, loop;
        double leg2Unused = 0;
        int lost = 0;
        for (int i = 0; i < count; ++i)
        {
            client.send("/renew", {base + "polarity"}); // the watch lasts 10 s after a renewal
            session.getPlatform().runFor(kPauseMs);
            DeskReply reply;
            auto start = Clock::now();
            client.send(base + "mute");
            if (awaitDesk(client, base + "mute", ""))
                query.push_back(msSince(start));

            // Over OSC to the speaker; after a pause a change at the speaker back through the desk;
            // after another pause both back to back.
            double leg1 = 0, leg2 = 0, both = 0;
            if (!setAndReturn(session, client, base, mute, polarity, kSettleMs, leg1, leg2) ||
                !setAndReturn(session, client, base, mute, polarity, 0, both, leg2Unused))
            {
                ++lost;
                continue;
            }
            toSpeaker.push_back(leg1);
            fromSpeaker.push_back(leg2);
            roundTrip.push_back(leg1 + leg2);
            loop.push_back(both + leg2Unused);
        }
        report("query", query, "");
        report("set -> speaker", toSpeaker, "");
        report("speaker -> watch", fromSpeaker, "");
        report("round trip", roundTrip, " (goal: median < 2 ms)");
        report("back to back", loop, "");
        if (lost)
            std::printf("   %d rounds without an answer in 2 s\n", lost);
        client.send("/unsubscribe", {base + "polarity"});
        desk.kill(SIGTERM);
        desk.waitForEnd(10s);
        status = 0;
    }
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return status;
}
