#include "core/ZlibTransformStream.h"

#include <zlib.h>

#include <cstring>

namespace Core::Portable
{

struct ZlibTransformStream::State
{
    z_stream zs;
    unsigned char output[kOutputBufferSize];
};

ZlibTransformStream::ZlibTransformStream(Stream& target, Direction direction, int level)
    : state_(new (std::nothrow) State), target_(&target), direction_(direction), level_(level)
{
    if (!state_)
        return;
    std::memset(&state_->zs, 0, sizeof state_->zs);
    const int result =
        direction_ == Direction::Deflate ? deflateInit(&state_->zs, level_) : inflateInit(&state_->zs);
    initialised_ = result == Z_OK;
}

ZlibTransformStream::~ZlibTransformStream()
{
    if (!initialised_)
        return;
    if (direction_ == Direction::Deflate)
        deflateEnd(&state_->zs);
    else
        inflateEnd(&state_->zs);
}

int ZlibTransformStream::write(const void* data, int size)
{
    if (size < 0 || !initialised_ || failed_)
        return -1;
    if (finished_ || size == 0)
        return size; // inflate: bytes after the end of the compressed data are ignored
    if (run(static_cast<const unsigned char*>(data), static_cast<std::size_t>(size), false) < 0)
    {
        failed_ = true;
        return -1;
    }
    bytesIn_ += static_cast<std::uint64_t>(size);
    return size;
}

bool ZlibTransformStream::finish()
{
    if (!initialised_ || failed_)
        return false;
    if (finished_)
        return true;
    if (run(nullptr, 0, true) < 0)
    {
        failed_ = true;
        return false;
    }
    return finished_;
}

bool ZlibTransformStream::reset()
{
    if (!initialised_)
        return false;
    const int result =
        direction_ == Direction::Deflate ? deflateReset(&state_->zs) : inflateReset(&state_->zs);
    finished_ = false;
    failed_ = result != Z_OK;
    bytesIn_ = 0;
    bytesOut_ = 0;
    return !failed_;
}

int ZlibTransformStream::run(const unsigned char* data, std::size_t size, bool finishing)
{
    z_stream& zs = state_->zs;
    // zlib counts input in 32-bit units; large inputs go in pieces.
    constexpr std::size_t kMaxPiece = std::size_t(1) << 30;
    std::size_t remaining = size;
    // Every call consumes its whole input, so nothing is carried over; after
    // a failure zlib may still point into a caller's old buffer.
    zs.avail_in = 0;
    for (;;)
    {
        if (zs.avail_in == 0 && remaining > 0)
        {
            const std::size_t piece = remaining < kMaxPiece ? remaining : kMaxPiece;
            zs.next_in = const_cast<unsigned char*>(data);
            zs.avail_in = static_cast<uInt>(piece);
            data += piece;
            remaining -= piece;
        }
        zs.next_out = state_->output;
        zs.avail_out = static_cast<uInt>(kOutputBufferSize);
        const int flush = finishing && remaining == 0 ? Z_FINISH : Z_NO_FLUSH;
        const int result = direction_ == Direction::Deflate ? deflate(&zs, flush) : inflate(&zs, flush);
        if (result == Z_NEED_DICT || (result < 0 && result != Z_BUF_ERROR))
            return -1;
        if (!emit(kOutputBufferSize - zs.avail_out))
            return -1;
        if (result == Z_STREAM_END)
        {
            finished_ = true;
            zs.avail_in = 0; // bytes after the end are ignored
            return 0;
        }
        if (result == Z_BUF_ERROR)
        {
            // No progress was possible: every input byte taken, every output
            // byte handed on. When finishing, the stream is incomplete.
            if (finishing)
                return -1;
            if (remaining == 0)
                return 0;
            continue;
        }
        if (!finishing && zs.avail_in == 0 && remaining == 0 && zs.avail_out != 0)
            return 0;
    }
}

bool ZlibTransformStream::emit(std::size_t produced)
{
    if (produced == 0)
        return true;
    if (outputLimit_ != 0 && bytesOut_ + produced > outputLimit_)
        return false;
    if (target_->write(state_->output, static_cast<int>(produced)) != static_cast<int>(produced))
        return false;
    bytesOut_ += produced;
    return true;
}

} // namespace Core::Portable
