// The network manager's socket set: readiness with its owner, sockets that leave the
// description, a descriptor number that comes back for another socket, and the one descriptor
// an outside event loop watches.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>

#include "lknet/Poller.h"

namespace lknet
{
namespace
{

struct SocketPair
{
    SocketPair() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds); }
    ~SocketPair()
    {
        for (int fd : fds)
            if (fd >= 0)
                ::close(fd);
    }
    void send() { ASSERT_EQ(::write(fds[1], "x", 1), 1); }
    int fds[2] = {-1, -1};
};

bool readable(int fd)
{
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1;
}

TEST(Poller, ReportsReadySocketsWithTheirOwnersAndForgetsThoseNoLongerWanted)
{
    Poller poller;
    ASSERT_EQ(poller.open(), 0);
    SocketPair a, b;
    int ownerA = 0, ownerB = 0;
    poller.begin();
    poller.want(a.fds[0], POLLIN, 10, &ownerA);
    poller.want(b.fds[0], POLLIN, 20, &ownerB);
    poller.end();
    EXPECT_EQ(poller.wait(0), 0);

    b.send();
    ASSERT_EQ(poller.wait(0), 1);
    EXPECT_EQ(poller.ready()[0].fd, b.fds[0]);
    EXPECT_EQ(poller.ready()[0].owner, &ownerB);
    EXPECT_TRUE(poller.ready()[0].revents & POLLIN);
    EXPECT_EQ(poller.wait(0), 1) << "still ready until read";

    // b leaves the description: its data no longer counts, a's does.
    poller.begin();
    poller.want(a.fds[0], POLLIN | POLLOUT, 10, &ownerA);
    poller.end();
    ASSERT_EQ(poller.wait(0), 1);
    EXPECT_EQ(poller.ready()[0].owner, &ownerA);
    EXPECT_EQ(poller.ready()[0].revents, POLLOUT) << "a is writable, has nothing to read";

    poller.begin();
    poller.want(a.fds[0], POLLIN, 10, &ownerA);
    poller.end();
    EXPECT_EQ(poller.wait(0), 0);
}

TEST(Poller, ADescriptorNumberThatComesBackForAnotherSocketIsHeard)
{
    Poller poller;
    ASSERT_EQ(poller.open(), 0);
    int owner = 0;
    auto first = std::make_unique<SocketPair>();
    const int number = first->fds[0];
    poller.begin();
    poller.want(number, POLLIN, 1, &owner);
    poller.end();
    first.reset(); // closing took it out of the kernel's set

    SocketPair second; // usually takes the lowest free number, the one just closed
    if (second.fds[0] != number)
    {
        ASSERT_EQ(::dup2(second.fds[0], number), number);
        ::close(second.fds[0]);
        second.fds[0] = number;
    }
    poller.begin();
    poller.want(number, POLLIN, 2, &owner); // same number and events, another key
    poller.end();
    second.send();
    ASSERT_EQ(poller.wait(0), 1);
    EXPECT_EQ(poller.ready()[0].fd, number);
}

TEST(Poller, TheSignalDescriptorIsReadableWhileAWantedSocketIsReady)
{
    Poller poller;
    ASSERT_EQ(poller.open(), 0);
    const int signal = poller.signalDescriptor();
    ASSERT_GE(signal, 0);
    SocketPair a;
    poller.begin();
    poller.want(a.fds[0], POLLIN, 1, nullptr);
    poller.end();
    EXPECT_FALSE(readable(signal));
    a.send();
    EXPECT_TRUE(readable(signal));
    poller.begin(); // not wanted any more
    poller.end();
    EXPECT_FALSE(readable(signal));
}

TEST(Poller, AClosedPollerPollsEverySocketOfTheDescription)
{
    Poller poller; // never opened: the poll() form
    EXPECT_EQ(poller.signalDescriptor(), -1);
    SocketPair a, b;
    int ownerB = 0;
    poller.begin();
    poller.want(a.fds[0], POLLIN, 1, nullptr);
    poller.want(b.fds[0], POLLIN, 2, &ownerB);
    poller.end();
    EXPECT_EQ(poller.wanted().size(), 2u);
    b.send();
    ASSERT_EQ(poller.wait(0), 1);
    EXPECT_EQ(poller.ready()[0].owner, &ownerB);
}

} // namespace
} // namespace lknet
