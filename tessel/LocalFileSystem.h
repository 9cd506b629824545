#pragma once

#include "tessel/IFileSystem.h"

namespace Tessel
{

// The file system service for every platform: plain paths and "file://" URLs open real files,
// "resource:///" URLs open the ResourceTable.
class LocalFileSystem : public IFileSystem
{
public:
    IStream* openStream(const std::string& url) override;
    bool exists(const std::string& url) override;

    // The local path of a plain or "file://" URL ("file:///tmp/a" -> "/tmp/a", "file://localhost/x"
    // -> "/x"), or "" for other URLs.
    static std::string toLocalPath(const std::string& url);
    // The resource name of a "resource://" URL, or "" for other URLs.
    static std::string toResourceName(const std::string& url);
};

} // namespace Tessel
