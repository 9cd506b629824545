// roomdesk offscreen with two simulators in one room, driven only through "roomctl desk": a
// speaker's volume, a room step, a preset load and a removal from the room are undone one by one
// and made again, and each simulator is read with plain roomctl after every step.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "tests/common/ChildProcess.h"
#include "tests/common/Retry.h"

namespace
{

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
namespace fs = std::filesystem;

constexpr const char* kFront = "987654321"; // "tarnsim TX20A"
constexpr const char* kSub = "666666666";   // "tarnsim TX40S"
const std::string kApplication = "/roomdesk/Application/";
const std::string kGroups = "/roomdesk/VenueManager/activeVenue/RoomEditView/Groups/groupLines";
const std::string kVenueEntry =
    "/roomdesk/VenueManager/HistoryList/Undo Venue_{0123ABCD-0000-4000-8000-0000000000BB}/";

using NetworkTest::Outcome;

class UndoIntegration : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ::setenv("LKNET_DISCOVERY_PORT", std::to_string(NetworkTest::freeUdpPort(true)).c_str(), 1);
        ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
        home = NetworkTest::usePrivateHome("undo-it");
        port = NetworkTest::freeUdpPort();
        ::setenv("ROOMDESK_OSC_PORT", std::to_string(port).c_str(), 1);
        ::setenv("ROOMDESK_WEB_PORT", "0",
                 1); // the tablet remote stays off: parallel desks never share its port
        simulators.push_back(std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX20A"}));
        simulators.push_back(std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX40S"}));
        // Both speakers in the room "Stage", at -12 dB.
        const fs::path venues = home / "Documents" / "Vellaris" / "Ambrel" / "Venues";
        fs::create_directories(venues);
        auto position = [](const char* serial, int x)
        {
            return std::string(R"({"speakerID":")") + serial + R"(","locationX":)" + std::to_string(x) +
                   R"(,"locationY":0,"speaker":{"Speaker":{"line":{"ch1":{"volume":-12}}}}})";
        };
        std::ofstream(venues / "Undo Venue_{0123ABCD-0000-4000-8000-0000000000BB}.venue")
            << R"({"venueID":"{0123ABCD-0000-4000-8000-0000000000BB}","title":"Undo Venue","rooms":[)"
            << R"({"roomID":"{0123ABCD-0000-4000-8000-0000000000B1}","title":"Stage","groups":[{"type":3,)"
            << R"("positions":[)" << position(kFront, 0) << "," << position(kSub, 160) << "]}]}]}";
        desk = std::make_unique<ChildProcess>(ROOMDESK_PATH, std::vector<std::string>{});
        Outcome opened =
            deskUntil({"invoke", kVenueEntry + "loadVenue"}, [](const Outcome& r) { return r.status == 0; });
        if (opened.status != 0)
            ADD_FAILURE() << "the venue did not open: " << opened.err << "\ndesk: " << desk->errors();
    }

    static void TearDownTestSuite()
    {
        if (desk)
        {
            desk->kill(SIGTERM);
            desk->waitForEnd(10s);
        }
        desk.reset();
        simulators.clear();
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }

    static Outcome run(const char* program, const std::vector<std::string>& arguments)
    {
        Outcome result = NetworkTest::runToEnd(program, arguments);
        if (result.status == -1)
            ADD_FAILURE() << "did not end: " << arguments[0];
        return result;
    }
    static Outcome deskCommand(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"desk", "--port", std::to_string(port)});
        return run(ROOMCTL_PATH, arguments);
    }
    static Outcome deskUntil(const std::vector<std::string>& arguments,
                             const std::function<bool(const Outcome&)>& done)
    {
        return TestSupport::retryUntil<Outcome>([&] { return deskCommand(arguments); }, done);
    }
    // The volume the simulator `serial` holds, read through roomctl's own mirror, once it reads
    // `expected` (or the last reading after 20 s).
    static std::string volumeAt(const char* serial, const std::string& expected)
    {
        return TestSupport::retryUntil<Outcome>(
                   [&] {
                       return run(ROOMCTL_PATH, {"get", serial, "line/ch1/volume"});
                   },
                   [&](const Outcome& r) { return r.out == expected + "\n"; })
            .out;
    }
    static void expectVolumes(const std::string& front, const std::string& sub, const char* when)
    {
        EXPECT_EQ(volumeAt(kFront, front), front + "\n") << when;
        EXPECT_EQ(volumeAt(kSub, sub), sub + "\n") << when;
    }
    static std::string groups() { return deskCommand({"get", kGroups}).out; }
    static std::string undoName() { return deskCommand({"get", kApplication + "undoName"}).out; }
    static std::string redoName() { return deskCommand({"get", kApplication + "redoName"}).out; }
    static void invoke(const std::string& address)
    {
        Outcome done = deskCommand({"invoke", address});
        ASSERT_EQ(done.status, 0) << address << ": " << done.err;
    }

    static inline fs::path home;
    static inline int port = 0;
    static inline std::vector<std::unique_ptr<ChildProcess>> simulators;
    static inline std::unique_ptr<ChildProcess> desk;
};

TEST_F(UndoIntegration, FourEditsAreUndoneOneByOneAtTheSpeakersAndMadeAgain)
{
    Outcome listed = deskUntil({"list", "/speaker"},
                               [](const Outcome& r)
                               {
                                   return r.status == 0 && r.out.find(kFront) != std::string::npos &&
                                          r.out.find(kSub) != std::string::npos;
                               });
    ASSERT_EQ(listed.status, 0) << listed.err << "\ndesk: " << desk->errors();
    expectVolumes("-12.00 dB", "-12.00 dB", "as the venue put them");
    EXPECT_EQ(groups(), "3\tTops\t2\n");
    EXPECT_EQ(deskCommand({"invoke", kApplication + "undo"}).status, 3) << "nothing to undo in a fresh venue";

    // A preset of the sub at -30 dB, chosen by name; the sub back at -12 dB.
    const std::string sub = std::string("/speaker/") + kSub + "/line/ch1/volume";
    ASSERT_EQ(deskCommand({"set", std::string("/roomdesk/SpeakerNetwork/") + kSub + "/editSpeakerProps", "1"})
                  .status,
              0);
    ASSERT_EQ(deskCommand({"set", sub, "-30"}).status, 0);
    invoke("/roomdesk/Inspector/savePreset");
    ASSERT_EQ(deskCommand({"set", "/roomdesk/Inspector/newPresetName", "Quiet"}).status, 0);
    invoke("/roomdesk/Inspector/okPreset");
    ASSERT_EQ(deskCommand({"set", "/roomdesk/Inspector/selectedPreset", "Quiet"}).status, 0);
    ASSERT_EQ(deskCommand({"set", sub, "-12"}).status, 0);
    expectVolumes("-12.00 dB", "-12.00 dB", "before the edits");

    // The four edits.
    ASSERT_EQ(deskCommand({"set", std::string("/speaker/") + kFront + "/line/ch1/volume", "-6"}).status, 0);
    EXPECT_EQ(undoName(), "Volume TX20A\n");
    invoke("/roomdesk/VenueManager/activeVenue/activeRoom/roomVolumeUp");
    EXPECT_EQ(undoName(), "Room Volume Stage\n");
    expectVolumes("-5.00 dB", "-11.00 dB", "after the room step");
    invoke("/roomdesk/Inspector/loadPreset");
    EXPECT_EQ(undoName(), "Load Preset TX40S\n");
    expectVolumes("-5.00 dB", "-30.00 dB", "after the preset load");
    ASSERT_EQ(
        deskCommand({"set", std::string("/roomdesk/SpeakerNetwork/") + kSub + "/removeFromRoom", "1"}).status,
        0);
    EXPECT_EQ(deskUntil({"get", kGroups}, [](const Outcome& r) { return r.out == "3\tTops\t1\n"; }).out,
              "3\tTops\t1\n");
    EXPECT_EQ(undoName(), std::string("Remove Speaker ") + kSub + "\n");

    // Undone one by one.
    invoke(kApplication + "undo");
    EXPECT_EQ(groups(), "3\tTops\t2\n") << "the sub is back in its group";
    EXPECT_EQ(redoName(), std::string("Remove Speaker ") + kSub + "\n");
    expectVolumes("-5.00 dB", "-30.00 dB", "after undoing the removal");
    invoke(kApplication + "undo");
    expectVolumes("-5.00 dB", "-11.00 dB", "after undoing the preset load");
    invoke(kApplication + "undo");
    expectVolumes("-6.00 dB", "-12.00 dB", "after undoing the room step");
    invoke(kApplication + "undo");
    expectVolumes("-12.00 dB", "-12.00 dB", "after undoing the first volume");
    EXPECT_EQ(redoName(), "Volume TX20A\n");

    // And made again.
    for (int i = 0; i < 4; ++i)
        invoke(kApplication + "redo");
    expectVolumes("-5.00 dB", "-30.00 dB", "after redoing all four");
    EXPECT_EQ(groups(), "3\tTops\t1\n");
    EXPECT_EQ(redoName(), "\n");
    EXPECT_EQ(deskCommand({"invoke", kApplication + "redo"}).status, 3) << "nothing left to redo";
}

} // namespace
