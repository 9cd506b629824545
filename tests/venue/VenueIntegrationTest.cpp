// Venues over three real simulators on loopback: a venue written by this process is read by a
// fresh one, a speaker that is killed and started again gets its stored settings back, and room
// volume steps keep the offsets of speakers that hit their limit.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/Application.h"
#include "tessel/IParameter.h"
#include "tests/common/ChildProcess.h"
#include "roomctl/MirrorSession.h"
#include "venue/SpeakerGroup.h"
#include "venue/Venue.h"
#include "venue/VenueFiles.h"
#include "venue/VenueHistoryItemCollection.h"
#include "venue/VenueManager.h"

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
using Vellaris::SpeakerNetworkItem;
using Vellaris::SpeakerRoom;

namespace
{

constexpr const char* kStage1 = "123456789"; // tarnsim TX10A
constexpr const char* kStage2 = "987654321"; // tarnsim TX20A
constexpr const char* kBar = "555555555";    // tarnsim TX30A
constexpr const char* kFreshProcessFolder = "VENUE_IT_DOCUMENTS";
constexpr int64_t kWaitMs = 15000;

std::unique_ptr<ChildProcess> simulator(const char* model)
{
    return std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{model});
}

// A desk core without a window: the mirror session, the application identity and the venue manager,
// with the documents folder in `documents`.
class Desk
{
public:
    explicit Desk(const std::string& documents)
    {
        ::setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
        session = std::make_unique<Vellaris::Tools::MirrorSession>();
        new Tessel::Application("roomdesk", "Ambrel");
        manager = Vellaris::VenueManager::create();
    }
    // The session shuts the speaker list down and then the whole component tree.
    ~Desk() { session.reset(); }
    Vellaris::Venue* venue() const { return manager->getVenue(); }
    bool runUntil(const std::function<bool()>& done)
    {
        return session->getPlatform().runUntil(done, kWaitMs);
    }
    void runFor(int64_t ms) { session->getPlatform().runFor(ms); }

    std::unique_ptr<Vellaris::Tools::MirrorSession> session;
    Vellaris::VenueManager* manager = nullptr;
};

Tessel::IParameter* param(SpeakerNetworkItem* item, const char* path)
{
    return item ? item->getSpeakerComponent()->lookupParameter(path) : nullptr;
}

double value(SpeakerNetworkItem* item, const char* path)
{
    Tessel::IParameter* found = param(item, path);
    return found ? found->getValue().asDouble() : -12345.0;
}

// What the device itself holds, asked by roomctl through a mirror of its own.
std::string deviceText(Desk& desk, const char* serial, const char* path)
{
    ChildProcess roomctl(ROOMCTL_PATH, {"get", serial, path});
    EXPECT_TRUE(roomctl.waitForEnd(20s, [&] { desk.runFor(5); }));
    std::string text = roomctl.output();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

void place(Vellaris::SpeakerRoom* room, SpeakerNetworkItem* item)
{
    Tessel::AutoPtr<Vellaris::SpeakerPosition> position = new Vellaris::SpeakerPosition;
    position->setSpeaker(item, false);
    room->getGroups().front()->insertPosition(position);
    room->update();
}

} // namespace

TEST(VenueWithSimulators, RoomsDriveRealSpeakersAndSurviveARestartOfSpeakerAndDesk)
{
    NetworkTest::useNewDiscoveryScope();
    const std::string documents =
        (std::filesystem::temp_directory_path() / ("venue-it-" + std::to_string(::getpid()))).string();
    std::filesystem::remove_all(documents);
    std::filesystem::create_directories(documents);

    auto stage1 = simulator("TX10A");
    auto stage2 = simulator("TX20A");
    auto bar = simulator("TX30A");
    auto desk = std::make_unique<Desk>(documents);
    ASSERT_TRUE(desk->session->isStarted()) << desk->session->getError();
    SpeakerNetworkItem* a = desk->session->waitForSpeaker(kStage1, kWaitMs);
    SpeakerNetworkItem* b = desk->session->waitForSpeaker(kStage2, kWaitMs);
    SpeakerNetworkItem* c = desk->session->waitForSpeaker(kBar, kWaitMs);
    ASSERT_TRUE(a && b && c) << stage1->errors() << stage2->errors() << bar->errors();
    desk->manager->startup();
    Vellaris::Venue* venue = desk->venue();
    ASSERT_NE(venue, nullptr);

    SpeakerRoom* stage = venue->getActiveRoom();
    stage->setRoomTitle("Stage");
    SpeakerRoom* barRoom = venue->newRoom(false);
    barRoom->setRoomTitle("Bar");
    venue->setVenueName("Club Test");
    place(stage, a);
    place(stage, b);
    place(barRoom, c);

    // "Volume Up" with one speaker at its top moves the other; coming down keeps the distance.
    Tessel::IParameter* volumeA = param(a, "line/ch1/volume");
    const double top = volumeA->getMax().asDouble();
    volumeA->setValue(top);
    param(b, "line/ch1/volume")->setValue(top - 6);
    stage->findParameter("roomVolumeUp")->setValue(1);
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), top);
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/volume"), top - 5);
    stage->findParameter("roomVolumeDown")->setValue(1);
    stage->findParameter("roomVolumeDown")->setValue(1);
    EXPECT_DOUBLE_EQ(value(a, "line/ch1/volume"), top - 1);
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/volume"), top - 7);
    const std::string expectedB = param(b, "line/ch1/volume")->toString();
    EXPECT_EQ(deviceText(*desk, kStage2, "line/ch1/volume"), expectedB) << "the device followed";

    // The bar speaker's settings, then the venue on disk.
    param(c, "line/ch1/volume")->setValue(-9.0);
    param(c, "line/ch1/geq/gain3")->setValue(5.0);
    const std::string expectedVolumeC = param(c, "line/ch1/volume")->toString();
    const std::string expectedGainC = param(c, "line/ch1/geq/gain3")->toString();
    desk->runFor(200);
    ASSERT_TRUE(Vellaris::VenueFiles::saveVenue(*venue, false));

    // Killed and started again with fresh settings of its own, the speaker gets the venue's back.
    bar->kill(SIGKILL);
    ASSERT_TRUE(desk->runUntil([&] { return !barRoom->findPosition(kBar)->getSpeaker(); }))
        << "the killed speaker leaves";
    bar = simulator("TX30A");
    ASSERT_TRUE(desk->runUntil(
        [&]
        {
            SpeakerNetworkItem* back = barRoom->findPosition(kBar)->getSpeaker();
            return back && Vellaris::Tools::MirrorSession::isSynchronized(back);
        }));
    SpeakerNetworkItem* back = barRoom->findPosition(kBar)->getSpeaker();
    desk->runFor(300);
    EXPECT_EQ(param(back, "line/ch1/volume")->toString(), expectedVolumeC);
    EXPECT_EQ(param(back, "line/ch1/geq/gain3")->toString(), expectedGainC);
    EXPECT_EQ(deviceText(*desk, kBar, "line/ch1/volume"), expectedVolumeC);
    EXPECT_EQ(deviceText(*desk, kBar, "line/ch1/geq/gain3"), expectedGainC);
    ASSERT_TRUE(Vellaris::VenueFiles::saveVenue(*venue, false));
    desk.reset();

    // A fresh process reads the venue back and binds it to the same speakers.
    ::setenv(kFreshProcessFolder, documents.c_str(), 1);
    ChildProcess fresh(SELF_PATH, {"--gtest_filter=VenueFreshProcess.*"});
    ASSERT_TRUE(fresh.waitForEnd(60s));
    ::unsetenv(kFreshProcessFolder);
    EXPECT_EQ(fresh.exitStatus(), 0) << fresh.output() << fresh.errors();
    EXPECT_NE(fresh.output().find("[  PASSED  ] 1 test"), std::string::npos) << fresh.output();
    std::filesystem::remove_all(documents);
}

// Runs only as the fresh process of the test above.
TEST(VenueFreshProcess, ReadsTheVenueWrittenLastAndBindsItsSpeakers)
{
    const char* documents = std::getenv(kFreshProcessFolder);
    if (!documents)
        GTEST_SKIP() << "started by VenueWithSimulators";
    Desk desk(documents);
    ASSERT_TRUE(desk.session->isStarted());
    ASSERT_TRUE(desk.session->waitForSpeaker(kStage1, kWaitMs) &&
                desk.session->waitForSpeaker(kStage2, kWaitMs) &&
                desk.session->waitForSpeaker(kBar, kWaitMs));
    desk.manager->startup();
    // The desk starts on its start page; the venue is opened from its list.
    ASSERT_EQ(desk.manager->getHistory()->countRows(), 1);
    ASSERT_TRUE(desk.manager->loadVenue(desk.manager->getHistory()->getItem(0)));
    Vellaris::Venue* venue = desk.venue();
    EXPECT_EQ(venue->getVenueName(), "Club Test");
    ASSERT_EQ(venue->countRooms(), 2);
    EXPECT_EQ(venue->getRoom(0)->getTitle(), "Stage");
    EXPECT_EQ(venue->getRoom(1)->getTitle(), "Bar");
    EXPECT_EQ(venue->getRoom(0)->speakerCount(), 2);
    EXPECT_EQ(venue->getRoom(1)->speakerCount(), 1);
    EXPECT_EQ(desk.manager->findParameter("showVenue")->getValue().asInt(), 1);
    SpeakerNetworkItem* c = venue->getRoom(1)->findPosition(kBar)->getSpeaker();
    EXPECT_DOUBLE_EQ(value(c, "line/ch1/volume"), -9.0);
}
