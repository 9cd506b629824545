// lknet across a real link between two network namespaces: a cable pulled and
// put back. Needs root; skipped where namespaces cannot be made.

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PeerProcess.h"

namespace lknet::test
{
namespace
{

int run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

class TwoHosts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root for network namespaces";
        std::string id = std::to_string(::getpid());
        a = "lkna" + id;
        b = "lknb" + id;
        if (run("ip netns add " + a) != 0 || run("ip netns add " + b) != 0)
            GTEST_SKIP() << "cannot create network namespaces here";
        made = true;
        ASSERT_EQ(run("ip link add name va netns " + a + " type veth peer name vb netns " + b), 0);
        ASSERT_EQ(run("ip -n " + a + " addr add 10.77.0.1/24 brd + dev va"), 0);
        ASSERT_EQ(run("ip -n " + b + " addr add 10.77.0.2/24 brd + dev vb"), 0);
        for (const std::string& ns : {a, b})
            ASSERT_EQ(run("ip -n " + ns + " link set lo up"), 0);
        ASSERT_EQ(run("ip -n " + a + " link set va up"), 0);
        ASSERT_EQ(run("ip -n " + b + " link set vb up"), 0);
        // Both ends use the default discovery port and real broadcasts: inside
        // the namespaces nothing else can hear them.
        ::unsetenv("LKNET_DISCOVERY_PORT");
        ::unsetenv("LKNET_LOOPBACK_ONLY");
    }
    void TearDown() override
    {
        if (!made)
            return;
        run("ip netns del " + a);
        run("ip netns del " + b);
    }
    std::vector<std::string> inNamespace(const std::string& ns, std::vector<std::string> args)
    {
        std::vector<std::string> argv{"/usr/sbin/ip", "netns", "exec", ns, testPeerPath()};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }

    std::string a, b;
    bool made = false;
};

TEST_F(TwoHosts, PulledCableIsReportedAndTheMirrorCanSubscribeAgainWhenItReturns)
{
    PeerProcess speaker(inNamespace(a, {"server", "TX30A", "555555555"}), true);
    PeerProcess desk(inNamespace(b, {"client"}), true);
    ASSERT_TRUE(speaker.waitForLine("READY", 5000));
    ASSERT_TRUE(desk.waitForLine("READY", 5000));
    std::string line;
    ASSERT_TRUE(desk.waitForLine("AVAILABLE", 5000, &line));
    EXPECT_NE(line.find("555555555"), std::string::npos);
    desk.send("subscribe 555555555 Subscribe");
    ASSERT_TRUE(desk.waitForLine("PACKET JM", 3000));

    ASSERT_EQ(run("ip -n " + b + " link set vb down"), 0);
    ASSERT_TRUE(desk.waitForLine("ERROR 1003 10.77.0.1", 7000));
    ASSERT_EQ(run("ip -n " + b + " link set vb up"), 0);
    ASSERT_TRUE(desk.waitForLine("ERROR 1002 10.77.0.1", 6000));
    EXPECT_FALSE(desk.hasLine("UNAVAILABLE"));

    // What the mirror does on 1002: subscribe again, and the server answers.
    desk.send("subscribe 555555555 Subscribe-again");
    ASSERT_TRUE(desk.waitForLine("PACKET JM", 3000, &line));
    EXPECT_NE(line.find("Subscribe-again"), std::string::npos);
}

TEST_F(TwoHosts, DroppedPacketsAreALossWithoutAnyWordFromTheKernel)
{
    if (run("ip netns exec " + b + " nft add table inet lkt") != 0)
        GTEST_SKIP() << "nftables not usable";
    PeerProcess speaker(inNamespace(a, {"server", "TX30A", "555555555"}), true);
    PeerProcess desk(inNamespace(b, {"client"}), true);
    ASSERT_TRUE(speaker.waitForLine("READY", 5000));
    ASSERT_TRUE(desk.waitForLine("AVAILABLE", 5000));
    desk.send("subscribe 555555555 Subscribe");
    ASSERT_TRUE(desk.waitForLine("PACKET JM", 3000));
    ASSERT_EQ(
        run("ip netns exec " + b + " nft add chain inet lkt in '{ type filter hook input priority 0; }'"), 0);
    ASSERT_EQ(run("ip netns exec " + b + " nft add rule inet lkt in iifname vb drop"), 0);
    ASSERT_TRUE(desk.waitForLine("ERROR 1003", 7000));
    ASSERT_TRUE(speaker.waitForLine("ERROR 1003 10.77.0.2", 3000));
    ASSERT_EQ(run("ip netns exec " + b + " nft flush chain inet lkt in"), 0);
    ASSERT_TRUE(desk.waitForLine("ERROR 1002", 6000));
}

} // namespace
} // namespace lknet::test
