#include "tests/mirror/NetworkNamespaces.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace FaultTest
{

namespace
{
constexpr const char* kSpeakerAddress = "10.213.0.1/24";
constexpr const char* kDeskAddress = "10.213.0.2/24";
constexpr const char* kLossTable = "roomdesk_faults";
} // namespace

NamespacePair::NamespacePair()
{
    const std::string id = std::to_string(::getpid());
    speakers = "rdfs" + id;
    desk = "rdfd" + id;
    // Interface names have at most 15 characters.
    speakerEnd = "rfs" + id;
    deskEnd = "rfd" + id;
}

NamespacePair::~NamespacePair()
{
    if (!created)
        return;
    run("ip netns del " + speakers);
    run("ip netns del " + desk);
}

const char* NamespacePair::ipProgram()
{
    return ::access("/usr/sbin/ip", X_OK) == 0 ? "/usr/sbin/ip" : "/sbin/ip";
}

bool NamespacePair::run(const std::string& command)
{
    const std::string quiet = command + " >/dev/null 2>&1";
    const int status = std::system(quiet.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool NamespacePair::create()
{
    if (::geteuid() != 0)
    {
        error = "needs root to make network namespaces (ip netns)";
        return false;
    }
    if (!run("ip netns add " + speakers))
    {
        error = "ip netns add failed: no ip tool or no network namespaces here";
        return false;
    }
    created = true;
    const bool made =
        run("ip netns add " + desk) &&
        run("ip link add " + speakerEnd + " netns " + speakers + " type veth peer name " + deskEnd +
            " netns " + desk) &&
        run("ip -n " + speakers + " addr add " + kSpeakerAddress + " brd + dev " + speakerEnd) &&
        run("ip -n " + desk + " addr add " + kDeskAddress + " brd + dev " + deskEnd) &&
        run("ip -n " + speakers + " link set lo up") && run("ip -n " + desk + " link set lo up") &&
        run("ip -n " + speakers + " link set " + speakerEnd + " up") &&
        run("ip -n " + desk + " link set " + deskEnd + " up");
    if (!made)
    {
        error = "could not make the veth pair between the namespaces";
        return false;
    }
    if (!run("ip netns exec " + desk + " nft list tables"))
    {
        error = "nft does not work inside the namespace";
        return false;
    }
    return true;
}

std::vector<std::string> NamespacePair::inside(const std::string& ns, const std::string& program,
                                               const std::vector<std::string>& arguments)
{
    std::vector<std::string> all = {"netns", "exec", ns, "/usr/bin/env", "LKNET_LOOPBACK_ONLY=0", program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

bool NamespacePair::setLinkUp(bool up)
{
    return run("ip -n " + desk + " link set " + deskEnd + (up ? " up" : " down"));
}

bool NamespacePair::setPacketLoss(bool on)
{
    const std::string nft = "ip netns exec " + desk + " nft ";
    if (!on)
        return run(nft + "delete table inet " + kLossTable);
    const std::string table = std::string("inet ") + kLossTable;
    return run(nft + "add table " + table) &&
           run(nft + "'add chain " + table + " in { type filter hook input priority 0 ; }'") &&
           run(nft + "'add chain " + table + " out { type filter hook output priority 0 ; }'") &&
           run(nft + "add rule " + table + " in iifname " + deskEnd +
               " numgen random mod 10 == 0 counter drop") &&
           run(nft + "add rule " + table + " out oifname " + deskEnd +
               " numgen random mod 10 == 0 counter drop");
}

long NamespacePair::droppedPackets() const
{
    const std::string command =
        "ip netns exec " + desk + " nft list table inet " + kLossTable + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    long dropped = 0;
    char line[512];
    while (std::fgets(line, sizeof line, pipe))
        if (const char* counter = std::strstr(line, "counter packets "))
            dropped += std::atol(counter + std::strlen("counter packets "));
    ::pclose(pipe);
    return dropped;
}

bool NamespacePair::useSmallSocketBuffers()
{
    const std::string settings = " sysctl -q -w net.ipv4.tcp_rmem='4096 8192 16384' "
                                 "net.ipv4.tcp_wmem='4096 8192 16384'";
    return run("ip netns exec " + speakers + settings) && run("ip netns exec " + desk + settings);
}

} // namespace FaultTest
