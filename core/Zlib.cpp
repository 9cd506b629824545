#include "core/Zlib.h"

#include "core/MemoryStream.h"
#include "core/ZlibTransformStream.h"

#include <climits>
#include <memory>

#ifdef _WIN32
#include <pthread.h>
#endif

namespace Core::Zlib
{

namespace
{

using Portable::MemoryStream;
using Portable::Stream;
using Portable::ZlibCompressorStream;
using Portable::ZlibDecompressorStream;

// Appends everything written to a string.
class StringSink : public Stream
{
public:
    std::string* out = nullptr;
    int write(const void* data, int size) override
    {
        if (size < 0)
            return -1;
        out->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
        return size;
    }
};

// Feeds data to a transform stream in pieces that fit its int sizes.
bool feed(Portable::ZlibTransformStream& stream, std::string_view data)
{
    while (!data.empty())
    {
        const std::size_t piece = data.size() < std::size_t(INT_MAX) ? data.size() : std::size_t(INT_MAX);
        if (stream.write(data.data(), static_cast<int>(piece)) != static_cast<int>(piece))
            return false;
        if (stream.isFinished())
            return true;
        data.remove_prefix(piece);
    }
    return true;
}

// Each thread keeps one compressor per level and one decompressor, reset
// between uses, so repeated messages do not pay zlib's set-up cost.
struct ThreadStreams
{
    StringSink sink;
    std::unique_ptr<ZlibCompressorStream> compressors[11]; // levels -1..9
    std::unique_ptr<ZlibDecompressorStream> decompressor;
};

ThreadStreams& threadStreams()
{
#ifdef _WIN32
    // MinGW frees a thread's thread_local storage before it runs the destructors of what lives
    // there, so a thread_local with a destructor crashes its thread's end. The streams live on the
    // heap instead, held by a thread-specific key whose destructor gets them as its argument.
    static const pthread_key_t key = []
    {
        pthread_key_t created;
        pthread_key_create(&created, [](void* streams) { delete static_cast<ThreadStreams*>(streams); });
        return created;
    }();
    auto* streams = static_cast<ThreadStreams*>(pthread_getspecific(key));
    if (!streams)
    {
        streams = new ThreadStreams;
        pthread_setspecific(key, streams);
    }
    return *streams;
#else
    thread_local ThreadStreams streams;
    return streams;
#endif
}

} // namespace

bool compress(std::string_view data, std::string& out, int level)
{
    out.clear();
    if (level < -1 || level > 9)
        return false;
    ThreadStreams& streams = threadStreams();
    auto& compressor = streams.compressors[level + 1];
    if (!compressor)
        compressor = std::make_unique<ZlibCompressorStream>(streams.sink, level);
    streams.sink.out = &out;
    compressor->setTarget(streams.sink);
    const bool ok = compressor->reset() && feed(*compressor, data) && compressor->finish();
    streams.sink.out = nullptr;
    return ok;
}

bool decompress(std::string_view data, std::string& out, std::size_t limit)
{
    out.clear();
    ThreadStreams& streams = threadStreams();
    auto& decompressor = streams.decompressor;
    if (!decompressor)
        decompressor = std::make_unique<ZlibDecompressorStream>(streams.sink);
    streams.sink.out = &out;
    decompressor->setTarget(streams.sink);
    decompressor->setOutputLimit(limit == 0 ? kDefaultInflateLimit : limit);
    bool ok = decompressor->reset() && feed(*decompressor, data);
    ok = ok && decompressor->finish();
    streams.sink.out = nullptr;
    return ok;
}

} // namespace Core::Zlib
