#pragma once

#include <string>

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

    // Reads the whole of `url` into `bytes`; false when it cannot be opened or read.
    bool readFile(const std::string& url, std::string& bytes);

protected:
    virtual ~IFileSystem() = default;
};

} // namespace Tessel
