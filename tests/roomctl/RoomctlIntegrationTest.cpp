// Mirrors of real simulators in separate processes: roomctl and an in-process roomdesk core follow
// each other's changes; a killed simulator leaves the list and a restarted one comes back in step;
// roomctl's exit statuses.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/CommandMsg.h"
#include "tessel/IParameter.h"
#include "tests/common/ChildProcess.h"
#include "roomctl/MirrorSession.h"

namespace
{

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
using Vellaris::SpeakerNetworkItem;
using Vellaris::Tools::MirrorSession;

constexpr const char* kSerial = "987654321"; // what "tarnsim TX20A" announces

class RoomctlIntegration : public ::testing::Test
{
protected:
    RoomctlIntegration()
    {
        NetworkTest::useNewDiscoveryScope();
        session = std::make_unique<MirrorSession>();
    }
    ~RoomctlIntegration() override { session.reset(); }

    std::unique_ptr<ChildProcess> startSimulator()
    {
        return std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX20A"});
    }

    // Runs roomctl to its end while the in-process mirror keeps working.
    std::unique_ptr<ChildProcess> roomctl(const std::vector<std::string>& arguments)
    {
        auto child = std::make_unique<ChildProcess>(ROOMCTL_PATH, arguments);
        bool ended = child->waitForEnd(20s, [this] { session->getPlatform().runFor(5); });
        EXPECT_TRUE(ended) << "roomctl did not end";
        return child;
    }

    SpeakerNetworkItem* waitForSpeaker() { return session->waitForSpeaker(kSerial, 10000); }

    // The mirrored parameters as "path\ttext" lines, meters left out (they move all the time).
    static std::string steadyLines(const std::string& dump)
    {
        std::istringstream in(dump);
        std::string line, kept;
        while (std::getline(in, line))
            if (line.find("meter") == std::string::npos && line.find("temperature") == std::string::npos)
                kept += line + "\n";
        return kept;
    }
    std::string localDump(SpeakerNetworkItem* item) const
    {
        std::string text;
        Vellaris::SpeakerComponent* speaker = item->getSpeakerComponent();
        for (Tessel::IParameter* param : MirrorSession::mirroredParameters(speaker))
            text += MirrorSession::pathOf(speaker, param) + "\t" + param->toString() + "\n";
        return text;
    }

    std::unique_ptr<MirrorSession> session;
};

TEST_F(RoomctlIntegration, ChangeThroughOneMirrorArrivesInTheOther)
{
    ASSERT_TRUE(session->isStarted());
    auto simulator = startSimulator();
    SpeakerNetworkItem* item = waitForSpeaker();
    ASSERT_NE(item, nullptr);
    Tessel::IParameter* nickname = item->getSpeakerComponent()->findParameter("nickname");

    // roomctl (another process, another mirror) changes it; this mirror follows.
    auto set = roomctl({"set", kSerial, "Speaker/nickname", "Foyer left"});
    EXPECT_EQ(set->exitStatus(), 0) << set->errors();
    EXPECT_EQ(set->output(), "Foyer left\n");
    EXPECT_TRUE(session->getPlatform().runUntil([&] { return nickname->toString() == "Foyer left"; }, 5000));

    // This mirror changes it; roomctl reads the new value.
    nickname->setValue(Tessel::Variant("Balcony"), true);
    Tessel::IParameter* contour = item->getSpeakerComponent()->findParameter("contour");
    ASSERT_TRUE(session->changeAndWaitForEcho(contour, Tessel::Variant(1), 5000));
    auto get = roomctl({"get", kSerial, "nickname"});
    EXPECT_EQ(get->exitStatus(), 0) << get->errors();
    EXPECT_EQ(get->output(), "Balcony\n");
    auto getContour = roomctl({"get", kSerial, "contour"});
    EXPECT_EQ(getContour->output(), contour->toString() + "\n");
}

TEST_F(RoomctlIntegration, KilledSimulatorLeavesAndARestartedOneComesBackInStep)
{
    ASSERT_TRUE(session->isStarted());
    auto simulator = startSimulator();
    SpeakerNetworkItem* item = waitForSpeaker();
    ASSERT_NE(item, nullptr);
    Tessel::SharedPtr<SpeakerNetworkItem> first = Tessel::retained(item);

    simulator->kill(SIGKILL);
    ASSERT_TRUE(simulator->waitForEnd(5s));
    EXPECT_TRUE(
        session->getPlatform().runUntil([&] { return session->findSpeaker(kSerial) == nullptr; }, 15000));
    EXPECT_EQ(first->getOwner(), nullptr);

    auto restarted = startSimulator();
    SpeakerNetworkItem* again = waitForSpeaker();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first.get());
    // The mirror holds what the speaker holds: the same as a fresh mirror in another process sees.
    auto dump = roomctl({"dump", kSerial});
    ASSERT_EQ(dump->exitStatus(), 0) << dump->errors();
    EXPECT_EQ(steadyLines(localDump(again)), steadyLines(dump->output()));
    EXPECT_GT(steadyLines(dump->output()).size(), 1000u);
}

TEST_F(RoomctlIntegration, BrokenConnectionsAreShownAndTheMirrorSubscribesAgain)
{
    ASSERT_TRUE(session->isStarted());
    auto simulator = startSimulator();
    SpeakerNetworkItem* item = waitForSpeaker();
    ASSERT_NE(item, nullptr);
    Vellaris::SpeakerNetworkManager& manager = session->getManager();
    Tessel::IParameter* errorState = manager.findParameter("errorState");

    ASSERT_TRUE(manager.interpretCommand(Tessel::CommandMsg("Network", "Simulate Errors")));
    ASSERT_TRUE(session->getPlatform().runUntil([&] { return errorState->getValue().asInt() == 1; }, 10000));
    EXPECT_EQ(
        manager.findParameter("errorMessage")->toString().rfind("Limited or no connectivity to \"TX20A ", 0),
        0u)
        << manager.findParameter("errorMessage")->toString();

    // Once the link is back the mirror has subscribed again and follows the speaker.
    Tessel::IParameter* nickname = item->getSpeakerComponent()->findParameter("nickname");
    auto set = roomctl({"set", kSerial, "nickname", "After the break"});
    ASSERT_EQ(set->exitStatus(), 0) << set->errors();
    EXPECT_TRUE(
        session->getPlatform().runUntil([&] { return nickname->toString() == "After the break"; }, 10000));
    EXPECT_EQ(session->findSpeaker(kSerial), item);

    manager.findParameter("rescanAll")->setValue(Tessel::Variant(1));
    EXPECT_EQ(errorState->getValue().asInt(), 0);
}

TEST_F(RoomctlIntegration, ExitStatusesTellWhatWentWrong)
{
    ASSERT_TRUE(session->isStarted());
    auto simulator = startSimulator();
    ASSERT_NE(waitForSpeaker(), nullptr);

    auto list = roomctl({"list", "--wait", "1"});
    EXPECT_EQ(list->exitStatus(), 0);
    EXPECT_EQ(list->output().rfind(std::string(kSerial) + "\tTX20A\t\t", 0), 0u) << list->output();

    EXPECT_EQ(roomctl({"--help"})->exitStatus(), 0);
    auto noCommand = roomctl({});
    EXPECT_EQ(noCommand->exitStatus(), 2);
    EXPECT_NE(noCommand->errors().find("no command"), std::string::npos);
    EXPECT_EQ(roomctl({"get", kSerial})->exitStatus(), 2);
    EXPECT_EQ(roomctl({"ping", kSerial, "--count", "0"})->exitStatus(), 2);

    auto missing = roomctl({"--timeout", "0.5", "get", "000000000", "nickname"});
    EXPECT_EQ(missing->exitStatus(), 1);
    EXPECT_NE(missing->errors().find("000000000"), std::string::npos);

    EXPECT_EQ(roomctl({"get", kSerial, "line/ch9/volume"})->exitStatus(), 3);
    EXPECT_EQ(roomctl({"set", kSerial, "contour", "Sideways"})->exitStatus(), 3);

    auto ping = roomctl({"ping", kSerial, "--count", "5"});
    EXPECT_EQ(ping->exitStatus(), 0) << ping->errors();
    EXPECT_EQ(ping->output().rfind("min ", 0), 0u) << ping->output();
}

// Setting what the speaker already holds is no failure, though the speaker answers nothing.
TEST_F(RoomctlIntegration, SettingTheValueTheSpeakerHoldsSucceeds)
{
    ASSERT_TRUE(session->isStarted());
    auto simulator = startSimulator();
    ASSERT_NE(waitForSpeaker(), nullptr);
    for (const char* text : {"On", "On", "Off", "Off"})
    {
        auto set = roomctl({"--timeout", "3", "set", kSerial, "line/ch1/mute", text});
        EXPECT_EQ(set->exitStatus(), 0) << text << ": " << set->errors();
        EXPECT_EQ(set->output(), std::string(text) + "\n");
    }
    auto clamped = roomctl({"--timeout", "3", "set", kSerial, "line/ch1/delay", "-12"});
    EXPECT_EQ(clamped->exitStatus(), 0) << clamped->errors();
    // What comes back through the single-precision normalised value is a hair off the text's.
    for (const char* path : {"line/ch1/volume", "limit/threshold", "notch/notchgain2"})
        for (int again = 0; again < 2; ++again)
        {
            auto set = roomctl({"--timeout", "3", "set", kSerial, path, "-4"});
            EXPECT_EQ(set->exitStatus(), 0) << path << ": " << set->errors();
        }
}

} // namespace

// "watch --stamp" tells when each change arrived, on the monotonic clock every process shares.
TEST_F(RoomctlIntegration, StampedWatchLinesTellWhenTheChangeArrived)
{
    auto simulator = startSimulator();
    SpeakerNetworkItem* item = waitForSpeaker();
    ASSERT_NE(item, nullptr);
    Tessel::IParameter* nickname = item->getSpeakerComponent()->findParameter("nickname");
    ChildProcess watch(ROOMCTL_PATH, {"watch", kSerial, "--stamp", "--for", "20"});
    auto micros = []
    {
        return (long long)std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    // The watch is ready once it shows a change.
    bool ready = false;
    for (int attempt = 0; attempt < 100 && !ready; ++attempt)
    {
        const std::string name = "Ready " + std::to_string(attempt);
        ASSERT_TRUE(session->changeAndWaitForEcho(nickname, Tessel::Variant(name), 5000));
        ready = session->getPlatform().runUntil(
            [&] { return watch.output().find("nickname\t" + name + "\t") != std::string::npos; }, 100);
    }
    ASSERT_TRUE(ready) << watch.errors();

    const long long before = micros();
    ASSERT_TRUE(session->changeAndWaitForEcho(nickname, Tessel::Variant("Stamped"), 5000));
    const std::string prefix = "nickname\tStamped\t";
    ASSERT_TRUE(session->getPlatform().runUntil(
        [&] { return watch.output().find(prefix) != std::string::npos; }, 5000));
    const long long after = micros();
    const std::string out = watch.output();
    const size_t at = out.find(prefix) + prefix.size();
    const std::string stamp = out.substr(at, out.find('\n', at) - at);
    ASSERT_FALSE(stamp.empty());
    EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << stamp;
    const long long arrived = std::atoll(stamp.c_str());
    EXPECT_GE(arrived, before);
    EXPECT_LE(arrived, after);
    watch.kill(SIGINT);
}
