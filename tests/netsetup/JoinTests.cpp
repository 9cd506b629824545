// Joining a network on the headless platform: the question when not every speaker sees the
// network, the banner that counts the speakers that come back, and texts the speakers cannot take.
#include "tests/netsetup/NetworkSetupFixture.h"

namespace
{

using namespace NetsetupTest;

class Join : public NetworkSetup
{
protected:
    // Four speakers; "Venue" is seen by the first two only, "Home" by all four.
    void SetUp() override
    {
        for (int server = 1; server <= 4; ++server)
        {
            SpeakerNetworkItem* item = add(server, std::to_string(server).c_str());
            ASSERT_TRUE(item);
            if (server <= 2)
                report(item, {"Venue<&#&>70<&#&>locked", "Home<&#&>50<&#&>locked"});
            else
                report(item, {"Home<&#&>50<&#&>locked"});
        }
        settle();
    }
    void choose(const std::string& name, const std::string& typed)
    {
        Vellaris::WifiListModel& list = setup->getListModel();
        for (int row = 0; row < list.countRows(); ++row)
            if (list.getItem(row)->findParameter("title")->getValue().asString() == name)
                ASSERT_TRUE(list.clickRow(row, {}));
        ASSERT_EQ(text("ssid"), name);
        param("password")->setValue(Tessel::Variant(typed));
    }
    void invoke(const char* command) { param(command)->setValue(Tessel::Variant(1)); }
    // A speaker leaves the network and announces itself again, as after a join.
    void comesBack(int server)
    {
        library.withdraw(server);
        platform.advance(0);
        add(server, std::to_string(server).c_str());
    }
};

TEST_F(Join, ANetworkNotEverySpeakerSeesIsAskedAboutFirst)
{
    choose("Venue", "stage-pass");
    invoke("passwordJoin");
    EXPECT_EQ(value("confirmJoin"), 1);
    EXPECT_EQ(text("confirmJoinMessage"),
              "2 of 4 speakers see Venue; the others will stay on the wired network");
    EXPECT_TRUE(joinRequests().empty()) << "nothing goes out before the answer";
    EXPECT_FALSE(property("networkChanging"));

    // Cancel goes back to the password popup, with nothing sent.
    invoke("joinConfirmCancel");
    EXPECT_EQ(value("confirmJoin"), 0);
    EXPECT_EQ(value("showPassword"), 1);
    EXPECT_TRUE(joinRequests().empty());

    invoke("passwordJoin");
    ASSERT_EQ(value("confirmJoin"), 1);
    invoke("joinConfirm");
    EXPECT_EQ(value("confirmJoin"), 0);
    auto requests = joinRequests();
    ASSERT_EQ(requests.size(), 4u) << "every speaker is asked; those that do not see it stay wired";
    for (const auto& request : requests)
        EXPECT_EQ(request.getText(Vellaris::LK::Message::kRequestNetworkPw), "stage-pass");
    EXPECT_EQ(text("password"), "");
    EXPECT_TRUE(property("networkChanging"));

    // A confirmation with no question open sends nothing.
    invoke("joinConfirm");
    EXPECT_EQ(joinRequests().size(), 4u);
}

TEST_F(Join, CancellingThePopupDropsTheQuestionAndThePassword)
{
    choose("Venue", "stage-pass");
    invoke("passwordJoin");
    ASSERT_EQ(value("confirmJoin"), 1);
    invoke("passwordCancel");
    EXPECT_EQ(value("confirmJoin"), 0);
    EXPECT_EQ(value("showPassword"), 0);
    EXPECT_EQ(text("password"), "");
    invoke("joinConfirm");
    EXPECT_TRUE(joinRequests().empty());
}

TEST_F(Join, ANetworkEverySpeakerSeesJoinsWithoutAQuestion)
{
    choose("Home", "pw");
    invoke("passwordJoin");
    EXPECT_EQ(value("confirmJoin"), 0);
    EXPECT_EQ(joinRequests().size(), 4u);
}

TEST_F(Join, TheBannerCountsWhoCameBackWithinTheWindowAndWhoDidNot)
{
    choose("Home", "pw");
    invoke("passwordJoin");
    ASSERT_EQ(joinRequests().size(), 4u);
    EXPECT_EQ(text("joinNetworkMessage"), "Speakers joining network: Home ...");

    comesBack(1);
    EXPECT_EQ(text("joinNetworkMessage"), "Speakers joining network: Home ... 1 of 4 joined");
    library.withdraw(2); // leaves, and is not back in time
    platform.advance(0);
    comesBack(3);
    add(9, "9"); // a speaker that was not asked counts for nothing
    EXPECT_EQ(text("joinNetworkMessage"), "Speakers joining network: Home ... 2 of 4 joined");
    EXPECT_FALSE(property("hasJoinReport"));

    platform.advance(NetworkSetupManager::kJoinMessageMs + NetworkSetupManager::kTimerMs);
    EXPECT_FALSE(property("networkChanging"));
    EXPECT_TRUE(property("hasJoinReport")) << "the result stays in view after the window";
    EXPECT_EQ(text("joinNetworkMessage"), "Home: 2 of 4 speakers joined; 2 did not come back");

    add(2, "2"); // too late to count
    EXPECT_EQ(text("joinNetworkMessage"), "Home: 2 of 4 speakers joined; 2 did not come back");

    // Choosing a network again puts the result away.
    setup->getListModel().clickRow(0, {});
    EXPECT_FALSE(property("hasJoinReport"));
}

TEST_F(Join, EverySpeakerBackIsReportedAsSuch)
{
    choose("Home", "pw");
    invoke("passwordJoin");
    for (int server = 1; server <= 4; ++server)
        comesBack(server);
    platform.advance(NetworkSetupManager::kJoinMessageMs + NetworkSetupManager::kTimerMs);
    EXPECT_EQ(text("joinNetworkMessage"), "Home: 4 of 4 speakers joined");
}

TEST_F(Join, TextsOutsideAsciiAreRefusedBeforeAnythingIsSent)
{
    choose("Home", "p\xC3\xA4ssword"); // "pässword"
    EXPECT_FALSE(setup->interpretCommand(Tessel::CommandMsg("NetworkSetupManager", "Join")))
        << "the refused command says so";
    EXPECT_TRUE(joinRequests().empty());
    EXPECT_FALSE(property("networkChanging"));
    EXPECT_EQ(value("showPassword"), 1) << "the popup stays open to type it again";
    const std::string error = text("joinError");
    EXPECT_NE(error.find("ASCII"), std::string::npos) << error;
    EXPECT_NE(error.find("password"), std::string::npos) << error;
    EXPECT_EQ(error.find("p\xC3\xA4ssword"), std::string::npos) << "the password is never repeated";
    EXPECT_EQ(text("password"), "") << "a refused password is not kept";
    Tessel::Variant refusal;
    ASSERT_TRUE(setup->getProperty("commandRefusal", refusal));
    EXPECT_EQ(refusal.asString(), error) << "remotes learn the same reason";

    // A good password clears the message and joins.
    param("password")->setValue(Tessel::Variant("password"));
    invoke("passwordJoin");
    EXPECT_EQ(text("joinError"), "");
    EXPECT_EQ(joinRequests().size(), 4u);

    // A network name outside ASCII is named in the message; the direct join refuses it too.
    param("ssid")->setValue(Tessel::Variant("Caf\xC3\xA9"));
    param("password")->setValue(Tessel::Variant("plain"));
    EXPECT_FALSE(setup->join());
    EXPECT_EQ(joinRequests().size(), 4u);
    EXPECT_NE(text("joinError").find("\"Caf\xC3\xA9\""), std::string::npos) << text("joinError");
}

TEST_F(Join, TheQuestionIsNotAskedForATextThatWouldBeRefused)
{
    choose("Venue", "\xE2\x82\xAC"); // "€"
    invoke("passwordJoin");
    EXPECT_EQ(value("confirmJoin"), 0);
    EXPECT_FALSE(text("joinError").empty());
    EXPECT_TRUE(joinRequests().empty());
}

} // namespace
