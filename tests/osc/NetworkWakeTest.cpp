// The wake of the speaker network: a readable socket is processed at once, and a busy network is
// left to the idle turns, for longer while it stays busy.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <vector>

#include "osc/NetworkWake.h"
#include "tessel/DescriptorPoller.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Platform.h"
#include "tests/common/IdleNetworkManager.h"

namespace
{

using Vellaris::Osc::NetworkWake;

// A network of a few connected sockets; process() reads whatever waits on them.
class SocketNetwork : public TestSupport::IdleNetworkManager
{
public:
    SocketNetwork()
    {
        for (auto& pair : pairs)
            ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair.data());
    }
    ~SocketNetwork()
    {
        for (auto& pair : pairs)
        {
            ::close(pair[0]);
            ::close(pair[1]);
        }
    }
    // A speaker sends a byte on connection `i`.
    void arrive(size_t i) { ASSERT_EQ(::write(pairs[i][1], "m", 1), 1); }
    void process() override
    {
        ++processed;
        char buffer[64];
        for (auto& pair : pairs)
            while (::read(pair[0], buffer, sizeof buffer) > 0)
            {
            }
    }
    int pollDescriptors(std::vector<pollfd>& fds) override
    {
        if (!running)
            return -1;
        fds.clear();
        for (size_t i = 0; i < shown; ++i)
            fds.push_back({pairs[i][0], POLLIN, 0});
        return int(fds.size());
    }

    std::array<std::array<int, 2>, 3> pairs{};
    size_t shown = 3;
    bool running = true;
    int processed = 0;
};

class NetworkWakeTest : public ::testing::Test
{
protected:
    Tessel::HeadlessPlatform platform;
    Tessel::DescriptorPoller& poller = static_cast<Tessel::DescriptorPoller&>(*Tessel::GetDescriptorWatcher());
    SocketNetwork network;
};

TEST_F(NetworkWakeTest, AReadableSocketIsProcessedAtOnce)
{
    NetworkWake wake(&network);
    EXPECT_TRUE(wake.isArmed());
    EXPECT_EQ(poller.count(), 3); // the descriptors the library names
    EXPECT_EQ(poller.poll(), 0);
    network.arrive(2);
    EXPECT_EQ(poller.poll(), 1);
    EXPECT_EQ(network.processed, 1);
    EXPECT_EQ(poller.poll(), 0); // read: nothing wakes until the next packet
    platform.advance(20);
    network.arrive(0);
    EXPECT_EQ(poller.poll(), 1);
    EXPECT_EQ(network.processed, 2);
}

TEST_F(NetworkWakeTest, SocketsThatComeAndGoAreFollowedOnTheIdleTurn)
{
    network.shown = 1;
    NetworkWake wake(&network);
    network.arrive(1);
    EXPECT_EQ(poller.poll(), 0); // not a socket of the network yet
    network.shown = 3;
    platform.advance(0);
    EXPECT_EQ(poller.poll(), 1);
    EXPECT_EQ(network.processed, 1);
    platform.advance(20);
    network.shown = 2; // the third connection went away
    platform.advance(0);
    network.arrive(2);
    EXPECT_EQ(poller.poll(), 0);
    network.running = false;
    platform.advance(0);
    EXPECT_FALSE(wake.isArmed());
    EXPECT_EQ(poller.count(), 0);
}

TEST_F(NetworkWakeTest, ABusyNetworkIsLeftToTheIdleTurns)
{
    NetworkWake wake(&network);
    network.arrive(0);
    EXPECT_EQ(poller.poll(), 1);
    network.arrive(1); // within the gap: steps aside, processes nothing
    EXPECT_EQ(poller.poll(), 1);
    EXPECT_EQ(network.processed, 1);
    EXPECT_FALSE(wake.isArmed());
    EXPECT_EQ(poller.count(), 0);
    // Once busy is no habit: the next idle turn watches again.
    platform.advance(10);
    EXPECT_TRUE(wake.isArmed());
    EXPECT_EQ(poller.poll(), 1); // the byte that waited
    EXPECT_EQ(network.processed, 2);
}

TEST_F(NetworkWakeTest, ANetworkThatStaysBusyGetsLongerRestsUntilItPauses)
{
    NetworkWake wake(&network);
    // Two packets close together, then the idle turns until the wake watches again.
    auto restAfterBusy = [&]
    {
        network.arrive(0);
        poller.poll();
        network.arrive(1);
        poller.poll();
        EXPECT_FALSE(wake.isArmed());
        int64_t waited = 0;
        while (!wake.isArmed() && waited < 1000)
        {
            platform.advance(10);
            waited += 10;
        }
        return waited;
    };
    std::vector<int64_t> rests;
    for (int i = 0; i < 7; ++i)
        rests.push_back(restAfterBusy());
    EXPECT_EQ(rests, (std::vector<int64_t>{10, 10, 20, 40, 80, NetworkWake::kRestMs, NetworkWake::kRestMs}));
    // A pause: the next busy moment starts over with one idle turn.
    platform.advance(500);
    EXPECT_EQ(restAfterBusy(), 10);
}

TEST_F(NetworkWakeTest, GoingAwayLeavesNothingWatched)
{
    {
        NetworkWake wake(&network);
        EXPECT_EQ(poller.count(), 3);
    }
    EXPECT_EQ(poller.count(), 0);
    network.arrive(0);
    platform.advance(20);
    EXPECT_EQ(network.processed, 0);
}

} // namespace
