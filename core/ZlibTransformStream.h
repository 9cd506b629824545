#pragma once

#include "core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Core::Portable
{

// A write-only stream that runs deflate or inflate (zlib format: header and
// trailer) over what is written and writes every produced chunk, through a
// 32768-byte output buffer, to a target stream. Use ZlibCompressorStream or
// ZlibDecompressorStream.
class ZlibTransformStream : public Stream
{
public:
    static constexpr std::size_t kOutputBufferSize = 32768;

    ~ZlibTransformStream() override;
    ZlibTransformStream(const ZlibTransformStream&) = delete;
    ZlibTransformStream& operator=(const ZlibTransformStream&) = delete;

    // Transforms size bytes and writes the output to the target. Returns size,
    // or -1 when zlib reports an error, the target refuses data, the output
    // passes the limit or the stream already failed.
    int write(const void* data, int size) override;
    // Flushes the end of the stream to the target. True once zlib reports the
    // end of the stream; false on failure (for inflate: also when the
    // compressed data were cut short).
    bool finish();
    // Starts a new stream over the same target: resets the zlib state, the
    // byte counts and the failure flag.
    bool reset();

    // Bytes written into the stream and bytes handed to the target since the
    // last reset.
    std::uint64_t bytesIn() const { return bytesIn_; }
    std::uint64_t bytesOut() const { return bytesOut_; }
    // True once inflate has seen the end of the compressed data (further
    // input is ignored) or finish() succeeded.
    bool isFinished() const { return finished_; }
    bool hasFailed() const { return failed_; }
    bool isValid() const { return initialised_; }

    // Limits the bytes handed to the target since the last reset; passing it
    // fails the stream. 0 means no limit.
    void setOutputLimit(std::uint64_t limit) { outputLimit_ = limit; }
    std::uint64_t outputLimit() const { return outputLimit_; }

    void setTarget(Stream& target) { target_ = &target; }

protected:
    enum class Direction
    {
        Deflate,
        Inflate
    };
    ZlibTransformStream(Stream& target, Direction direction, int level);

private:
    int run(const unsigned char* data, std::size_t size, bool finishing);
    bool emit(std::size_t produced);

    struct State;
    std::unique_ptr<State> state_;
    Stream* target_;
    Direction direction_;
    int level_;
    bool initialised_ = false;
    bool finished_ = false;
    bool failed_ = false;
    std::uint64_t bytesIn_ = 0;
    std::uint64_t bytesOut_ = 0;
    std::uint64_t outputLimit_ = 0;
};

// Compresses what is written (zlib format) into the target.
class ZlibCompressorStream : public ZlibTransformStream
{
public:
    // Level used for compressed JSON messages: trunc(0.5 * 9).
    static constexpr int kMessageLevel = 4;

    explicit ZlibCompressorStream(Stream& target, int level = kMessageLevel)
        : ZlibTransformStream(target, Direction::Deflate, level)
    {
    }
};

// Decompresses what is written (zlib format) into the target, refusing to
// produce more than the output limit.
class ZlibDecompressorStream : public ZlibTransformStream
{
public:
    static constexpr std::uint64_t kDefaultOutputLimit = 16u * 1024u * 1024u;

    explicit ZlibDecompressorStream(Stream& target, std::uint64_t outputLimit = kDefaultOutputLimit)
        : ZlibTransformStream(target, Direction::Inflate, 0)
    {
        setOutputLimit(outputLimit);
    }
};

} // namespace Core::Portable
