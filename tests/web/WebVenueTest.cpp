// The tablet remote over a real venue: how the page is told of rooms and speakers, the rows of
// the network browser, and a locked room refusing the page's changes.
#include <gtest/gtest.h>

#include "tests/venue/VenueTestSupport.h"
#include "tests/web/WebTestSupport.h"
#include "venue/SpeakerGroup.h"
#include "web/WebDesk.h"

namespace
{

using Core::Portable::Attributes;
using Vellaris::Web::WebDesk;

constexpr const char* kVenue = "/roomdesk/VenueManager/activeVenue";

class WebVenue : public VenueTest::VenueFixture
{
protected:
    void SetUp() override
    {
        VenueFixture::SetUp();
        a = announce(1, "111111111", "TX20A");
        b = announce(2, "222222222", "TX10A");
        place("111111111");
        client = desk.openClient();
    }
    void TearDown() override
    {
        desk.closeClient(client);
        VenueFixture::TearDown();
    }

    // Sends one message and returns the one reply it caused (an empty set when there was not
    // exactly one).
    Attributes ask(const std::string& text)
    {
        sent.clear();
        desk.handleText(client, text);
        return sent.size() == 1 ? WebTest::parse(sent[0]) : Attributes();
    }
    Attributes set(const std::string& address, double value)
    {
        return ask(R"({"op":"set","address":")" + address + R"(","value":)" + std::to_string(value) + "}");
    }

    std::vector<std::string> sent;
    WebDesk desk{[this](WebDesk::ClientId, const std::string& text) { sent.push_back(text); }};
    WebDesk::ClientId client = 0;
    Vellaris::SpeakerNetworkItem* a = nullptr;
    Vellaris::SpeakerNetworkItem* b = nullptr;
};

TEST_F(WebVenue, RoomsAreAddressedByIndexAndEveryAddressOfTheVenueMessageAnswers)
{
    Vellaris::SpeakerRoom* second = venue->newRoom(false);
    ASSERT_NE(second, nullptr);
    second->findParameter("roomTitle")->setValue(Tessel::Variant("Balcony"));

    const Attributes message = ask(R"({"op":"venue","id":3})");
    ASSERT_EQ(message.getText("op"), "venue");
    EXPECT_EQ(message.getInt64("id"), 3);
    const Core::Portable::AttributeQueue* rooms = message.getQueue("rooms");
    ASSERT_NE(rooms, nullptr);
    ASSERT_EQ(rooms->count(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const Attributes* room = rooms->at(i).attributes();
        ASSERT_NE(room, nullptr);
        const std::string address(room->getText("address"));
        EXPECT_EQ(address, std::string(kVenue) + "/room[" + std::to_string(i) + "]");
        // The page reaches the room's controls under that address.
        const Attributes title = ask(R"({"op":"get","address":")" + address + R"(/roomTitle"})");
        EXPECT_EQ(title.getText("value"), room->getText("title")) << address;
    }
    EXPECT_EQ(rooms->at(1).attributes()->getText("title"), "Balcony");

    const Attributes* active = message.getAttributes("room");
    ASSERT_NE(active, nullptr);
    const std::string master(active->getText("masterGeq"));
    const Attributes curve = ask(R"({"op":"curve","address":")" + master + R"(","points":16})");
    EXPECT_EQ(curve.getText("op"), "curve") << master << ": " << curve.getText("reason");
    // The master's own response, as its display draws it: a raised band shows in the points.
    ASSERT_EQ(set(master + "/gain16", 6).getText("op"), "value");
    const Attributes raised = ask(R"({"op":"curve","address":")" + master + R"(","points":64})");
    const Core::Portable::AttributeQueue* gains = raised.getQueue("gain");
    ASSERT_NE(gains, nullptr);
    ASSERT_EQ(gains->count(), 64);
    double loudest = 0;
    for (int i = 0; i < gains->count(); ++i)
        loudest = std::max(loudest, gains->at(i).toDouble());
    EXPECT_NEAR(loudest, 6.0, 1.0);
    const Core::Portable::AttributeQueue* groups = active->getQueue("groups");
    ASSERT_NE(groups, nullptr);
    ASSERT_GE(groups->count(), 1);
    const Core::Portable::AttributeQueue* positions = groups->at(0).attributes()->getQueue("positions");
    ASSERT_NE(positions, nullptr);
    ASSERT_EQ(positions->count(), 1);
    const Attributes* placed = positions->at(0).attributes();
    EXPECT_EQ(placed->getText("serial"), "111111111");
    // The page shows the serial beside the name: the name does not repeat it.
    EXPECT_EQ(placed->getText("name"), "TX20A");
    EXPECT_EQ(placed->getInt64("online"), 1);
}

TEST_F(WebVenue, TheNetworkBrowsersRowsAreSentAndFollowedAsSpeakersComeAndGo)
{
    const std::string list = "/roomdesk/SpeakerNetwork/NetworkList";
    Attributes rows = ask(R"({"op":"rows","address":")" + list + R"(","id":1})");
    ASSERT_EQ(rows.getText("op"), "rows") << rows.getText("reason");
    ASSERT_NE(rows.getQueue("rows"), nullptr);
    auto serials = [](const Attributes& message)
    {
        std::vector<std::string> out;
        if (const Core::Portable::AttributeQueue* queue = message.getQueue("rows"))
            for (int i = 0; i < queue->count(); ++i)
                out.emplace_back(queue->at(i).attributes()->getText("serial"));
        return out;
    };
    const std::vector<std::string> before = serials(rows);
    EXPECT_NE(std::find(before.begin(), before.end(), "222222222"), before.end());
    for (int i = 0; i < rows.getQueue("rows")->count(); ++i)
    {
        const Attributes* row = rows.getQueue("rows")->at(i).attributes();
        if (row->getText("serial") == "222222222")
        {
            EXPECT_EQ(row->getText("name"), "TX10A");
            EXPECT_EQ(row->getText("model"), "TX10A");
            EXPECT_EQ(row->getText("path"), "/roomdesk/SpeakerNetwork/222222222");
        }
    }

    rows = ask(R"({"op":"subscribeRows","address":")" + list + R"("})");
    ASSERT_EQ(rows.getText("op"), "rows");
    sent.clear();
    announce(3, "333333333", "TX40S");
    platform.advance(WebDesk::kVenuePollMs);
    desk.flush(true);
    ASSERT_EQ(sent.size(), 1u);
    const std::vector<std::string> after = serials(WebTest::parse(sent[0]));
    EXPECT_NE(std::find(after.begin(), after.end(), "333333333"), after.end());

    // Nothing changed: nothing is sent again. After unsubscribing, nothing either.
    sent.clear();
    platform.advance(WebDesk::kVenuePollMs);
    desk.flush(true);
    EXPECT_TRUE(sent.empty());
    ask(R"({"op":"unsubscribeRows","address":")" + list + R"("})");
    EXPECT_EQ(desk.countWatches(client), 0u);

    const Attributes refused = ask(R"({"op":"rows","address":"/roomdesk/VenueManager"})");
    EXPECT_EQ(refused.getText("op"), "error");
    EXPECT_EQ(refused.getText("reason"), "the address names no list");
}

TEST_F(WebVenue, ALockedRoomRefusesThePagesChangesButItsLockCanBeLifted)
{
    const std::string room = std::string(kVenue) + "/room[0]";
    const std::string placed = "/speaker/111111111/line/ch1/volume";
    const std::string unplaced = "/speaker/222222222/line/ch1/volume";
    // The room's network browser is closed first: while it is open the lock is off and disabled.
    ASSERT_EQ(set(room + "/viewNetwork", 0).getText("op"), "value");
    ASSERT_EQ(set(room + "/locked", 1).getText("op"), "value");
    ASSERT_TRUE(this->room()->isLocked());

    const double before = param(a, "line/ch1/volume")->getValue().asDouble();
    for (
        const std::string& text : std::vector<std::string>{
            R"({"op":"set","address":")" + placed + R"(","value":-20})",
            R"({"op":"set","address":"/roomdesk/SpeakerNetwork/111111111/component/line/ch1/mute","value":1})",
            R"({"op":"begin","address":")" + placed + R"("})",
            R"({"op":"set","address":")" + room + R"(/muteAll","value":1})",
            R"({"op":"invoke","address":")" + room + R"(/roomVolumeUp"})",
            R"({"op":"set","address":")" + room + R"(/Master/geq/gain1","value":3})"})
    {
        const Attributes reply = ask(text);
        EXPECT_EQ(reply.getText("op"), "error") << text;
        EXPECT_EQ(reply.getText("reason"),
                  "the room \"" + this->room()->findParameter("roomTitle")->getValue().asString() +
                      "\" is locked")
            << text;
    }
    EXPECT_DOUBLE_EQ(param(a, "line/ch1/volume")->getValue().asDouble(), before);
    EXPECT_EQ(desk.countGestures(client), 0u);
    // A speaker of no locked room, and questions, are answered as ever.
    EXPECT_EQ(set(unplaced, -20).getText("op"), "value");
    EXPECT_EQ(ask(R"({"op":"get","address":")" + placed + R"("})").getText("op"), "value");

    EXPECT_EQ(set(room + "/locked", 0).getText("op"), "value");
    EXPECT_EQ(set(placed, -20).getText("op"), "value");
    EXPECT_DOUBLE_EQ(param(a, "line/ch1/volume")->getValue().asDouble(), -20);
}

} // namespace
