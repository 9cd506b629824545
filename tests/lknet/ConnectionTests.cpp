// One lknet connection over a socket pair: ordering, the newest-only meter
// slot, the bounded queue and the sequence check.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "SocketPair.h"
#include "lknet/Connection.h"

namespace lknet
{
namespace
{

struct Pair
{
    Pair()
    {
        int fds[2];
        EXPECT_TRUE(test::makeSocketPair(fds));
        writer = std::make_unique<Connection>(Socket(fds[0]), false, 0);
        reader = std::make_unique<Connection>(Socket(fds[1]), false, 0);
    }
    // Moves everything across; returns the first byte of each packet payload
    // in arrival order (and the payload sizes).
    std::vector<std::pair<uint8_t, size_t>> transfer()
    {
        std::vector<std::pair<uint8_t, size_t>> got;
        for (int guard = 0; guard < 100000; ++guard)
        {
            EXPECT_EQ(writer->flush(1), 0);
            EXPECT_EQ(reader->readAvailable(1), 0);
            FrameHeader h;
            const uint8_t* payload = nullptr;
            Connection::FrameStatus status;
            while ((status = reader->nextFrame(&h, &payload)) == Connection::FrameStatus::Frame)
                got.emplace_back(h.length ? payload[0] : 0, h.length);
            EXPECT_NE(status, Connection::FrameStatus::Malformed);
            if (writer->drained())
            {
                reader->readAvailable(1);
                while (reader->nextFrame(&h, &payload) == Connection::FrameStatus::Frame)
                    got.emplace_back(h.length ? payload[0] : 0, h.length);
                break;
            }
        }
        return got;
    }
    std::unique_ptr<Connection> writer, reader;
};

TEST(LknetConnection, FramesArriveInOrderAndOnlyTheNewestWaitingMeterIsSent)
{
    Pair p;
    std::vector<uint8_t> big(64 * 1024);
    for (int i = 0; i < 16; ++i)
    {
        big[0] = uint8_t(i);
        ASSERT_EQ(p.writer->queue(FrameKind::Packet, big.data(), big.size()), kOk);
    }
    ASSERT_EQ(p.writer->flush(1), 0);
    ASSERT_FALSE(p.writer->drained()); // the socket is full: the rest waits
    uint8_t meter[1100] = {};
    for (uint8_t value : {101, 102, 103})
    {
        meter[0] = value;
        p.writer->queueMeter(meter, sizeof meter);
    }
    auto got = p.transfer();
    ASSERT_EQ(got.size(), 17u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(got[i], std::make_pair(uint8_t(i), big.size()));
    EXPECT_EQ(got[16], std::make_pair(uint8_t(103), sizeof meter));
}

TEST(LknetConnection, OneFlushWritesEveryQueuedFrameAndTheMeterLast)
{
    Pair p;
    // More frames than one gathered write takes, then a meter frame.
    const int frames = 3 * sys::kMaxSlices / 2;
    for (int i = 0; i < frames; ++i)
    {
        const uint8_t payload[24] = {uint8_t(i)};
        ASSERT_EQ(p.writer->queue(FrameKind::Packet, payload, sizeof payload), kOk);
    }
    const uint8_t meter[80] = {200};
    p.writer->queueMeter(meter, sizeof meter);
    ASSERT_EQ(p.writer->flush(1), 0);
    EXPECT_TRUE(p.writer->drained());
    ASSERT_EQ(p.reader->readAvailable(1), 0);
    FrameHeader h;
    const uint8_t* payload = nullptr;
    std::vector<std::pair<uint8_t, size_t>> got;
    Connection::FrameStatus status;
    while ((status = p.reader->nextFrame(&h, &payload)) == Connection::FrameStatus::Frame)
        got.emplace_back(payload[0], h.length);
    EXPECT_EQ(status, Connection::FrameStatus::None) << "each frame in its sequence";
    ASSERT_EQ(got.size(), size_t(frames + 1));
    for (int i = 0; i < frames; ++i)
        EXPECT_EQ(got[i], std::make_pair(uint8_t(i), size_t(24)));
    EXPECT_EQ(got.back(), std::make_pair(uint8_t(200), sizeof meter));
}

TEST(LknetConnection, SendQueueIsBounded)
{
    Pair p;
    std::vector<uint8_t> chunk(256 * 1024);
    size_t queued = 0;
    int result = kOk;
    while ((result = p.writer->queue(FrameKind::Packet, chunk.data(), chunk.size())) == kOk)
        queued += chunk.size();
    EXPECT_EQ(result, kErrorQueueFull);
    EXPECT_LE(queued, Connection::kMaxQueuedBytes);
    EXPECT_GE(queued + 2 * chunk.size(), Connection::kMaxQueuedBytes);
}

TEST(LknetConnection, FrameOutOfSequenceIsMalformed)
{
    int fds[2];
    ASSERT_TRUE(test::makeSocketPair(fds));
    Connection reader(Socket(fds[1]), false, 0);
    uint8_t bytes[2 * kFrameHeaderSize];
    encodeFrameHeader(bytes, FrameHeader{FrameKind::Heartbeat, 0, 0});
    encodeFrameHeader(bytes + kFrameHeaderSize, FrameHeader{FrameKind::Heartbeat, 0, 2});
    ASSERT_EQ(test::writeSocket(fds[0], bytes, sizeof bytes), long(sizeof bytes));
    ASSERT_TRUE(test::waitReadable(fds[1]));
    ASSERT_EQ(reader.readAvailable(5), 0);
    EXPECT_EQ(reader.lastReceived(), 5u);
    FrameHeader h;
    const uint8_t* payload = nullptr;
    EXPECT_EQ(reader.nextFrame(&h, &payload), Connection::FrameStatus::Frame);
    EXPECT_EQ(reader.nextFrame(&h, &payload), Connection::FrameStatus::Malformed);
    test::closeSocket(fds[0]);
}

TEST(LknetConnection, PeerClosingIsReported)
{
    int fds[2];
    ASSERT_TRUE(test::makeSocketPair(fds));
    Connection reader(Socket(fds[1]), false, 0);
    EXPECT_EQ(reader.readAvailable(1), 0); // nothing yet
    test::closeSocket(fds[0]);
    ASSERT_TRUE(test::waitReadable(fds[1]));
    EXPECT_EQ(reader.readAvailable(1), -1);
}

} // namespace
} // namespace lknet
