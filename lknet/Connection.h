#pragma once
// One TCP connection of lknet: framing, a bounded send queue, a newest-only
// slot for meter frames, and the times of the last frame in each direction.
// What the frames mean is the network manager's business.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "lknet/Socket.h"
#include "lknet/WireFormat.h"

namespace lknet
{

class Connection
{
public:
    // Limits of the send queue; beyond them queue() answers kErrorQueueFull.
    static constexpr size_t kMaxQueuedBytes = 8u << 20;
    static constexpr size_t kMaxQueuedFrames = 8192;

    enum class FrameStatus
    {
        None,
        Frame,
        Malformed
    };

    Connection(Socket socket, bool connecting, uint64_t now);

    int fd() const { return socket_.fd(); }
    // Unique among the connections of the process: tells a new socket from an old one that had
    // the same descriptor number.
    uint64_t serial() const { return serial_; }
    bool connecting() const { return connecting_; }
    // Completes a non-blocking connect: 0 when connected, else the error number.
    int finishConnect(uint64_t now);

    // Appends one frame (header, then `first` and `second` as its payload).
    int queue(FrameKind kind, const void* first, size_t firstLength, const void* second = nullptr,
              size_t secondLength = 0);
    // Sets the pending meter frame; an older one not yet started is dropped.
    void queueMeter(const void* record, size_t length);
    // Writes what the socket takes: every queued frame, and the waiting meter frame behind them,
    // in one gathered write (up to sys::kMaxSlices frames a write). 0, or the error number of a
    // failed write.
    int flush(uint64_t now);
    bool wantsWrite() const { return connecting_ || !out_.empty() || !meter_.empty(); }
    bool drained() const { return out_.empty() && meter_.empty(); }

    // Reads what has arrived. 0 = fine, -1 = the peer closed, else the error number.
    int readAvailable(uint64_t now);
    // The next complete frame; its payload stays valid until the next call of
    // readAvailable(). A frame out of sequence counts as malformed.
    FrameStatus nextFrame(FrameHeader* header, const uint8_t** payload);

    // Half-closes the sending direction (after the last frame is out).
    void shutdownWrite();
    bool writeShut() const { return writeShut_; }
    // Ends the connection at once with a reset.
    void abort();

    uint64_t lastReceived() const { return lastReceived_; }
    uint64_t lastSent() const { return lastSent_; }
    uint64_t created() const { return created_; }

private:
    std::vector<uint8_t> makeFrame(FrameKind kind, size_t length);

    Socket socket_;
    uint64_t serial_;
    bool connecting_;
    bool writeShut_ = false;
    std::deque<std::vector<uint8_t>> out_;
    size_t outBytes_ = 0;
    size_t frontOffset_ = 0; // bytes of out_.front() already written
    std::vector<uint8_t> meter_;
    uint32_t sendSequence_ = 0;
    uint32_t receiveSequence_ = 0;
    std::vector<uint8_t> in_; // bytes inStart_ to inEnd_ are received, not yet taken
    size_t inStart_ = 0;
    size_t inEnd_ = 0;
    uint64_t created_;
    uint64_t lastReceived_;
    uint64_t lastSent_;
};

} // namespace lknet
