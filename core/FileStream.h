#pragma once

#include "core/Stream.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace Core::Portable
{

class MemoryStream;

// A stream over a file of the file system (binary, unbuffered by us).
class FileStream : public Stream
{
public:
    enum class Mode
    {
        Read,   // existing file, read only
        Create, // create or truncate, write only
        Update, // existing file, read and write
    };

    FileStream() = default;
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Opens path; false (and the stream stays closed) when it cannot.
    bool open(const std::string& path, Mode mode);
    // Closes the file; false when buffered data could not be written.
    bool close();
    bool isOpen() const { return file_ != nullptr; }

    int read(void* buffer, int size) override;
    int write(const void* data, int size) override;
    std::int64_t seek(std::int64_t offset, SeekMode mode = SeekMode::Begin) override;
    std::int64_t tell() const override;
    // Pushes written data to the disk; false on failure.
    bool sync();

    // Reads the whole file at path into target (appended at its position);
    // false when the file cannot be opened or read, or target refuses the data.
    static bool readAll(const std::string& path, Stream& target);
    // Replaces the file at path with the given bytes without ever leaving a
    // cut file: writes a temporary file in the same folder (".<name>.tmp…",
    // hidden from listings), syncs it and renames it over path. False (the
    // old file untouched, the temporary removed) on any failure. The one
    // atomic write of the tree; the framework's file system uses it too.
    static bool writeAtomically(const std::string& path, std::string_view contents);
    // Removes the temporary files that writeAtomically left beside path when
    // its writer died mid-write (those of processes no longer running; a live
    // writer's file, this process's included, stays). Every writeAtomically
    // does it first; readers call it at start. Returns how many were removed.
    static int removeStaleTemporaries(const std::string& path);

private:
    // The C library leaves reading a write-only file, writing a read-only one and switching
    // between reading and writing without a seek undefined (Windows' runtime reads stale buffer
    // bytes and writes them back into the file): the stream refuses the first two and seeks in
    // between for the third.
    enum class LastAccess
    {
        None,
        Read,
        Write,
    };
    bool prepare(LastAccess access);

    std::FILE* file_ = nullptr;
    Mode mode_ = Mode::Read;
    LastAccess last_ = LastAccess::None;
};

} // namespace Core::Portable
