// A venue made on the desk and filled through its remote control is written by itself; roomdesk
// killed with SIGKILL leaves whole files, and started again it opens the venue from its list and
// binds both speakers, which get the settings the venue kept.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "model/JsonCodec.h"
#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/Json.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/Retry.h"

namespace
{

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
namespace fs = std::filesystem;

constexpr const char* kFirst = "123456789";  // tarnsim TX10A
constexpr const char* kSecond = "987654321"; // tarnsim TX20A
const std::string kManager = "/roomdesk/VenueManager/";

using NetworkTest::Outcome;

class VenueRestart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NetworkTest::useNewDiscoveryScope();
        home = NetworkTest::usePrivateHome("venue-restart");
        port = NetworkTest::freeUdpPort();
        ::setenv("ROOMDESK_OSC_PORT", std::to_string(port).c_str(), 1);
        ::setenv("ROOMDESK_WEB_PORT", "0",
                 1); // the tablet remote stays off: parallel desks never share its port
        first = std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX10A"});
        second = std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{"TX20A"});
    }
    void TearDown() override
    {
        if (desk)
        {
            desk->kill(SIGTERM);
            desk->waitForEnd(10s);
        }
        desk.reset();
        first.reset();
        second.reset();
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }

    static Outcome run(const std::vector<std::string>& arguments)
    {
        return NetworkTest::runToEnd(ROOMCTL_PATH, arguments);
    }
    Outcome deskCommand(std::vector<std::string> arguments) const
    {
        arguments.insert(arguments.begin(), {"desk", "--port", std::to_string(port)});
        return run(arguments);
    }
    // Asks again until `done` holds or 20 s passed; the last answer is returned.
    Outcome deskUntil(const std::vector<std::string>& arguments,
                      const std::function<bool(const Outcome&)>& done)
    {
        return TestSupport::retryUntil<Outcome>([&] { return deskCommand(arguments); }, done);
    }
    void startDesk()
    {
        desk = std::make_unique<ChildProcess>(ROOMDESK_PATH, std::vector<std::string>{});
        Outcome list = deskUntil(
            {"list", "/speaker"}, [](const Outcome& r)
            { return r.out.find(kFirst) != std::string::npos && r.out.find(kSecond) != std::string::npos; });
        ASSERT_EQ(list.status, 0) << list.err << "\ndesk: " << desk->errors();
    }
    fs::path venues() const { return home / "Documents" / "Vellaris" / "Ambrel" / "Venues"; }
    // The venue file whose name begins with `name` + "_", or "".
    fs::path venueFile(const std::string& name) const
    {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(venues(), ignored))
            if (entry.path().filename().string().rfind(name + "_", 0) == 0)
                return entry.path();
        return {};
    }
    // The stored volumes of the positions of the file's first room, in order ("" when the file
    // cannot be read as a venue).
    static std::string storedVolumes(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        Vellaris::JsonCodec::ensureInstalled();
        Tessel::Attributes venue;
        if (!Tessel::JsonParse(text.str(), venue) || !venue.getList("rooms") ||
            venue.getList("rooms")->count() < 1)
            return {};
        const Tessel::Attributes* room = venue.getList("rooms")->attributesAt(0);
        std::string volumes;
        const Tessel::AttributeList* groups = room->getList("groups");
        for (int g = 0; groups && g < groups->count(); ++g)
            if (const Tessel::AttributeList* positions = groups->attributesAt(g)->getList("positions"))
                for (int p = 0; p < positions->count(); ++p)
                {
                    const Tessel::Attributes* position = positions->attributesAt(p);
                    const Tessel::Attributes* speaker = position->getAttributes("speaker");
                    const Tessel::Attributes* state = speaker ? speaker->getAttributes("Speaker") : nullptr;
                    const Tessel::Attributes* line = state ? state->getAttributes("line") : nullptr;
                    const Tessel::Attributes* channel = line ? line->getAttributes("ch1") : nullptr;
                    volumes +=
                        position->getString("speakerID") + "=" +
                        (channel ? std::to_string(int(std::lround(channel->getFloat("volume", 99)))) : "?") +
                        ";";
                }
        return volumes;
    }
    std::string atSimulator(const char* serial) { return run({"get", serial, "line/ch1/volume"}).out; }

    fs::path home;
    int port = 0;
    std::unique_ptr<ChildProcess> first, second, desk;
};

} // namespace

TEST_F(VenueRestart, AVenueSavedByItselfSurvivesAKillAndBindsBothSpeakersAgain)
{
    startDesk();
    // A new venue, named in its editor, opened, and both speakers placed in its room.
    ASSERT_EQ(deskCommand({"invoke", kManager + "newVenue"}).status, 0);
    ASSERT_EQ(deskCommand({"set", kManager + "inspector/name", "Restart Hall"}).status, 0);
    const fs::path file = venueFile("Restart Hall");
    ASSERT_FALSE(file.empty()) << "written when named";
    const std::string entry = kManager + "HistoryList/" + file.stem().string() + "/";
    ASSERT_EQ(deskCommand({"set", entry + "closeVenueEditor", "1"}).status, 0);
    ASSERT_EQ(deskCommand({"invoke", entry + "loadVenue"}).status, 0);
    const std::string plan = kManager + "activeVenue/RoomEditView/placeSpeaker";
    for (const char* serial : {kFirst, kSecond})
    {
        Outcome placed = deskCommand({"set", plan, serial});
        ASSERT_EQ(placed.status, 0) << placed.err;
    }
    ASSERT_EQ(deskCommand({"set", std::string("/speaker/") + kFirst + "/line/ch1/volume", "-7"}).status, 0);
    ASSERT_EQ(deskCommand({"set", std::string("/speaker/") + kSecond + "/line/ch1/volume", "-5"}).status, 0);

    // Written by itself within a few seconds, then the desk is killed.
    const std::string expected = std::string(kFirst) + "=-7;" + kSecond + "=-5;";
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (storedVolumes(file) != expected && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    ASSERT_EQ(storedVolumes(file), expected) << "the automatic save";
    desk->kill(SIGKILL);
    ASSERT_TRUE(desk->waitForEnd(10s));
    EXPECT_EQ(storedVolumes(file), expected) << "a whole file after the kill";

    // The speakers forget; the desk starts on its list, the venue is opened and both are bound.
    for (const char* serial : {kFirst, kSecond})
        ASSERT_EQ(run({"set", serial, "line/ch1/volume", "0"}).status, 0);
    startDesk();
    EXPECT_EQ(deskCommand({"get", kManager + "showVenue"}).out, "Off\n") << "the start page first";
    Outcome listed = deskCommand({"list", kManager + "HistoryList"});
    EXPECT_NE(listed.out.find(file.stem().string() + "/"), std::string::npos) << listed.out;
    EXPECT_EQ(deskCommand({"get", entry + "speakers"}).out, "2 Speakers\n");
    ASSERT_EQ(deskCommand({"invoke", entry + "loadVenue"}).status, 0);
    const std::string room = kManager + "activeVenue/activeRoom/groupList";
    Outcome bound =
        deskUntil({"get", room},
                  [](const Outcome& r)
                  {
                      return r.out.find(std::string("SpeakerNetwork/") + kFirst) != std::string::npos &&
                             r.out.find(std::string("SpeakerNetwork/") + kSecond) != std::string::npos;
                  });
    EXPECT_NE(bound.out.find(std::string("SpeakerNetwork/") + kFirst + ";" + kFirst), std::string::npos)
        << bound.out;
    EXPECT_NE(bound.out.find(std::string("SpeakerNetwork/") + kSecond + ";" + kSecond), std::string::npos)
        << bound.out;
    EXPECT_EQ(atSimulator(kFirst), "-7.00 dB\n");
    EXPECT_EQ(atSimulator(kSecond), "-5.00 dB\n");
}
