#include "lknet/Connection.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <pthread.h>
#endif

namespace lknet
{

namespace
{
// How much one readAvailable() takes at most, so one busy peer cannot hold
// process() for long.
constexpr size_t kReadBudget = 1u << 20;
constexpr size_t kKeptBuffer = 16u << 10; // kept between reads when nothing is pending
constexpr size_t kReadChunk = 64u << 10;
std::atomic<uint64_t> nextSerial{1};

// One read buffer per thread.
std::vector<uint8_t>& readChunk()
{
#ifdef _WIN32
    // MinGW frees a thread's thread_local storage before it runs the destructors of what lives
    // there: the buffer lives on the heap, held by a thread-specific key whose destructor gets it
    // as its argument.
    static const pthread_key_t key = []
    {
        pthread_key_t created;
        pthread_key_create(&created, [](void* chunk) { delete static_cast<std::vector<uint8_t>*>(chunk); });
        return created;
    }();
    auto* chunk = static_cast<std::vector<uint8_t>*>(pthread_getspecific(key));
    if (!chunk)
    {
        chunk = new std::vector<uint8_t>(kReadChunk);
        pthread_setspecific(key, chunk);
    }
    return *chunk;
#else
    static thread_local std::vector<uint8_t> chunk(kReadChunk);
    return chunk;
#endif
}
} // namespace

Connection::Connection(Socket socket, bool connecting, uint64_t now)
    : socket_(std::move(socket)), serial_(nextSerial++), connecting_(connecting), created_(now),
      lastReceived_(now), lastSent_(now)
{
}

int Connection::finishConnect(uint64_t now)
{
    int error = connectResult(fd());
    if (error == 0)
    {
        connecting_ = false;
        lastReceived_ = now;
    }
    return error;
}

std::vector<uint8_t> Connection::makeFrame(FrameKind kind, size_t length)
{
    std::vector<uint8_t> frame(kFrameHeaderSize + length);
    FrameHeader header;
    header.kind = kind;
    header.length = static_cast<uint32_t>(length);
    encodeFrameHeader(frame.data(), header);
    return frame;
}

int Connection::queue(FrameKind kind, const void* first, size_t firstLength, const void* second,
                      size_t secondLength)
{
    size_t length = firstLength + secondLength;
    if (outBytes_ + length > kMaxQueuedBytes || out_.size() >= kMaxQueuedFrames)
        return kErrorQueueFull;
    std::vector<uint8_t> frame = makeFrame(kind, length);
    if (firstLength)
        std::memcpy(frame.data() + kFrameHeaderSize, first, firstLength);
    if (secondLength)
        std::memcpy(frame.data() + kFrameHeaderSize + firstLength, second, secondLength);
    // Frames leave in queue order, so their sequence is known now; a meter
    // frame gets its number when it joins the queue.
    putU32(frame.data() + 8, sendSequence_++);
    outBytes_ += frame.size();
    out_.push_back(std::move(frame));
    return kOk;
}

void Connection::queueMeter(const void* record, size_t length)
{
    meter_ = makeFrame(FrameKind::Packet, length);
    std::memcpy(meter_.data() + kFrameHeaderSize, record, length);
}

int Connection::flush(uint64_t now)
{
    if (connecting_ || writeShut_ || !socket_.valid())
        return 0;
    for (;;)
    {
        // The meter frame goes behind the queued frames, in the same write when they all fit in
        // one; it gets its sequence number as it joins them.
        if (!meter_.empty() && out_.size() < size_t(sys::kMaxSlices))
        {
            putU32(meter_.data() + 8, sendSequence_++);
            outBytes_ += meter_.size();
            out_.push_back(std::move(meter_));
            meter_.clear();
        }
        if (out_.empty())
            return 0;
        sys::Slice slices[sys::kMaxSlices];
        int count = 0;
        size_t offered = 0;
        for (auto frame = out_.begin(); frame != out_.end() && count < sys::kMaxSlices; ++frame, ++count)
        {
            const size_t skip = count == 0 ? frontOffset_ : 0;
            slices[count] = {frame->data() + skip, frame->size() - skip};
            offered += frame->size() - skip;
        }
        long n = count == 1 ? sys::sendBytes(fd(), slices[0].data, slices[0].length)
                            : sys::sendSlices(fd(), slices, count);
        if (n < 0)
        {
            const int error = sys::lastError();
            if (error == EINTR)
                continue;
            if (error == EAGAIN || error == EWOULDBLOCK)
                return 0;
            return error;
        }
        lastSent_ = now;
        // Drop the frames written whole; a frame written in part stays at the front.
        size_t written = static_cast<size_t>(n);
        while (written > 0)
        {
            const size_t rest = out_.front().size() - frontOffset_;
            if (written < rest)
            {
                frontOffset_ += written;
                break;
            }
            written -= rest;
            outBytes_ -= out_.front().size();
            out_.pop_front();
            frontOffset_ = 0;
        }
        if (static_cast<size_t>(n) < offered)
            return 0; // the socket is full
    }
}

int Connection::readAvailable(uint64_t now)
{
    if (inStart_ > 0)
    {
        std::memmove(in_.data(), in_.data() + inStart_, inEnd_ - inStart_);
        inEnd_ -= inStart_;
        inStart_ = 0;
        in_.resize(inEnd_);
    }
    // A connection holds only the bytes it has not handled yet: a desk with a thousand links would
    // otherwise keep a read chunk per link. One that held a large message lets it go once handled.
    if (inEnd_ == 0 && in_.capacity() > kKeptBuffer)
        std::vector<uint8_t>().swap(in_);
    std::vector<uint8_t>& chunk = readChunk();
    size_t total = 0;
    while (total < kReadBudget)
    {
        long n = sys::receiveBytes(fd(), chunk.data(), chunk.size());
        if (n > 0)
        {
            in_.insert(in_.end(), chunk.data(), chunk.data() + n);
            inEnd_ += static_cast<size_t>(n);
            total += static_cast<size_t>(n);
            lastReceived_ = now;
            // A short read means the socket is empty now; poll() says if not.
            if (static_cast<size_t>(n) < chunk.size())
                return 0;
            continue;
        }
        if (n == 0)
            return -1;
        const int error = sys::lastError();
        if (error == EINTR)
            continue;
        if (error == EAGAIN || error == EWOULDBLOCK)
            return 0;
        return error;
    }
    return 0;
}

Connection::FrameStatus Connection::nextFrame(FrameHeader* header, const uint8_t** payload)
{
    size_t available = inEnd_ - inStart_;
    if (available < kFrameHeaderSize)
        return FrameStatus::None;
    const uint8_t* start = in_.data() + inStart_;
    if (!decodeFrameHeader(start, header) || header->sequence != receiveSequence_)
        return FrameStatus::Malformed;
    if (available < kFrameHeaderSize + header->length)
        return FrameStatus::None;
    ++receiveSequence_;
    *payload = start + kFrameHeaderSize;
    inStart_ += kFrameHeaderSize + header->length;
    return FrameStatus::Frame;
}

void Connection::shutdownWrite()
{
    if (!writeShut_ && socket_.valid())
        ::shutdown(fd(), sys::kShutdownWrite);
    writeShut_ = true;
}

void Connection::abort()
{
    if (!socket_.valid())
        return;
    linger off{1, 0};
    sys::setOption(fd(), SOL_SOCKET, SO_LINGER, &off, sizeof off);
    socket_.close();
}

} // namespace lknet
