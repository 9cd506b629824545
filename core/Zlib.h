#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Core::Zlib
{

// Level of compressed JSON messages.
constexpr int kMessageLevel = 4;
// Default bound on the size of inflated data (16 MiB).
constexpr std::size_t kDefaultInflateLimit = 16u * 1024u * 1024u;

// Compresses data into one zlib stream (header and trailer) at the given
// level (0..9, or -1 for zlib's default). Replaces out; false on failure.
// Each thread reuses its own compressor, so calls from any thread are safe.
bool compress(std::string_view data, std::string& out, int level = kMessageLevel);
// Inflates one complete zlib stream into out (replaced). False when the data
// are not a valid, complete zlib stream or would inflate to more than limit
// bytes; out then holds what was inflated before the failure. Bytes after
// the end of the zlib stream are ignored. A limit of 0 means the default.
// Safe from any thread.
bool decompress(std::string_view data, std::string& out, std::size_t limit = kDefaultInflateLimit);

} // namespace Core::Zlib
