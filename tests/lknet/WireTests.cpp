// The byte layouts lknet puts on the network, and how it treats bytes from outside.

#include <gtest/gtest.h>

#include <cstring>

#include "lknet/WireFormat.h"

namespace lknet
{
namespace
{

TEST(DiscoveryDatagram, AnnouncementRoundTripsAndCutsLongTexts)
{
    DiscoveryMessage m;
    m.kind = DiscoveryKind::Announce;
    m.instance = 0x1122334455667788ull;
    m.tcpPort = 40001;
    m.interfaceType = 3;
    m.name = std::string(100, 'n');
    m.deviceType = "SPK";
    m.serialNumber = "666666666";
    m.hostName = "desk";
    uint8_t buffer[kAnnounceSize];
    size_t length = encodeDiscovery(buffer, m);
    ASSERT_EQ(length, kAnnounceSize);
    DiscoveryMessage back;
    ASSERT_TRUE(decodeDiscovery(buffer, length, &back));
    EXPECT_EQ(back.instance, m.instance);
    EXPECT_EQ(back.tcpPort, 40001);
    EXPECT_EQ(back.interfaceType, 3u);
    EXPECT_EQ(back.name, std::string(63, 'n'));
    EXPECT_EQ(back.deviceType, "SPK");
    EXPECT_EQ(back.uid, "");
    EXPECT_EQ(back.serialNumber, "666666666");
    EXPECT_EQ(back.hostName, "desk");
}

TEST(DiscoveryDatagram, StrangeDatagramsAreRefused)
{
    DiscoveryMessage m;
    m.kind = DiscoveryKind::Announce;
    m.instance = 5;
    m.tcpPort = 1;
    uint8_t buffer[kAnnounceSize + 1];
    size_t length = encodeDiscovery(buffer, m);
    DiscoveryMessage back;
    EXPECT_FALSE(decodeDiscovery(buffer, length - 1, &back)); // short
    EXPECT_FALSE(decodeDiscovery(buffer, length + 1, &back)); // long
    buffer[0] = 'X';
    EXPECT_FALSE(decodeDiscovery(buffer, length, &back)); // not ours
    m.tcpPort = 0;
    length = encodeDiscovery(buffer, m);
    EXPECT_FALSE(decodeDiscovery(buffer, length, &back)); // nowhere to connect
}

TEST(DiscoveryDatagram, TextsWithoutNulAreCut)
{
    DiscoveryMessage m;
    m.kind = DiscoveryKind::Announce;
    m.instance = 5;
    m.tcpPort = 1;
    uint8_t buffer[kAnnounceSize];
    encodeDiscovery(buffer, m);
    std::memset(buffer + 24, 'z', 64 + 16); // name and device type without NUL
    DiscoveryMessage back;
    ASSERT_TRUE(decodeDiscovery(buffer, kAnnounceSize, &back));
    EXPECT_EQ(back.name, std::string(63, 'z'));
    EXPECT_EQ(back.deviceType, std::string(15, 'z'));
}

TEST(FrameHeader, RefusesWhatIsNotAWellFormedFrame)
{
    uint8_t bytes[kFrameHeaderSize];
    FrameHeader h;
    encodeFrameHeader(bytes, FrameHeader{FrameKind::Packet, kMaxFramePayload, 9});
    ASSERT_TRUE(decodeFrameHeader(bytes, &h));
    EXPECT_EQ(h.sequence, 9u);
    encodeFrameHeader(bytes, FrameHeader{FrameKind::Packet, kMaxFramePayload + 1, 0});
    EXPECT_FALSE(decodeFrameHeader(bytes, &h));
    encodeFrameHeader(bytes, FrameHeader{FrameKind::Heartbeat, 4, 0});
    EXPECT_FALSE(decodeFrameHeader(bytes, &h)); // heartbeats carry nothing
    encodeFrameHeader(bytes, FrameHeader{FrameKind::Hello, kHelloSize + 1, 0});
    EXPECT_FALSE(decodeFrameHeader(bytes, &h));
    encodeFrameHeader(bytes, FrameHeader{FrameKind::Close, 0, 0});
    bytes[3] = 99;
    EXPECT_FALSE(decodeFrameHeader(bytes, &h)); // unknown kind
}

TEST(WirePacket, FixedLayoutsMustHaveTheirSizeAndJsonItsLength)
{
    uint8_t pv[kSizeParamValue] = {};
    putU32(pv, kPacketParamValue);
    putU32(pv + 4, kSizeParamValue);
    EXPECT_TRUE(validWirePacket(pv, sizeof pv));
    putU32(pv + 4, 148);
    EXPECT_FALSE(validWirePacket(pv, 148));

    uint8_t json[kWireJsonRecordSize + 5] = {};
    putU32(json, kPacketZipMessage);
    putU32(json + 4, kWireJsonRecordSize);
    putU32(json + 20, 5);
    EXPECT_TRUE(validWirePacket(json, sizeof json));
    putU32(json + 20, 6);
    EXPECT_FALSE(validWirePacket(json, sizeof json));

    uint8_t other[20] = {};
    putU32(other, packetCode('T', 'C'));
    putU32(other + 4, 20);
    EXPECT_TRUE(validWirePacket(other, sizeof other));
    EXPECT_FALSE(validWirePacket(other, 19)); // size word and frame disagree
}

} // namespace
} // namespace lknet
