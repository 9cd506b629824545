// The Wi-Fi setup on the headless platform: merging the speakers' reports, the 10-second rules,
// choosing a network and joining it.
#include <algorithm>

#include "tests/netsetup/NetworkSetupFixture.h"

namespace
{

using namespace NetsetupTest;

TEST_F(NetworkSetup, MergesReportsKeepingTheWeakestStrengthAndMarksWhatEverySpeakerSees)
{
    SpeakerNetworkItem* a = add(1, "1");
    SpeakerNetworkItem* b = add(2, "2");
    report(a, {"Home<&#&>80<&#&>locked", "Cafe<&#&>90<&#&>open", "<&#&>50<&#&>open", "broken"});
    report(b, {"Home<&#&>40<&#&>open", "Office<&#&>70<&#&>locked", ""});
    settle();

    Wifi* home = setup->findWifi("Home");
    ASSERT_TRUE(home);
    EXPECT_FLOAT_EQ(home->strength, 40.0f);
    EXPECT_TRUE(home->locked) << "the first report's lock flag stays";
    EXPECT_EQ(home->count, 2);
    EXPECT_TRUE(home->common);
    EXPECT_FALSE(setup->findWifi("Cafe")->common);
    EXPECT_FALSE(setup->findWifi("Office")->common);
    EXPECT_EQ(setup->getWifis().size(), 3u) << "empty names and short entries are skipped";
    EXPECT_TRUE(property("hasWifi"));
    EXPECT_TRUE(property("anyCommonWifi"));
    EXPECT_TRUE(setup->getListModel().isAnyCommon());
}

TEST_F(NetworkSetup, ListsCommonNetworksFirstThenByStrengthThenByName)
{
    SpeakerNetworkItem* a = add(1, "1");
    SpeakerNetworkItem* b = add(2, "2");
    report(a, {"Weak<&#&>10<&#&>open", "Strong<&#&>95<&#&>open", "Beta<&#&>60<&#&>open",
               "Alpha<&#&>60<&#&>open", "Only<&#&>99<&#&>open"});
    report(b, {"Weak<&#&>10<&#&>open", "Strong<&#&>95<&#&>open", "Beta<&#&>60<&#&>open",
               "Alpha<&#&>60<&#&>open"});
    settle();
    EXPECT_EQ(names(), (std::vector<std::string>{"Strong common", "Alpha common", "Beta common",
                                                 "Weak common", "Only"}));
    Vellaris::WifiListModel& list = setup->getListModel();
    ASSERT_EQ(list.countRows(), 5);
    EXPECT_EQ(list.getRowPath(0), "NetworkSetupManager/wifiList/0");
    EXPECT_EQ(list.getItem(0)->findParameter("title")->getValue().asString(), "Strong");
    EXPECT_EQ(list.getItem(4)->findParameter("common")->getValue().asInt(), 0);
}

TEST_F(NetworkSetup, ASpeakerListingANetworkTwiceDoesNotMakeItCommon)
{
    SpeakerNetworkItem* a = add(1, "1");
    add(2, "2");
    report(a, {"Twice<&#&>50<&#&>open", "Twice<&#&>30<&#&>open"});
    settle();
    ASSERT_TRUE(setup->findWifi("Twice"));
    EXPECT_FLOAT_EQ(setup->findWifi("Twice")->strength, 30.0f);
    EXPECT_FALSE(setup->findWifi("Twice")->common);
    EXPECT_FALSE(property("anyCommonWifi"));
}

TEST_F(NetworkSetup, RebuildsTenSecondsAfterTheFirstChangeOnly)
{
    SpeakerNetworkItem* a = add(1, "1"); // schedules at 0 + 10000
    ASSERT_TRUE(setup->isRebuildScheduled());
    EXPECT_EQ(setup->getRefreshAt(), platform.now() + NetworkSetupManager::kRebuildDelayMs);
    const int64_t due = setup->getRefreshAt();
    platform.advance(4000);
    report(a, {"Home<&#&>75<&#&>locked"});
    EXPECT_EQ(setup->getRefreshAt(), due) << "a pending rebuild is not pushed back";
    platform.advance(5500); // 9500
    EXPECT_TRUE(setup->getWifis().empty());
    platform.advance(500); // 10000
    EXPECT_EQ(names(), std::vector<std::string>{"Home common"});
    EXPECT_FALSE(setup->isRebuildScheduled());

    report(a, {"Home<&#&>75<&#&>locked", "Cafe<&#&>20<&#&>open"});
    platform.advance(9500);
    EXPECT_EQ(setup->getWifis().size(), 1u);
    platform.advance(500);
    EXPECT_EQ(setup->getWifis().size(), 2u);
}

TEST_F(NetworkSetup, ASpeakerThatLeavesIsDroppedFromTheMergeAtTheNextRebuild)
{
    SpeakerNetworkItem* a = add(1, "1");
    SpeakerNetworkItem* b = add(2, "2");
    report(a, {"Home<&#&>75<&#&>locked", "Cafe<&#&>20<&#&>open"});
    report(b, {"Home<&#&>75<&#&>locked"});
    settle();
    EXPECT_FALSE(setup->findWifi("Cafe")->common);
    library.withdraw(1);
    platform.advance(0);
    ASSERT_TRUE(setup->isRebuildScheduled());
    settle();
    EXPECT_EQ(names(), std::vector<std::string>{"Home common"});
}

TEST_F(NetworkSetup, StrengthFramesOfTheListItems)
{
    SpeakerNetworkItem* a = add(1, "1");
    report(a, {"Home<&#&>75<&#&>locked", "Forty<&#&>40<&#&>open", "Thirty<&#&>30<&#&>open"});
    settle();
    Vellaris::WifiListModel& list = setup->getListModel();
    ASSERT_EQ(list.getStrengthFrames(), 4);
    std::vector<int64_t> frames;
    for (int row = 0; row < list.countRows(); ++row)
        frames.push_back(list.getItem(row)->findParameter("strengthFrame")->getValue().asInt());
    EXPECT_EQ(frames, (std::vector<int64_t>{3, 2, 1}));
}

TEST_F(NetworkSetup, ChoosingASecuredNetworkOpensThePopupAndAsksForTheFocus)
{
    SpeakerNetworkItem* a = add(1, "1");
    report(a, {"Home<&#&>75<&#&>locked", "Cafe<&#&>20<&#&>open"});
    settle();
    auto recorder = Tessel::adopt(new Recorder);
    setup->addObserver(recorder.get());
    param("password")->setValue(Tessel::Variant("left over"));

    Vellaris::WifiListModel& list = setup->getListModel();
    ASSERT_TRUE(list.clickRow(0, {}));
    EXPECT_EQ(text("ssid"), "Home");
    EXPECT_EQ(value("needsPassword"), 1);
    EXPECT_EQ(value("showPassword"), 1);
    EXPECT_EQ(text("password"), "");
    EXPECT_EQ(list.getSelectedRow(), 0);
    EXPECT_EQ(std::count(recorder->ids.begin(), recorder->ids.end(), "requestFocus password"), 1);

    recorder->ids.clear();
    ASSERT_TRUE(list.openRow(1));
    EXPECT_EQ(text("ssid"), "Cafe");
    EXPECT_EQ(value("needsPassword"), 0);
    EXPECT_EQ(std::count(recorder->ids.begin(), recorder->ids.end(), "requestFocus password"), 0);
    EXPECT_FALSE(list.clickRow(7, {}));
    setup->removeObserver(recorder.get());
}

TEST_F(NetworkSetup, CancelClosesThePopupKeepsTheSsidAndClearsTheSelection)
{
    SpeakerNetworkItem* a = add(1, "1");
    report(a, {"Home<&#&>75<&#&>locked"});
    settle();
    setup->getListModel().clickRow(0, {});
    EXPECT_TRUE(setup->interpretCommand(Tessel::CommandMsg("NetworkSetupManager", "Cancel", true)));
    EXPECT_EQ(value("showPassword"), 1) << "asking only changes nothing";

    param("passwordCancel")->setValue(Tessel::Variant(1));
    EXPECT_EQ(value("showPassword"), 0);
    EXPECT_EQ(text("ssid"), "Home");
    EXPECT_EQ(setup->getListModel().getSelectedRow(), -1);
    EXPECT_EQ(setup->getListModel().countRows(), 1);
    EXPECT_TRUE(joinRequests().empty());
}

TEST_F(NetworkSetup, JoinSendsEverySpeakerTheNetworkThenForgetsThePassword)
{
    SpeakerNetworkItem* a = add(1, "1");
    SpeakerNetworkItem* b = add(2, "2");
    report(a, {"Home<&#&>75<&#&>locked"});
    report(b, {"Home<&#&>60<&#&>locked"}); // both see it: nothing to confirm
    settle();
    setup->getListModel().clickRow(0, {});
    param("password")->setValue(Tessel::Variant("correct horse"));
    EXPECT_TRUE(setup->interpretCommand(Tessel::CommandMsg("NetworkSetupManager", "Join", true)));
    EXPECT_TRUE(joinRequests().empty()) << "asking only sends nothing";

    param("passwordJoin")->setValue(Tessel::Variant(1));
    auto requests = joinRequests();
    ASSERT_EQ(requests.size(), 2u) << "every speaker, selected or not";
    for (const auto& request : requests)
    {
        EXPECT_EQ(request.url(), "Speaker");
        EXPECT_EQ(request.getText(Vellaris::LK::Message::kRequestNetworkSSID), "Home");
        EXPECT_EQ(request.getText(Vellaris::LK::Message::kRequestNetworkPw), "correct horse");
    }
    EXPECT_EQ(text("password"), "") << "nothing keeps the password after the join";
    EXPECT_EQ(text("ssid"), "Home");
    EXPECT_EQ(value("showPassword"), 0);
    EXPECT_EQ(text("joinNetworkMessage"), "Speakers joining network: Home ...");
    for (const std::string& line : platform.getDebugOutput())
        EXPECT_EQ(line.find("correct horse"), std::string::npos) << line;
    for (const std::string& line : platform.getWarnings())
        EXPECT_EQ(line.find("correct horse"), std::string::npos) << line;
}

TEST_F(NetworkSetup, AnEmptyPasswordIsStillSent)
{
    add(1, "1");
    param("ssid")->setValue(Tessel::Variant("Open Net"));
    setup->join();
    auto requests = joinRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].getText(Vellaris::LK::Message::kRequestNetworkSSID), "Open Net");
    EXPECT_TRUE(requests[0].contains(Vellaris::LK::Message::kRequestNetworkPw));
    EXPECT_EQ(requests[0].getText(Vellaris::LK::Message::kRequestNetworkPw), "");
}

TEST_F(NetworkSetup, TheJoinMessageShowsForTenSeconds)
{
    add(1, "1");
    auto recorder = Tessel::adopt(new Recorder);
    setup->addObserver(recorder.get());
    setup->join();
    EXPECT_TRUE(property("networkChanging"));
    EXPECT_EQ(std::count(recorder->ids.begin(), recorder->ids.end(), "propertyChanged networkChanging"), 1);
    platform.advance(NetworkSetupManager::kJoinMessageMs);
    EXPECT_TRUE(property("networkChanging")) << "ends only after more than ten seconds";
    platform.advance(NetworkSetupManager::kTimerMs);
    EXPECT_FALSE(property("networkChanging"));
    EXPECT_EQ(std::count(recorder->ids.begin(), recorder->ids.end(), "propertyChanged networkChanging"), 2);
    setup->removeObserver(recorder.get());
}

TEST_F(NetworkSetup, ASpeakerArrivingDuringTheSetupWinksOnceAndStaysLocked)
{
    add(1, "1");
    speakers->setNetworkSetupMode(true);
    SpeakerNetworkItem* late = add(2, "2");
    ASSERT_TRUE(late);
    EXPECT_TRUE(late->isSelected());
    EXPECT_FALSE(late->isSelectable());
    late->setSelected(false, false);
    EXPECT_TRUE(late->isSelected()) << "single selections stay locked during the setup";
}

TEST_F(NetworkSetup, AnswersTheSpeakerSideAndRefreshShowsEverySpeaker)
{
    Vellaris::IWifiSetup* side = Vellaris::findWifiSetup();
    ASSERT_EQ(side, static_cast<Vellaris::IWifiSetup*>(setup));
    param("ssid")->setValue(Tessel::Variant("Stage"));
    param("password")->setValue(Tessel::Variant("pw"));
    EXPECT_EQ(side->getJoinSsid(), "Stage");
    EXPECT_EQ(side->getJoinPassword(), "pw");

    auto filter = Tessel::adopt(new Tessel::Object);
    speakers->getItems().setFilter(filter.get());
    side->refresh();
    EXPECT_EQ(speakers->getItems().getFilter(), filter.get()) << "outside the setup the list stays filtered";
    EXPECT_EQ(side->getJoinPassword(), "") << "a closed popup keeps no password";

    speakers->setNetworkSetupMode(true);
    EXPECT_EQ(speakers->getItems().getFilter(), nullptr) << "the setup shows every speaker";
    auto other = Tessel::adopt(new Tessel::Object);
    speakers->getItems().setFilter(other.get()); // a venue shown meanwhile installs its filter
    side->refresh();
    EXPECT_EQ(speakers->getItems().getFilter(), nullptr);
    speakers->setNetworkSetupMode(false);
    EXPECT_EQ(speakers->getItems().getFilter(), other.get()) << "the filter set aside comes back";
}

} // namespace
