#pragma once

// Two network namespaces joined by a veth pair, made and removed by the fault tests: the speakers'
// side and the desk's side, with addresses of a private range that exist only inside them, so no
// packet of a test ever leaves them. Needs root (ip netns, nft).

#include <string>
#include <vector>

namespace FaultTest
{

class NamespacePair
{
public:
    // Names unique to this process; nothing is made yet.
    NamespacePair();
    // Removes both namespaces (and with them the veth pair and every rule).
    ~NamespacePair();
    NamespacePair(const NamespacePair&) = delete;
    NamespacePair& operator=(const NamespacePair&) = delete;

    // Makes the namespaces and the link; false with the reason in getError() when the system does
    // not allow it (not root, no ip or nft, no namespaces in this kernel).
    bool create();
    const std::string& getError() const { return error; }

    const std::string& speakerSide() const { return speakers; }
    const std::string& deskSide() const { return desk; }

    // The arguments that run `program` inside namespace `ns` with discovery beyond loopback (there
    // is nothing but the veth pair to reach); for ChildProcess("/usr/sbin/ip", ...).
    static std::vector<std::string> inside(const std::string& ns, const std::string& program,
                                           const std::vector<std::string>& arguments);
    static const char* ipProgram();

    // The desk's end of the link down or up (the speakers' end loses its carrier meanwhile).
    bool setLinkUp(bool up);
    // Drops one packet in ten at random, in and out of the desk's side, or stops dropping.
    bool setPacketLoss(bool on);
    // How many packets the loss rules dropped so far.
    long droppedPackets() const;
    // Small TCP buffers on both sides, so that a peer that stops reading fills them quickly.
    bool useSmallSocketBuffers();

private:
    bool run(const std::string& command);

    std::string speakers;
    std::string desk;
    std::string speakerEnd;
    std::string deskEnd;
    bool created = false;
    std::string error;
};

} // namespace FaultTest
