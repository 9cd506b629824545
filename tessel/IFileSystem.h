#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Tessel
{

class IStream;

// Opens files and resources by URL.
class IFileSystem
{
public:
    // Opens `url` for reading: a plain path, "file://" + path, or "resource:///" + name (also
    // "resource://<module>/" + name) for a resource compiled into the program. Returns a new stream
    // (reference count 1, released by the caller) or nullptr when it cannot be opened.
    virtual IStream* openStream(const std::string& url) = 0;
    // Whether `url` names an existing file or resource.
    virtual bool exists(const std::string& url) = 0;

    // Replaces the file at `url` (a plain path or "file://" URL) with `bytes` without ever leaving
    // a cut file: the bytes go to a temporary file in the same folder, are flushed to the disk and
    // the temporary file is renamed over the old one. On any failure (missing folder, full disk)
    // the old file stays as it was, the temporary file is removed and the answer is false.
    virtual bool writeFile(const std::string& url, std::string_view bytes) = 0;
    // The names (not paths) of the entries of the folder `url`, files and folders, without "."
    // and "..", sorted by name ignoring ASCII case (names that differ only in case: byte order),
    // so the order never depends on the file system. False (and `names` empty) when `url` is not
    // a readable folder.
    virtual bool listFolder(const std::string& url, std::vector<std::string>& names) = 0;
    // Whether `url` names an existing folder.
    virtual bool isFolder(const std::string& url) = 0;
    // Removes the file `url`; false when it is not there or cannot be removed. Never removes a
    // folder.
    virtual bool removeFile(const std::string& url) = 0;
    // Moves (renames) the file `from` to `to`, replacing a file there; false (nothing changed)
    // when `from` is missing or the move fails.
    virtual bool moveFile(const std::string& from, const std::string& to) = 0;
    // Creates the folder `url` with every missing parent; true when it exists afterwards.
    virtual bool createFolder(const std::string& url) = 0;

    // Reads the whole of `url` into `bytes`; false when it cannot be opened or read.
    bool readFile(const std::string& url, std::string& bytes);

protected:
    virtual ~IFileSystem() = default;
};

} // namespace Tessel
