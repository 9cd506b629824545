// The tablet remote's JSON protocol, without sockets: what each message does and answers.
#include <gtest/gtest.h>

#include <set>

#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tests/web/WebTestSupport.h"
#include "web/WebDesk.h"

namespace
{

using Core::Portable::Attributes;
using Vellaris::Web::WebDesk;
using WebTest::parse;

class WebDeskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mixer = new WebTest::Mixer;
        Tessel::getRootComponent()->addChild(mixer);
        client = desk.openClient();
    }
    void TearDown() override { Tessel::destroyRootComponent(); }

    // Sends one message and returns the replies it caused.
    std::vector<Attributes> send(const std::string& text, WebDesk::ClientId from = 0)
    {
        desk.handleText(from ? from : client, text);
        return take();
    }
    std::vector<Attributes> take()
    {
        std::vector<Attributes> out;
        for (const std::string& text : sent)
            out.push_back(parse(text));
        everySent += joined();
        sent.clear();
        return out;
    }
    std::string joined() const
    {
        std::string all;
        for (const std::string& text : sent)
            all += text + "\n";
        return all;
    }

    Tessel::HeadlessPlatform platform;
    std::vector<std::string> sent;
    std::vector<WebDesk::ClientId> to;
    std::string everySent;
    WebDesk desk{[this](WebDesk::ClientId id, const std::string& text)
                 {
                     to.push_back(id);
                     sent.push_back(text);
                 }};
    WebTest::Mixer* mixer = nullptr;
    WebDesk::ClientId client = 0;
};

TEST_F(WebDeskTest, GetSetInvokeAndListAnswerWithTheOscValueRules)
{
    desk.sendHello(client);
    auto replies = take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].getText("op"), "hello");
    EXPECT_EQ(replies[0].getText("desk"), "Ambrel");
    EXPECT_EQ(replies[0].getInt64("readOnly", 7), 0);

    replies = send(R"({"op":"set","address":"/roomdesk/Mixer/volume","value":-6,"id":7})");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].getText("op"), "value");
    EXPECT_DOUBLE_EQ(replies[0].getDouble("value"), -6.0);
    EXPECT_EQ(replies[0].getInt64("id"), 7);
    EXPECT_FALSE(replies[0].getText("text").empty());
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), -6.0);
    // Outside a held gesture every set is one gesture of its own.
    EXPECT_EQ(mixer->edits, (std::vector<std::string>{"begin volume", "end volume"}));

    replies = send(R"({"op":"set","address":"/roomdesk/Mixer/volume","text":"-3"})");
    EXPECT_DOUBLE_EQ(replies.at(0).getDouble("value"), -3.0);
    replies = send(R"({"op":"set","address":"/roomdesk/Mixer/volume","value":99.5})");
    EXPECT_DOUBLE_EQ(replies.at(0).getDouble("value"), 10.0); // clamped to the range

    replies = send(R"({"op":"get","address":"/roomdesk/Mixer/nickname"})");
    EXPECT_EQ(replies.at(0).getText("value"), "Left");
    replies = send(R"({"op":"set","address":"/roomdesk/Mixer/nickname","text":"Centre \"C\"\n"})");
    EXPECT_EQ(replies.at(0).getText("value"), "Centre \"C\"\n"); // escaped and read back whole

    replies = send(R"({"op":"invoke","address":"/roomdesk/Mixer/volumeUp","id":3})");
    EXPECT_EQ(replies.at(0).getText("op"), "done");
    EXPECT_EQ(replies.at(0).getInt64("id"), 3);
    EXPECT_EQ(mixer->invoked, 1);

    replies = send(R"({"op":"list","address":"/roomdesk/Mixer"})");
    ASSERT_EQ(replies.at(0).getText("op"), "list");
    const Core::Portable::AttributeQueue* names = replies[0].getQueue("names");
    ASSERT_NE(names, nullptr);
    EXPECT_GE(names->count(), 6);
}

TEST_F(WebDeskTest, EveryRefusalIsAnErrorWithAReasonAndChangesNothing)
{
    const double before = mixer->volume->getValue().asDouble();
    struct Case
    {
        const char* message;
        const char* reason; // a part of the reason
    };
    const Case cases[] = {
        {R"({"op":"get","address":"/roomdesk/Nowhere/volume"})", "nothing at this address"},
        {R"({"op":"get","address":"/elsewhere"})", "neither /roomdesk nor /speaker"},
        {R"({"op":"set","address":"/roomdesk/Mixer/volume","text":"loud"})", "is not a value"},
        {R"({"op":"set","address":"/roomdesk/Mixer/volume"})", "needs a \"value\""},
        {R"({"op":"set","address":"/roomdesk/Mixer/locked","value":1})", "read-only"},
        {R"({"op":"set","address":"/roomdesk/Mixer/volumeUp","value":1})", "invoke it"},
        {R"({"op":"invoke","address":"/roomdesk/Mixer/volume"})", "no command"},
        {R"({"op":"get","address":"/roomdesk/Mixer"})", "names a component"},
        {R"({"op":"get"})", "needs an \"address\""},
        {R"({"op":"fly","address":"/roomdesk/Mixer/volume"})", "unknown op"},
        {R"({"address":"/roomdesk/Mixer/volume"})", "no \"op\""},
        {R"({"op":"get","address":)", "malformed message"},
        {"binary", "malformed message"},
        {R"({"op":"curve","address":"/roomdesk/Mixer/volume"})", "no equaliser"},
        {R"({"op":"curve","address":"/roomdesk/Mixer","points":100000})", "2 to 2048 points"},
        {R"({"op":"get","address":"/roomdesk/Mixer/password"})", "write-only"},
        {R"({"op":"subscribe","address":"/roomdesk/Mixer/password"})", "write-only"},
    };
    for (const Case& c : cases)
    {
        auto replies = send(c.message);
        ASSERT_EQ(replies.size(), 1u) << c.message;
        EXPECT_EQ(replies[0].getText("op"), "error") << c.message;
        EXPECT_NE(std::string(replies[0].getText("reason")).find(c.reason), std::string::npos)
            << c.message << " -> " << replies[0].getText("reason");
    }
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), before);
    EXPECT_EQ(desk.countWatches(client), 0u);

    desk.handleText(client, std::string(WebDesk::kMaxMessageBytes + 1, ' '));
    auto replies = take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_NE(std::string(replies[0].getText("reason")).find("64 KB"), std::string::npos);
}

TEST_F(WebDeskTest, WithoutAVenueThePageIsToldSo)
{
    auto replies = send(R"({"op":"venue","id":2})");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].getText("op"), "venue");
    EXPECT_EQ(replies[0].getInt64("open", 7), 0);
    EXPECT_EQ(replies[0].getInt64("id"), 2);
    replies = send(R"({"op":"subscribeVenue"})");
    ASSERT_EQ(replies.size(), 1u);
    desk.flush(true); // nothing changed: nothing is sent again
    EXPECT_TRUE(take().empty());
}

TEST_F(WebDeskTest, ASecretIsTakenButNeverSentBack)
{
    auto replies = send(R"({"op":"set","address":"/roomdesk/Mixer/password","text":"hunter22"})");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].getText("op"), "value");
    EXPECT_EQ(replies[0].getInt64("writeOnly"), 1);
    EXPECT_EQ(mixer->password->getValue().asString(), "hunter22");
    send(R"({"op":"list","address":"/roomdesk/Mixer"})");
    EXPECT_EQ(everySent.find("hunter22"), std::string::npos);
}

TEST_F(WebDeskTest, WatchesSendTheNewestValueAtMostOncePerPeriod)
{
    auto replies = send(R"({"op":"subscribe","address":"/roomdesk/Mixer/volume"})");
    ASSERT_EQ(replies.size(), 1u); // the value at once
    EXPECT_EQ(desk.countWatches(client), 1u);
    for (int db : {-10, -11, -12})
        mixer->volume->setValue(Tessel::Variant(double(db)), true);
    desk.flush(false); // the period since the first value has not passed: nothing yet
    EXPECT_TRUE(take().empty());
    platform.advance(2 * WebDesk::kCoalesceMs);
    replies = take();
    ASSERT_EQ(replies.size(), 1u); // the three changes as one message, with the newest value
    EXPECT_DOUBLE_EQ(replies[0].getDouble("value"), -12.0);

    // A change back and forth within one period moves nothing the page sees.
    mixer->volume->setValue(Tessel::Variant(-1.0), true);
    mixer->volume->setValue(Tessel::Variant(-12.0), true);
    desk.flush(true);
    EXPECT_TRUE(take().empty());

    send(R"({"op":"unsubscribe","address":"/roomdesk/Mixer/volume"})");
    EXPECT_EQ(desk.countWatches(client), 0u);
    mixer->volume->setValue(Tessel::Variant(-2.0), true);
    desk.flush(true);
    EXPECT_TRUE(take().empty());
}

TEST_F(WebDeskTest, WhatChangedGoesAsOneBatchAndASettingGoesWithoutWaitingForTheTick)
{
    send(R"({"op":"subscribe","address":"/roomdesk/Mixer/volume"})");
    send(R"({"op":"subscribe","address":"/roomdesk/Mixer/meter"})");
    const WebDesk::ClientId other = desk.openClient();
    send(R"({"op":"subscribe","address":"/roomdesk/Mixer/meter"})", other);
    platform.advance(2 * WebDesk::kCoalesceMs);
    take();
    sent.clear();
    to.clear();

    // A reading waits for the desk's tick: the loop turns, nothing is sent.
    mixer->meter->setValue(Tessel::Variant(0.5), true);
    platform.flush();
    EXPECT_TRUE(sent.empty());
    // A setting is looked at on the next turn of the loop, and takes what else is due with it:
    // one message per page, an array when it holds several.
    mixer->volume->setValue(Tessel::Variant(-20.0), true);
    platform.flush();
    ASSERT_EQ(sent.size(), 2u) << joined();
    const size_t mine = to[0] == client ? 0 : 1;
    EXPECT_EQ(to[1 - mine], other);
    const Attributes batch = parse(R"({"batch":)" + sent[mine] + "}");
    const Core::Portable::AttributeQueue* messages = batch.getQueue("batch");
    ASSERT_NE(messages, nullptr) << sent[mine];
    ASSERT_EQ(messages->count(), 2);
    std::set<std::string> addresses;
    for (int i = 0; i < messages->count(); ++i)
        addresses.emplace(messages->at(i).attributes()->getText("address"));
    EXPECT_EQ(addresses, (std::set<std::string>{"/roomdesk/Mixer/volume", "/roomdesk/Mixer/meter"}));
    // The other page watches the meter alone: a single message, not an array.
    EXPECT_EQ(parse(sent[1 - mine]).getText("address"), "/roomdesk/Mixer/meter");
    desk.closeClient(other);
}

TEST_F(WebDeskTest, WatchesPerClientAreBoundedAndGoWithTheClient)
{
    for (size_t i = 0; i < WebDesk::kMaxWatchesPerClient; ++i)
        desk.handleText(client, R"({"op":"subscribe","address":"/roomdesk/Mixer/volume"})");
    EXPECT_EQ(desk.countWatches(client), 1u); // the same address is one watch
    take();
    const char* properties[] = {"name", "title", "numChildren"};
    for (const char* property : properties)
        send(std::string(R"({"op":"subscribe","address":"/roomdesk/Mixer/)") + property + "\"}");
    EXPECT_EQ(desk.countWatches(client), 4u);
    desk.closeClient(client);
    EXPECT_EQ(desk.countWatches(client), 0u);
    mixer->volume->setValue(Tessel::Variant(-30.0), true);
    desk.flush(true);
    EXPECT_TRUE(take().empty());
}

TEST_F(WebDeskTest, AHeldControlIsOneGestureAndEndsWithItsSocket)
{
    send(R"({"op":"begin","address":"/roomdesk/Mixer/volume"})");
    EXPECT_EQ(desk.countGestures(client), 1u);
    for (const char* db : {"-20", "-21", "-22"})
        send(std::string(R"({"op":"set","address":"/roomdesk/Mixer/volume","value":)") + db + "}");
    EXPECT_EQ(mixer->edits, (std::vector<std::string>{"begin volume"}));
    send(R"({"op":"end","address":"/roomdesk/Mixer/volume"})");
    EXPECT_EQ(mixer->edits, (std::vector<std::string>{"begin volume", "end volume"}));
    EXPECT_EQ(desk.countGestures(client), 0u);

    // A page that vanishes with a finger down lets go of the control.
    send(R"({"op":"begin","address":"/roomdesk/Mixer/volume"})");
    desk.closeClient(client);
    EXPECT_EQ(mixer->edits.back(), "end volume");

    // A read-only control cannot be held.
    WebDesk::ClientId other = desk.openClient();
    auto replies = send(R"({"op":"begin","address":"/roomdesk/Mixer/locked"})", other);
    EXPECT_EQ(replies.at(0).getText("op"), "error");
    EXPECT_EQ(desk.countGestures(other), 0u);
}

TEST_F(WebDeskTest, AReadOnlyDeskRefusesEveryChangeButAnswersQuestions)
{
    send(R"({"op":"begin","address":"/roomdesk/Mixer/volume"})");
    desk.setReadOnly(true);
    EXPECT_EQ(mixer->edits.back(), "end volume"); // held controls are let go
    auto replies = take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].getText("op"), "hello");
    EXPECT_EQ(replies[0].getInt64("readOnly"), 1);

    const double before = mixer->volume->getValue().asDouble();
    for (const char* change : {R"({"op":"set","address":"/roomdesk/Mixer/volume","value":-1})",
                               R"({"op":"set","address":"/roomdesk/Mixer/password","text":"x"})",
                               R"({"op":"begin","address":"/roomdesk/Mixer/volume"})",
                               R"({"op":"invoke","address":"/roomdesk/Mixer/volumeUp"})"})
    {
        replies = send(change);
        ASSERT_EQ(replies.size(), 1u) << change;
        EXPECT_EQ(replies[0].getText("reason"), "the page is read-only: changes are made at the desk");
    }
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), before);
    EXPECT_EQ(mixer->invoked, 0);
    replies = send(R"({"op":"get","address":"/roomdesk/Mixer/volume"})");
    EXPECT_EQ(replies.at(0).getText("op"), "value");
}

} // namespace
