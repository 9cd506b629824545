// roomdesk offscreen with two simulators, driven only through "roomctl desk": browsing, selecting
// a speaker, setting and watching its volume, a speaker command, and the desk's refusals. The
// simulators' side is read with plain roomctl, a mirror of its own.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/Retry.h"

namespace
{

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
namespace fs = std::filesystem;

constexpr const char* kSerial = "987654321"; // what "tarnsim TX20A" announces
const std::string kVolume = std::string("/speaker/") + kSerial + "/line/ch1/volume";
constexpr const char* kOtherSerial = "666666666"; // "tarnsim TX40S"
// The entry of the venue that writeVenue() leaves in the desk's venue folder.
const std::string kVenueEntry =
    "/roomdesk/VenueManager/HistoryList/Desk Venue_{0123ABCD-0000-4000-8000-0000000000AA}/";

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

using NetworkTest::Outcome;

class DeskIntegration : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // A discovery port that no socket on this computer holds now: ports picked by process
        // number alone meet other test runs' now and then, and their speakers would join in.
        ::setenv("LKNET_DISCOVERY_PORT", std::to_string(NetworkTest::freeUdpPort(true)).c_str(), 1);
        ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
        // The desk's own folders and lock, never the user's; its own OSC port.
        home = NetworkTest::usePrivateHome("desk-it");
        port = NetworkTest::freeUdpPort();
        ::setenv("ROOMDESK_OSC_PORT", std::to_string(port).c_str(), 1);
        ::setenv("ROOMDESK_WEB_PORT", "0",
                 1); // the tablet remote stays off: parallel desks never share its port

        // Each simulator sees its own Wi-Fi networks; only "Venue" is seen by both.
        ::setenv("TARNSIM_WIFI", "Venue<&#&>70<&#&>locked;Backstage<&#&>50<&#&>open", 1);
        simulators.push_back(std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX20A"}));
        ::setenv("TARNSIM_WIFI", "Venue<&#&>40<&#&>locked;Office<&#&>90<&#&>locked", 1);
        simulators.push_back(std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX40S"}));
        ::unsetenv("TARNSIM_WIFI");
        writeVenue();
        desk = std::make_unique<ChildProcess>(ROOMDESK_PATH, std::vector<std::string>{});
        // The desk starts on its start page; the venue is opened from its list.
        Outcome opened =
            deskUntil({"invoke", kVenueEntry + "loadVenue"}, [](const Outcome& r) { return r.status == 0; });
        if (opened.status != 0)
            ADD_FAILURE() << "the venue did not open: " << opened.err << "\ndesk: " << desk->errors();
    }

    // A venue for the desk to open: the first simulator alone in the room "Stage" at -12 dB, the
    // second in "Bar".
    static void writeVenue()
    {
        const fs::path venues = home / "Documents" / "Vellaris" / "Ambrel" / "Venues";
        fs::create_directories(venues);
        std::ofstream(venues / "Desk Venue_{0123ABCD-0000-4000-8000-0000000000AA}.venue")
            << R"({"venueID":"{0123ABCD-0000-4000-8000-0000000000AA}","title":"Desk Venue","rooms":[)"
            << R"({"roomID":"{0123ABCD-0000-4000-8000-0000000000A1}","title":"Stage","groups":[{"type":3,)"
            << R"("positions":[{"speakerID":")" << kSerial
            << R"(","speaker":{"Speaker":{"line":{"ch1":{"volume":-12}}}}}]}]},)"
            << R"({"roomID":"{0123ABCD-0000-4000-8000-0000000000A2}","title":"Bar","groups":[{"type":3,)"
            << R"("positions":[{"speakerID":")" << kOtherSerial << R"(","speaker":{}}]}]}]})";
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

    // Runs a program to its end.
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
    // Asks again until `done` holds or 20 s passed; the last run is returned.
    static Outcome deskUntil(const std::vector<std::string>& arguments,
                             const std::function<bool(const Outcome&)>& done)
    {
        return TestSupport::retryUntil<Outcome>([&] { return deskCommand(arguments); }, done);
    }
    // The text at the simulator, read through a mirror of roomctl's own.
    static std::string atSimulator(const std::string& path)
    {
        Outcome get = run(ROOMCTL_PATH, {"get", kSerial, path});
        EXPECT_EQ(get.status, 0) << get.err;
        return get.out;
    }
    // Waits until the desk lists both simulators and has the first one's state.
    static void waitForSpeakers()
    {
        Outcome list = deskUntil({"list", "/speaker"},
                                 [](const Outcome& r) { return r.status == 0 && lines(r.out).size() == 2; });
        ASSERT_EQ(lines(list.out).size(), 2u) << list.out << list.err << "\ndesk: " << desk->errors();
        Outcome volume = deskUntil({"get", kVolume}, [](const Outcome& r) { return r.status == 0; });
        ASSERT_EQ(volume.status, 0) << volume.err;
    }

    static inline fs::path home;
    static inline int port = 0;
    static inline std::vector<std::unique_ptr<ChildProcess>> simulators;
    static inline std::unique_ptr<ChildProcess> desk;
};

// First, while the speakers still hold what the venue gave them.
TEST_F(DeskIntegration, TheReopenedVenueDrivesItsActiveRoom)
{
    waitForSpeakers();
    const std::string venue = "/roomdesk/VenueManager/activeVenue/";
    const std::string room = venue + "activeRoom/";
    EXPECT_EQ(deskCommand({"get", venue + "venueName"}).out, "Desk Venue\n");
    EXPECT_EQ(deskCommand({"get", venue + "roomList"}).out, "Stage\n");
    // Loading the venue pushed the stored volume onto the speaker placed in it.
    Outcome stored = deskUntil({"get", kVolume}, [](const Outcome& r) { return r.out == "-12.00 dB\n"; });
    EXPECT_EQ(stored.out, "-12.00 dB\n");
    EXPECT_EQ(atSimulator("line/ch1/volume"), "-12.00 dB\n");

    // A room step reaches the room's speaker.
    ASSERT_EQ(deskCommand({"invoke", room + "roomVolumeUp"}).status, 0);
    deskUntil({"get", kVolume}, [](const Outcome& r) { return r.out == "-11.00 dB\n"; });
    EXPECT_EQ(atSimulator("line/ch1/volume"), "-11.00 dB\n");

    // Mute all mutes the active room only, and unmuting brings it back.
    ASSERT_EQ(deskCommand({"set", room + "muteAll", "1"}).status, 0);
    const std::string mute = std::string("/speaker/") + kSerial + "/line/ch1/mute";
    deskUntil({"get", mute}, [](const Outcome& r) { return r.out == "On\n"; });
    EXPECT_EQ(atSimulator("line/ch1/mute"), "On\n");
    EXPECT_EQ(run(ROOMCTL_PATH, {"get", kOtherSerial, "line/ch1/mute"}).out, "Off\n") << "another room";
    ASSERT_EQ(deskCommand({"set", room + "muteAll", "0"}).status, 0);
    deskUntil({"get", mute}, [](const Outcome& r) { return r.out == "Off\n"; });
    EXPECT_EQ(atSimulator("line/ch1/mute"), "Off\n");
}

TEST_F(DeskIntegration, BrowseTheDeskAndItsSpeakers)
{
    waitForSpeakers();
    Outcome top = deskCommand({"list", "/roomdesk"});
    ASSERT_EQ(top.status, 0) << top.err;
    for (const char* child : {"Application/", "SpeakerNetwork/", "VenueManager/", "Inspector/"})
        EXPECT_TRUE(contains(top.out, std::string(child) + "\n")) << child << " in\n" << top.out;
    Outcome speakers = deskCommand({"list", "/speaker"});
    EXPECT_TRUE(contains(speakers.out, std::string(kSerial) + "/\n")) << speakers.out;
    Outcome channel = deskCommand({"list", std::string("/speaker/") + kSerial + "/line/ch1"});
    EXPECT_TRUE(contains(channel.out, "volume\n")) << channel.out;
    EXPECT_TRUE(contains(channel.out, "eq/\n")) << channel.out;

    Outcome where = deskCommand({"get", "/roomdesk/Application/oscListening"});
    EXPECT_EQ(where.out, "127.0.0.1:" + std::to_string(port) + "\n");
    // The same parameter by its skin path and with the speaker's own name in front.
    Outcome bySkin = deskCommand(
        {"get", std::string("/roomdesk/SpeakerNetwork/") + kSerial + "//Speaker/line/ch1/volume"});
    Outcome byName = deskCommand({"get", std::string("/speaker/") + kSerial + "/Speaker/line/ch1/volume"});
    EXPECT_EQ(bySkin.status, 0) << bySkin.err;
    EXPECT_EQ(bySkin.out, byName.out);
}

TEST_F(DeskIntegration, SelectASpeakerAndDriveItsVolumeByText)
{
    waitForSpeakers();
    Outcome select =
        deskCommand({"set", std::string("/roomdesk/SpeakerNetwork/") + kSerial + "/editSpeakerProps", "1"});
    EXPECT_EQ(select.status, 0) << select.err;
    Outcome wink = deskCommand({"get", std::string("/speaker/") + kSerial + "/wink"});
    EXPECT_EQ(wink.out, "On\n");

    Outcome set = deskCommand({"set", kVolume, "-6"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "-6.00 dB\n");
    EXPECT_EQ(atSimulator("line/ch1/volume"), "-6.00 dB\n");

    // A speaker command through the desk reaches the speaker too.
    Outcome up = deskCommand({"invoke", std::string("/speaker/") + kSerial + "/volumeUp"});
    EXPECT_EQ(up.status, 0) << up.err;
    Outcome after = deskUntil({"get", kVolume}, [](const Outcome& r) { return r.out != "-6.00 dB\n"; });
    EXPECT_NE(after.out, "-6.00 dB\n");
    EXPECT_EQ(atSimulator("line/ch1/volume"), after.out);
}

TEST_F(DeskIntegration, WatchSeesAChangeMadeElsewhere)
{
    waitForSpeakers();
    // The delay, which nothing here sets through the desk: for a second after the desk's own
    // gesture on a parameter, its mirror holds that parameter against values from the speaker.
    const std::string delay = std::string("/speaker/") + kSerial + "/line/ch1/delay";
    Outcome before = deskCommand({"get", delay});
    ASSERT_EQ(before.status, 0) << before.err;
    ChildProcess watch(ROOMCTL_PATH, {"desk", "--port", std::to_string(port), "watch", delay, "--for", "30"});
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!contains(watch.output(), "\n") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(watch.output(), delay + "\t" + before.out);

    // Another mirror changes the speaker; the desk follows, and its watcher hears it.
    Outcome set =
        run(ROOMCTL_PATH, {"set", kSerial, "line/ch1/delay", before.out == "5.00 ms\n" ? "7" : "5"});
    ASSERT_EQ(set.status, 0) << set.err;
    ASSERT_NE(set.out, before.out);
    while (!contains(watch.output(), set.out) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(watch.output(), delay + "\t" + before.out + delay + "\t" + set.out);
    watch.kill(SIGTERM);
    EXPECT_TRUE(watch.waitForEnd(5s));
    EXPECT_EQ(watch.exitStatus(), 0);
}

TEST_F(DeskIntegration, AnEqualiserBandSetThroughTheDeskShowsInItsSelectionAndCurve)
{
    waitForSpeakers();
    const std::string eq = std::string("/speaker/") + kSerial + "/line/ch1/eq/";
    const std::string compeq = std::string("/speaker/") + kSerial + "/compeq/";
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"eqallon", "1"}, {"eqbandon4", "1"}, {"eqfreq4", "1000"}, {"eqgain4", "-6"}})
        ASSERT_EQ(deskCommand({"set", eq + name, value}).status, 0) << name;
    deskUntil({"get", eq + "eqgain4"}, [](const Outcome& r) { return r.out == "-6.00 dB\n"; });
    EXPECT_EQ(atSimulator("line/ch1/eq/eqgain4"), "-6.00 dB\n");

    // Selecting composite band 3 (parametric band 4) points the band inspector's parameters at it.
    ASSERT_EQ(deskCommand({"set", compeq + "currentBand", "3"}).status, 0);
    EXPECT_EQ(
        deskUntil({"get", compeq + "selectedGain"}, [](const Outcome& r) { return r.out == "-6.00 dB\n"; })
            .out,
        "-6.00 dB\n");
    EXPECT_EQ(deskCommand({"get", compeq + "selectedFreq"}).out, "1.00 kHz\n");

    // The speaker's curve, as another mirror computes it, dips by the band's gain at its frequency.
    Outcome curve = run(ROOMCTL_PATH, {"curve", kSerial, "eq", "--band", "3", "--points", "512"});
    ASSERT_EQ(curve.status, 0) << curve.err;
    double deepest = 0;
    for (const std::string& line : lines(curve.out))
        deepest = std::min(deepest, std::strtod(line.c_str() + line.find('\t') + 1, nullptr));
    EXPECT_NEAR(deepest, -6.0, 0.2);
}

TEST_F(DeskIntegration, BadAddressesAndValuesAreRefusedWithAReason)
{
    waitForSpeakers();
    ASSERT_EQ(deskCommand({"set", kVolume, "-9"}).status, 0);
    Outcome unknown = deskCommand({"get", "/roomdesk/NoSuchComponent/volume"});
    EXPECT_EQ(unknown.status, 3);
    EXPECT_TRUE(contains(unknown.err, "nothing at this address")) << unknown.err;
    Outcome noSpeaker = deskCommand({"get", "/speaker/111111111/line/ch1/volume"});
    EXPECT_EQ(noSpeaker.status, 3);
    EXPECT_TRUE(contains(noSpeaker.err, "111111111")) << noSpeaker.err;

    Outcome badValue = deskCommand({"set", kVolume, "loud"});
    EXPECT_EQ(badValue.status, 3);
    EXPECT_TRUE(contains(badValue.err, "\"loud\" is not a value")) << badValue.err;
    EXPECT_EQ(deskCommand({"get", kVolume}).out, "-9.00 dB\n");
    EXPECT_EQ(atSimulator("line/ch1/volume"), "-9.00 dB\n");

    Outcome notACommand = deskCommand({"invoke", kVolume});
    EXPECT_EQ(notACommand.status, 3);

    // No desk on a port: exit 1 after the answer time.
    Outcome nobody =
        run(ROOMCTL_PATH, {"desk", "--port", std::to_string(NetworkTest::freeUdpPort()), "get", kVolume});
    EXPECT_EQ(nobody.status, 1);
    Outcome usage = run(ROOMCTL_PATH, {"desk", "get"});
    EXPECT_EQ(usage.status, 2);
    // The desk is still there.
    EXPECT_FALSE(desk->hasEnded()) << desk->errors();
}

// The floor plan through the remote control: the second speaker leaves its room, a Subs group is
// made in the active room and the speaker is placed into it by its serial number.
TEST_F(DeskIntegration, ASpeakerIsPlacedIntoANewGroupThroughTheRoomEditor)
{
    waitForSpeakers();
    const std::string editor = "/roomdesk/VenueManager/activeVenue/RoomEditView/";
    ASSERT_EQ(
        deskCommand({"set", std::string("/roomdesk/SpeakerNetwork/") + kOtherSerial + "/removeFromRoom", "1"})
            .status,
        0);
    ASSERT_EQ(deskCommand({"set", editor + "Groups/addGroup", "1"}).status, 0);
    Outcome placed = deskCommand({"set", editor + "placeSpeaker", kOtherSerial});
    ASSERT_EQ(placed.status, 0) << placed.err;
    Outcome groups = deskCommand({"get", editor + "Groups/groupLines"});
    EXPECT_TRUE(contains(groups.out, "1\tSubs\t1")) << groups.out;
    // A newly placed speaker winks.
    Outcome wink = deskUntil({"get", std::string("/speaker/") + kOtherSerial + "/wink"},
                             [](const Outcome& r) { return r.out == "On\n"; });
    EXPECT_EQ(wink.out, "On\n");
}

// Presets through the remote control: a preset saved from a speaker whose EQ is on is chosen by
// name and loaded onto a speaker whose EQ is off, which then plays its bands switched on; then the
// preset is deleted. The master's GEQ presets go the same way.
TEST_F(DeskIntegration, APresetChosenByNameArrivesWithItsEqSwitchedOn)
{
    waitForSpeakers();
    const std::string inspector = "/roomdesk/Inspector/";
    const std::string source = std::string("/speaker/") + kSerial + "/line/ch1/eq/";
    const std::string target = std::string("/speaker/") + kOtherSerial + "/line/ch1/eq/";
    ASSERT_EQ(deskCommand({"set", source + "eqallon", "1"}).status, 0);
    ASSERT_EQ(deskCommand({"set", source + "eqgain2", "4"}).status, 0);
    ASSERT_EQ(deskCommand({"set", target + "eqallon", "0"}).status, 0);
    const auto targetEqOn = [] { return run(ROOMCTL_PATH, {"get", kOtherSerial, "eq/eqallon"}); };
    ASSERT_EQ(
        TestSupport::retryUntil<Outcome>(targetEqOn, [](const Outcome& r) { return r.out == "Off\n"; }).out,
        "Off\n");

    auto select = [&](const char* serial)
    {
        ASSERT_EQ(
            deskCommand({"set", std::string("/roomdesk/SpeakerNetwork/") + serial + "/editSpeakerProps", "1"})
                .status,
            0);
        const std::string item = std::string("SpeakerNetwork/") + serial + "\n";
        EXPECT_EQ(
            deskUntil({"get", inspector + "speakerItem"}, [&](const Outcome& r) { return r.out == item; })
                .out,
            item);
    };
    select(kSerial);
    ASSERT_EQ(deskCommand({"invoke", inspector + "savePreset"}).status, 0);
    ASSERT_EQ(deskCommand({"set", inspector + "newPresetName", "Show EQ"}).status, 0);
    ASSERT_EQ(deskCommand({"invoke", inspector + "okPreset"}).status, 0);
    const fs::path file = home / "Documents" / "Vellaris" / "Ambrel" / "Presets" / "spk" / "Show EQ.spk";
    ASSERT_TRUE(fs::exists(file));

    select(kOtherSerial);
    Outcome missing = deskCommand({"set", inspector + "selectedPreset", "No Such Preset"});
    EXPECT_EQ(missing.status, 3) << missing.out;
    Outcome chosen = deskCommand({"set", inspector + "selectedPreset", "Show EQ"});
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.out, "Show EQ\n");
    ASSERT_EQ(deskCommand({"invoke", inspector + "loadPreset"}).status, 0);
    Outcome switched =
        TestSupport::retryUntil<Outcome>(targetEqOn, [](const Outcome& r) { return r.out == "On\n"; });
    EXPECT_EQ(switched.out, "On\n") << "the preset's EQ arrives switched on at the speaker";
    EXPECT_EQ(run(ROOMCTL_PATH, {"get", kOtherSerial, "eq/eqgain2"}).out, "4.00 dB\n");

    ASSERT_EQ(deskCommand({"invoke", inspector + "deletePreset"}).status, 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(deskCommand({"get", inspector + "selectedPreset"}).out, "\n");
    EXPECT_EQ(deskCommand({"invoke", inspector + "deletePreset"}).status, 3) << "nothing chosen";

    // The master's GEQ presets of the active room.
    const std::string master = "/roomdesk/MasterInspector/";
    const std::string band = "/roomdesk/VenueManager/activeVenue/activeRoom/Master/geq/gain18";
    ASSERT_EQ(deskCommand({"set", band, "5"}).status, 0);
    ASSERT_EQ(deskCommand({"invoke", master + "saveGEQPreset"}).status, 0);
    ASSERT_EQ(deskCommand({"set", master + "newPresetName", "Warm"}).status, 0);
    ASSERT_EQ(deskCommand({"invoke", master + "okGEQPreset"}).status, 0);
    ASSERT_EQ(deskCommand({"set", band, "0"}).status, 0);
    ASSERT_EQ(deskCommand({"set", master + "selectedPreset", "Warm"}).status, 0);
    ASSERT_EQ(deskCommand({"invoke", master + "loadGEQPreset"}).status, 0);
    EXPECT_EQ(deskCommand({"get", band}).out, "5.00 dB\n");
    ASSERT_EQ(deskCommand({"invoke", master + "deleteGEQPreset"}).status, 0);
    EXPECT_FALSE(fs::exists(home / "Documents" / "Vellaris" / "Ambrel" / "Presets" / "geq" / "Warm.geq"));
}

// Last: the join takes both simulators off the network for a moment.
TEST_F(DeskIntegration, WifiSetupMergesTheNetworksAndAJoinReachesBothSimulators)
{
    waitForSpeakers();
    const std::string setup = "/roomdesk/NetworkSetupManager/";
    ASSERT_EQ(deskCommand({"set", "/roomdesk/VenueManager/showNetwork", "1"}).status, 0);
    // The merged list follows the reports within 10 s: the common network first, then by strength.
    Outcome last =
        deskUntil({"get", setup + "wifiList/2/title"}, [](const Outcome& r) { return r.status == 0; });
    ASSERT_EQ(last.status, 0) << last.err;
    EXPECT_EQ(deskCommand({"get", setup + "wifiList/0/title"}).out, "Venue\n");
    EXPECT_EQ(deskCommand({"get", setup + "wifiList/1/title"}).out, "Office\n");
    EXPECT_EQ(last.out, "Backstage\n");
    EXPECT_EQ(deskCommand({"get", setup + "wifiList/0/common"}).out, "On\n");
    EXPECT_EQ(deskCommand({"get", setup + "wifiList/1/common"}).out, "Off\n");

    ASSERT_EQ(deskCommand({"set", setup + "ssid", "Venue"}).status, 0);
    ASSERT_EQ(deskCommand({"set", setup + "password", "desk-pw-123"}).status, 0);
    Outcome join = deskCommand({"invoke", setup + "passwordJoin"});
    ASSERT_EQ(join.status, 0) << join.err;
    // The password is write-only for remotes: never read back, before or after the join.
    Outcome password = deskCommand({"get", setup + "password"});
    EXPECT_EQ(password.status, 3);
    EXPECT_TRUE(contains(password.err, "write-only")) << password.err;
    EXPECT_FALSE(contains(password.out + password.err, "desk-pw-123"));

    const auto deadline = std::chrono::steady_clock::now() + 20s;
    auto allBack = [&]
    {
        for (const auto& simulator : simulators)
            if (!contains(simulator->output(), "Back on the network"))
                return false;
        return true;
    };
    while (!allBack() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    for (const auto& simulator : simulators)
    {
        EXPECT_TRUE(contains(simulator->output(), "Joining Wi-Fi network \"Venue\"")) << simulator->output();
        EXPECT_TRUE(contains(simulator->output(), "Back on the network")) << simulator->output();
        EXPECT_FALSE(contains(simulator->output() + simulator->errors(), "desk-pw-123"));
    }
    EXPECT_FALSE(contains(desk->output() + desk->errors(), "desk-pw-123"));
    Outcome ssid = deskUntil({"get", std::string("/speaker/") + kSerial + "/current_ssid"},
                             [](const Outcome& r) { return r.out == "Venue\n"; });
    EXPECT_EQ(ssid.out, "Venue\n") << ssid.err;
    ASSERT_EQ(deskCommand({"set", "/roomdesk/VenueManager/showNetwork", "0"}).status, 0);
}

// The venue list through the remote control: the venue written before the start is listed, a new
// venue is made and named in its editor, and once opened and changed it is written by itself.
TEST_F(DeskIntegration, VenuesAreListedCreatedNamedAndSavedByThemselves)
{
    const std::string manager = "/roomdesk/VenueManager/";
    Outcome listed = deskCommand({"list", manager + "HistoryList"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_TRUE(contains(listed.out, "Desk Venue_{0123ABCD-0000-4000-8000-0000000000AA}/")) << listed.out;
    EXPECT_EQ(deskCommand({"get", kVenueEntry + "groups"}).out, "2 Groups\n");
    EXPECT_EQ(deskCommand({"get", kVenueEntry + "speakers"}).out, "2 Speakers\n");

    // NEW VENUE: written at once, its editor open; a name keeps it.
    ASSERT_EQ(deskCommand({"invoke", manager + "newVenue"}).status, 0);
    EXPECT_EQ(deskCommand({"get", manager + "inspector/name"}).out, "My New Venue\n");
    ASSERT_EQ(deskCommand({"set", manager + "inspector/name", "Desk Flow"}).status, 0);
    const fs::path venues = home / "Documents" / "Vellaris" / "Ambrel" / "Venues";
    fs::path file;
    for (const auto& entry : fs::directory_iterator(venues))
        if (entry.path().filename().string().rfind("Desk Flow_{", 0) == 0)
            file = entry.path();
    ASSERT_FALSE(file.empty()) << "the named venue's file";
    const std::string entry = manager + "HistoryList/" + file.stem().string() + "/";
    // Closing the editor by the entry's own address ("inspector" names nothing once it is closed).
    ASSERT_EQ(deskCommand({"set", entry + "closeVenueEditor", "1"}).status, 0);
    EXPECT_EQ(deskCommand({"get", manager + "hasInspectorItem"}).out, "0\n");
    EXPECT_EQ(deskCommand({"get", entry + "name"}).out, "Desk Flow\n");
    EXPECT_EQ(deskCommand({"get", entry + "groups"}).out, "1 Group\n");

    // Opened and given a second room, it is written within the next few seconds.
    ASSERT_EQ(deskCommand({"invoke", entry + "loadVenue"}).status, 0);
    EXPECT_EQ(deskCommand({"get", manager + "activeVenue/venueName"}).out, "Desk Flow\n");
    ASSERT_EQ(deskCommand({"invoke", manager + "activeVenue/newRoom"}).status, 0);
    auto rooms = [&]
    {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        size_t count = 0;
        for (size_t at = text.str().find("\"roomID\""); at != std::string::npos;
             at = text.str().find("\"roomID\"", at + 1))
            ++count;
        return count;
    };
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (rooms() != 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(rooms(), 2u) << "saved by itself";

    // Back on the start page the list shows it; then the desk's own venue again.
    ASSERT_EQ(deskCommand({"set", manager + "showVenue", "0"}).status, 0);
    EXPECT_EQ(deskCommand({"get", entry + "groups"}).out, "2 Groups\n");
    EXPECT_EQ(deskCommand({"invoke", kVenueEntry + "loadVenue"}).status, 0);
}

// Speaker presets through the remote control: the inspector follows the selected speaker, a
// preset is saved under a typed name, the EQ is reset at the speaker, and the preset brings the
// band back.
TEST_F(DeskIntegration, SelectASpeakerSaveAPresetUnderATypedNameAndResetItsEq)
{
    waitForSpeakers();
    const std::string inspector = "/roomdesk/Inspector/";
    const std::string gain = std::string("/speaker/") + kSerial + "/line/ch1/eq/eqgain3";
    ASSERT_EQ(
        deskCommand({"set", std::string("/roomdesk/SpeakerNetwork/") + kSerial + "/editSpeakerProps", "1"})
            .status,
        0);
    EXPECT_EQ(deskCommand({"get", inspector + "speakerItem"}).out,
              std::string("SpeakerNetwork/") + kSerial + "\n");
    ASSERT_EQ(deskCommand({"set", gain, "7.5"}).status, 0);
    EXPECT_EQ(atSimulator("line/ch1/eq/eqgain3"), "7.50 dB\n");

    ASSERT_EQ(deskCommand({"invoke", inspector + "savePreset"}).status, 0);
    EXPECT_EQ(deskCommand({"get", inspector + "showPresetEdit"}).out, "On\n");
    EXPECT_EQ(deskCommand({"get", inspector + "newPresetName"}).out, "My Speaker\n");
    ASSERT_EQ(deskCommand({"set", inspector + "newPresetName", "Desk/Stage"}).status, 0);
    ASSERT_EQ(deskCommand({"invoke", inspector + "okPreset"}).status, 0);
    const fs::path presets = home / "Documents" / "Vellaris" / "Ambrel" / "Presets" / "spk";
    EXPECT_TRUE(fs::exists(presets / "Desk_Stage.spk")) << "the typed name, cleaned, inside the folder";
    EXPECT_EQ(deskCommand({"get", inspector + "showPresetEdit"}).out, "Off\n");

    ASSERT_EQ(deskCommand({"invoke", inspector + "resetEQ"}).status, 0);
    Outcome reset = deskUntil({"get", gain}, [](const Outcome& r) { return r.out == "0.00 dB\n"; });
    EXPECT_EQ(reset.out, "0.00 dB\n");
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (atSimulator("line/ch1/eq/eqgain3") != "0.00 dB\n" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(atSimulator("line/ch1/eq/eqgain3"), "0.00 dB\n");
}

// Paths of the scalar entries of a preset file ("line/ch1/volume"), below its top section.
std::vector<std::string> storedPaths(const std::string& json)
{
    std::vector<std::string> paths, stack;
    std::string key;
    bool inString = false, isKey = true;
    std::string text;
    for (size_t i = 0; i < json.size(); ++i)
    {
        const char c = json[i];
        if (inString)
        {
            if (c == '\\')
                text += json[++i];
            else if (c == '"')
                inString = false;
            else
                text += c;
            continue;
        }
        if (c == '"')
        {
            inString = true;
            text.clear();
        }
        else if (c == ':')
        {
            key = text;
            isKey = false;
            size_t next = json.find_first_not_of(" \t\r\n", i + 1);
            if (next != std::string::npos && json[next] == '{')
                continue;
            std::string path;
            for (size_t level = 1; level < stack.size(); ++level)
                path += stack[level] + "/";
            paths.push_back(path + key);
        }
        else if (c == '{')
            stack.push_back(isKey ? std::string() : key);
        else if (c == '}')
            stack.pop_back();
        else if (c == ',')
            isKey = true;
    }
    return paths;
}

std::map<std::string, std::string> dumpOf(const char* serial)
{
    ChildProcess child(ROOMCTL_PATH, {"dump", serial});
    std::map<std::string, std::string> values;
    if (!child.waitForEnd(20s) || child.exitStatus() != 0)
        return values;
    for (const std::string& line : lines(child.output()))
    {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos)
            values[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return values;
}

// Copy on one simulator's speaker, paste on the other's: every parameter the clipboard covers
// agrees at both simulators, the nicknames stay their own.
TEST_F(DeskIntegration, CopyFromOneSpeakerPasteOnTheOtherAgreesOnAllButTheNickname)
{
    waitForSpeakers();
    const std::string inspector = "/roomdesk/Inspector/";
    const std::string source = std::string("/speaker/") + kSerial + "/";
    const std::string target = std::string("/speaker/") + kOtherSerial + "/";
    ASSERT_EQ(deskCommand({"set", source + "nickname", "Stage Top"}).status, 0);
    ASSERT_EQ(deskCommand({"set", target + "nickname", "Bar Sub"}).status, 0);
    ASSERT_EQ(deskCommand({"set", source + "line/ch1/eq/eqgain5", "-4.5"}).status, 0);
    ASSERT_EQ(deskCommand({"set", source + "line/ch1/delay", "12.5"}).status, 0);
    ASSERT_EQ(deskCommand({"set", source + "line/ch1/limit/threshold", "-9"}).status, 0);

    ASSERT_EQ(
        deskCommand({"set", std::string("/roomdesk/SpeakerNetwork/") + kSerial + "/editSpeakerProps", "1"})
            .status,
        0);
    ASSERT_EQ(deskCommand({"invoke", inspector + "copySpeaker"}).status, 0);
    // A preset of the source lists every storable parameter the desk knows of.
    ASSERT_EQ(deskCommand({"invoke", inspector + "savePreset"}).status, 0);
    ASSERT_EQ(deskCommand({"set", inspector + "newPresetName", "Clipboard Source"}).status, 0);
    ASSERT_EQ(deskCommand({"invoke", inspector + "okPreset"}).status, 0);
    ASSERT_EQ(deskCommand(
                  {"set", std::string("/roomdesk/SpeakerNetwork/") + kOtherSerial + "/editSpeakerProps", "1"})
                  .status,
              0);
    ASSERT_EQ(deskCommand({"invoke", inspector + "pasteSpeaker"}).status, 0);

    std::ifstream in(home / "Documents" / "Vellaris" / "Ambrel" / "Presets" / "spk" / "Clipboard Source.spk");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> covered;
    for (const std::string& path : storedPaths(text.str()))
    {
        const std::string name = path.substr(path.rfind('/') + 1);
        if (path.find("/geq/") != std::string::npos || path.find("multilimiter") != std::string::npos ||
            name == "presetloading" || name == "nickname" || name == "name")
            continue;
        covered.push_back(path);
    }
    ASSERT_GT(covered.size(), 50u) << text.str();

    std::map<std::string, std::string> a, b;
    std::vector<std::string> differing;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    do
    {
        a = dumpOf(kSerial);
        b = dumpOf(kOtherSerial);
        differing.clear();
        for (const std::string& path : covered)
            if (a.count(path) && a[path] != b[path])
                differing.push_back(path + ": " + a[path] + " / " + b[path]);
    } while (!differing.empty() && std::chrono::steady_clock::now() < deadline);
    for (const std::string& difference : differing)
        ADD_FAILURE() << difference;
    EXPECT_EQ(b["line/ch1/eq/eqgain5"], "-4.50 dB");
    EXPECT_EQ(a["nickname"], "Stage Top");
    EXPECT_EQ(b["nickname"], "Bar Sub");
}

// Last, as it stops a simulator: a placed speaker that leaves raises the alarm, readable over the
// remote control, until it comes back; then RESCAN ALL counts the speakers that answer.
TEST_F(DeskIntegration, AStoppedSimulatorRaisesTheOfflineAlarmUntilItIsStartedAgain)
{
    waitForSpeakers();
    const std::string venue = "/roomdesk/VenueManager/activeVenue/";
    ASSERT_EQ(deskUntil({"invoke", kVenueEntry + "loadVenue"}, [](const Outcome& r) { return r.status == 0; })
                  .status,
              0);
    ASSERT_EQ(deskUntil({"get", venue + "offlineCount"}, [](const Outcome& r) { return r.out == "0\n"; }).out,
              "0\n");
    waitForSpeakers();

    simulators[1]->kill(SIGTERM);
    ASSERT_TRUE(simulators[1]->waitForEnd(10s));
    Outcome count =
        deskUntil({"get", venue + "offlineCount"}, [](const Outcome& r) { return r.out == "1\n"; });
    EXPECT_EQ(count.out, "1\n") << desk->errors();
    Outcome message = deskCommand({"get", venue + "offlineMessage"});
    EXPECT_TRUE(contains(message.out, kOtherSerial) && contains(message.out, "offline since")) << message.out;
    EXPECT_EQ(deskCommand({"get", venue + "offlineState"}).out, "offline\n");

    simulators[1] = std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX40S"});
    message = deskUntil({"get", venue + "offlineMessage"},
                        [](const Outcome& r) { return contains(r.out, "back online"); });
    EXPECT_TRUE(contains(message.out, std::string(kOtherSerial) + " back online")) << message.out;
    EXPECT_EQ(deskCommand({"get", venue + "offlineCount"}).out, "0\n");
    EXPECT_EQ(deskCommand({"get", venue + "offlineState"}).out, "backOnline\n");

    // RESCAN ALL searches, then says how many speakers answered.
    ASSERT_EQ(deskCommand({"invoke", "/roomdesk/SpeakerNetwork/rescanAll"}).status, 0);
    Outcome searching = deskCommand({"get", "/roomdesk/SpeakerNetwork/rescanMessage"});
    EXPECT_TRUE(contains(searching.out, "Searching") || contains(searching.out, "answered")) << searching.out;
    Outcome answered = deskUntil({"get", "/roomdesk/SpeakerNetwork/rescanMessage"},
                                 [](const Outcome& r) { return contains(r.out, "answered"); });
    EXPECT_EQ(answered.out, "2 speakers answered\n");
    EXPECT_EQ(deskCommand({"get", "/roomdesk/SpeakerNetwork/searching"}).out, "0\n");
}

} // namespace
