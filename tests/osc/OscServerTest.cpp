// The remote control's socket on loopback, served from the headless platform's loop.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include "osc/OscServer.h"
#include "tessel/Component.h"
#include "tessel/DescriptorPoller.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/ParamContainer.h"
#include "tests/osc/OscTestSupport.h"

namespace
{

using OscTest::freePort;
using OscTest::LoopbackSocket;

class OscServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* mixer = new Tessel::Component("Mixer");
        Tessel::getRootComponent()->addChild(mixer);
        mixer->getParams().addFloat(-80, 10, "volume", 1);
    }
    void TearDown() override { Tessel::destroyRootComponent(); }

    Tessel::HeadlessPlatform platform;
};

TEST_F(OscServer, AnswersTheSenderFromItsOwnPortOnTheLoopTurn)
{
    Vellaris::Osc::OscServer server;
    Vellaris::Osc::OscSettings settings;
    settings.port = freePort();
    ASSERT_TRUE(server.start(settings)) << server.getStatus();
    EXPECT_EQ(server.getStatus(), "127.0.0.1:" + std::to_string(settings.port));

    LoopbackSocket client;
    client.sendTo(settings.port, OscTest::encode("/roomdesk/Mixer/volume", {{'s', "-6"}}));
    client.sendTo(settings.port, {'x'}); // garbage between two good messages
    client.sendTo(settings.port, OscTest::encode("/roomdesk/Mixer/volume"));
    platform.advance(0);
    OscTest::Reply reply;
    ASSERT_TRUE(client.receive(reply));
    EXPECT_EQ(reply.path, "/roomdesk/Mixer/volume");
    EXPECT_FLOAT_EQ(reply.number, -6.0f);
    ASSERT_TRUE(client.receive(reply));
    EXPECT_EQ(reply.path, "/error");
    ASSERT_TRUE(client.receive(reply));
    EXPECT_FLOAT_EQ(reply.number, -6.0f);

    server.stop();
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(server.getStatus(), "off");
}

TEST_F(OscServer, PortInUseIsReportedNotFatal)
{
    LoopbackSocket holder;
    Vellaris::Osc::OscServer server;
    Vellaris::Osc::OscSettings settings;
    settings.port = holder.port;
    EXPECT_FALSE(server.start(settings));
    EXPECT_FALSE(server.isListening());
    EXPECT_NE(server.getStatus().find("in use"), std::string::npos) << server.getStatus();
    platform.advance(10); // the loop goes on

    settings.port = 0;
    EXPECT_TRUE(server.start(settings));
    EXPECT_EQ(server.getStatus(), "off");
}

TEST(DescriptorPoller, CallsReadableDescriptorsAndSurvivesUnwatchInsideACallback)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM, 0, pair), 0);
    Tessel::DescriptorPoller poller;
    int calls = 0;
    ASSERT_TRUE(poller.watch(pair[1],
                             [&]
                             {
                                 ++calls;
                                 poller.unwatch(pair[1]);
                             }));
    EXPECT_FALSE(poller.watch(-1, [] {}));
    EXPECT_EQ(poller.poll(), 0); // nothing to read yet
    ASSERT_EQ(::write(pair[0], "x", 1), 1);
    EXPECT_EQ(poller.poll(), 1);
    EXPECT_EQ(poller.poll(), 0); // unwatched, though the byte is still there
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(poller.count(), 0);
    ::close(pair[0]);
    ::close(pair[1]);
}

} // namespace
