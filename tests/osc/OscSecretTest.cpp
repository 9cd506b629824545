// Secrets over the remote control: a secret parameter can be set but never queried, watched or
// heard back, and the Wi-Fi password travels only to the speakers, also while a remote watches
// the join, on the desk alone and through the real socket.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "netsetup/NetworkSetupManager.h"
#include "osc/OscServer.h"
#include "protocol/MessageNames.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/ListParam.h"
#include "tessel/ParamContainer.h"
#include "tessel/StringParam.h"
#include "tests/common/FakeLibrary.h"
#include "tests/osc/OscTestSupport.h"

namespace
{

using OscTest::Reply;

constexpr const char* kToken = "t0ken-n0t-f0r-y0u";

void expectWriteOnly(const std::vector<Reply>& replies, const std::string& address)
{
    ASSERT_EQ(replies.size(), 1u) << address;
    EXPECT_EQ(replies[0].path, "/error") << address;
    ASSERT_EQ(replies[0].args.size(), 2u) << address;
    EXPECT_EQ(replies[0].args[0], address);
    EXPECT_NE(replies[0].args[1].find("write-only"), std::string::npos) << replies[0].args[1];
}

// --- The flag, on any component ------------------------------------------------------------------

class OscSecret : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* keys = new Tessel::Component("Keys");
        Tessel::getRootComponent()->addChild(keys);
        token = keys->getParams().addString("token", 1);
        token->setFlag(Tessel::ParamFlags::kSecret, true);
        token->setValue(Tessel::Variant(kToken), false);
        keys->getParams().addString("label", 2)->setValue(Tessel::Variant("Desk"), false);
        keys->getParams().addAlias(token, "tokenAlias", 3);
    }
    void TearDown() override { Tessel::destroyRootComponent(); }

    Tessel::HeadlessPlatform platform;
    Tessel::StringParam* token = nullptr;
    OscTest::DeskUnderTest desk;
};

TEST_F(OscSecret, QueriesAndWatchesAreRefusedAsWriteOnly)
{
    expectWriteOnly(desk.send("/roomdesk/Keys/token"), "/roomdesk/Keys/token");
    expectWriteOnly(desk.send("/roomdesk/Keys/tokenAlias"), "/roomdesk/Keys/tokenAlias");
    for (const char* verb : {"/subscribe", "/renew"})
        expectWriteOnly(desk.send(verb, {{'s', "/roomdesk/Keys/token"}}), "/roomdesk/Keys/token");
    expectWriteOnly(desk.send("/subscribe", {{'s', "/roomdesk/Keys/tokenAlias"}}),
                    "/roomdesk/Keys/tokenAlias");
    EXPECT_EQ(desk.desk.countLeases(), 0u);

    // Other values of the component answer as ever, and the list names the secret.
    auto label = desk.send("/roomdesk/Keys/label");
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].args[0], "Desk");
    auto list = desk.send("/list", {{'s', "/roomdesk/Keys"}});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NE(std::find(list[0].args.begin(), list[0].args.end(), "token"), list[0].args.end());
    EXPECT_EQ(desk.everySent.find(kToken), std::string::npos);
}

TEST_F(OscSecret, ASetIsTakenAndOnlyConfirmed)
{
    auto reply = desk.send("/roomdesk/Keys/token", {{'s', "n3w-t0ken"}});
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].path, "/roomdesk/Keys/token");
    EXPECT_EQ(reply[0].args, (std::vector<std::string>{"1", "write-only"}));
    EXPECT_EQ(token->getValue().asString(), "n3w-t0ken");
    EXPECT_EQ(desk.everySent.find("n3w-t0ken"), std::string::npos);
    // A refused set says why without repeating the value.
    auto refused = desk.send("/roomdesk/Keys/token", {{'f', "1.5"}});
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].path, "/error");
}

// --- The Wi-Fi password --------------------------------------------------------------------------

constexpr const char* kPassword = "pa55-w0rd-kept-secret";

class OscWifiPassword : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Vellaris::registerSpeakerClasses()); }

    void SetUp() override
    {
        setup = Vellaris::NetworkSetupManager::create();
        speakers = new Vellaris::SpeakerNetworkManager(&library);
        Tessel::getRootComponent()->addChild(speakers);
        speakers->startup();
        add(1, "1", {"Home<&#&>70<&#&>locked", "Venue<&#&>60<&#&>locked"});
        add(2, "2", {"Home<&#&>50<&#&>locked"});
    }
    void TearDown() override { Tessel::destroyRootComponent(); }

    void add(int server, const char* serial, const std::vector<std::string>& networks)
    {
        library.setDevice(server, "127.0.0.1", "", uint16_t(4000 + server));
        library.announce(server, "TX10A", "SPK", serial);
        platform.advance(0);
        Vellaris::SpeakerNetworkItem* item = speakers->findItemBySerial(serial);
        ASSERT_TRUE(item);
        Tessel::IParameter* list = item->getSpeakerComponent()->findParameter("networklist");
        dynamic_cast<Tessel::ListParam*>(list->getOriginal())->setEntries(networks);
    }
    std::vector<std::string> passwordsSent() const
    {
        std::vector<std::string> found;
        for (const auto& message : library.messages)
            if (message.messageId() == Vellaris::LK::Message::kRequestNetworkChange)
                found.emplace_back(message.getText(Vellaris::LK::Message::kRequestNetworkPw));
        return found;
    }
    static std::string address(const char* name)
    {
        return std::string("/roomdesk/NetworkSetupManager/") + name;
    }

    NetworkTest::FakeLibrary library;
    Tessel::HeadlessPlatform platform;
    Vellaris::NetworkSetupManager* setup = nullptr;
    Vellaris::SpeakerNetworkManager* speakers = nullptr;
    OscTest::DeskUnderTest desk;
};

TEST_F(OscWifiPassword, WatchersOfTheSetupNeverHearThePassword)
{
    // One remote watches everything the setup shows, another tries the password itself.
    for (const char* name : {"ssid", "showPassword", "joinNetworkMessage", "networkChanging", "confirmJoin"})
        ASSERT_EQ(desk.send("/subscribe", {{'s', address(name)}}).size(), 1u) << name;
    expectWriteOnly(desk.send("/subscribe", {{'s', address("password")}}, "127.0.0.1:50001"),
                    address("password"));
    expectWriteOnly(desk.send(address("password")), address("password"));

    desk.send(address("ssid"), {{'s', "Home"}});
    auto set = desk.send(address("password"), {{'s', kPassword}});
    ASSERT_FALSE(set.empty());
    EXPECT_EQ(set.back().args, (std::vector<std::string>{"1", "write-only"}));
    auto join = desk.send(address("passwordJoin"));
    ASSERT_FALSE(join.empty());
    EXPECT_EQ(join.back().path, address("passwordJoin"));
    EXPECT_EQ(passwordsSent(), (std::vector<std::string>{kPassword, kPassword})) << "the speakers get it";

    // The watches keep running, and the join window closes.
    desk.send("/renew", {{'s', address("joinNetworkMessage")}});
    platform.advance(Vellaris::NetworkSetupManager::kJoinMessageMs + 1000);
    desk.take();
    EXPECT_EQ(desk.everySent.find(kPassword), std::string::npos) << "no reply ever carried it";
    EXPECT_EQ(desk.everySent.find("pa55"), std::string::npos);
}

TEST_F(OscWifiPassword, TheQuestionBeforeAPartialJoinIsAnsweredRemotely)
{
    desk.send(address("ssid"), {{'s', "Venue"}});
    desk.send(address("password"), {{'s', kPassword}});
    desk.send(address("passwordJoin"));
    EXPECT_TRUE(passwordsSent().empty());
    auto asked = desk.send(address("confirmJoin"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].integer, 1);
    auto question = desk.send(address("confirmJoinMessage"));
    ASSERT_EQ(question.size(), 1u);
    EXPECT_EQ(question[0].args[0], "1 of 2 speakers see Venue; the others will stay on the wired network");

    auto confirmed = desk.send(address("joinConfirm"));
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0].path, address("joinConfirm"));
    EXPECT_EQ(passwordsSent().size(), 2u);
    // Nothing is left to confirm: the remote is told so.
    auto again = desk.send(address("joinConfirm"));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].path, "/error");
    EXPECT_EQ(desk.everySent.find(kPassword), std::string::npos);
}

TEST_F(OscWifiPassword, ATextOutsideAsciiIsRefusedWithItsReason)
{
    const std::string accented = "p\xC3\xA4ssword-kept";
    desk.send(address("ssid"), {{'s', "Home"}});
    desk.send(address("password"), {{'s', accented}});
    auto join = desk.send(address("passwordJoin"));
    ASSERT_EQ(join.size(), 1u);
    EXPECT_EQ(join[0].path, "/error");
    ASSERT_EQ(join[0].args.size(), 2u);
    EXPECT_NE(join[0].args[1].find("ASCII"), std::string::npos) << join[0].args[1];
    EXPECT_TRUE(passwordsSent().empty()) << "nothing is sent to the speakers";
    EXPECT_EQ(desk.everySent.find(accented), std::string::npos);

    desk.send(address("ssid"), {{'s', "Caf\xC3\xA9"}});
    desk.send(address("password"), {{'s', "plain"}});
    auto named = desk.send(address("passwordJoin"));
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].path, "/error");
    EXPECT_NE(named[0].args[1].find("Caf\xC3\xA9"), std::string::npos) << named[0].args[1];
    EXPECT_TRUE(passwordsSent().empty());
}

TEST_F(OscWifiPassword, TheRealSocketNeverCarriesIt)
{
    Vellaris::Osc::OscServer server;
    Vellaris::Osc::OscSettings settings;
    settings.port = OscTest::freePort();
    ASSERT_TRUE(server.start(settings)) << server.getStatus();

    // As "roomctl desk watch" does: subscribe, then renew.
    OscTest::LoopbackSocket watcher;
    OscTest::LoopbackSocket sender;
    watcher.sendTo(settings.port, OscTest::encode("/subscribe", {{'s', address("password")}}));
    watcher.sendTo(settings.port, OscTest::encode("/subscribe", {{'s', address("ssid")}}));
    platform.advance(0);
    Reply reply;
    std::string raw;
    ASSERT_TRUE(watcher.receive(reply, &raw));
    EXPECT_EQ(reply.path, "/error");
    ASSERT_TRUE(watcher.receive(reply));
    EXPECT_EQ(reply.path, address("ssid"));

    sender.sendTo(settings.port, OscTest::encode(address("ssid"), {{'s', "Home"}}));
    sender.sendTo(settings.port, OscTest::encode(address("password"), {{'s', kPassword}}));
    sender.sendTo(settings.port, OscTest::encode(address("passwordJoin")));
    watcher.sendTo(settings.port, OscTest::encode("/renew", {{'s', address("password")}}));
    watcher.sendTo(settings.port, OscTest::encode(address("password")));
    platform.advance(0);
    ASSERT_EQ(passwordsSent().size(), 2u);

    // The sender's answers end with the join's; the watcher's with its two refusals.
    std::string everything;
    auto collect = [&](OscTest::LoopbackSocket& socket, const std::function<bool(const Reply&)>& last)
    {
        for (;;)
        {
            ASSERT_TRUE(socket.receive(reply, &raw));
            everything += raw;
            if (last(reply))
                return;
        }
    };
    collect(sender, [&](const Reply& r) { return r.path == address("passwordJoin"); });
    int refusals = 0;
    collect(watcher, [&](const Reply& r) { return r.path == "/error" && ++refusals == 2; });
    EXPECT_EQ(everything.find(kPassword), std::string::npos);
    server.stop();
}

} // namespace
