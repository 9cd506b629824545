#pragma once

#include "tessel/IFileSystem.h"

namespace Tessel
{

// The file system service for every platform: plain paths and "file://" URLs open real files,
// "resource:///" URLs open the ResourceTable. Writing, listing, moving and removing work on local
// files only; resources are read-only.
class LocalFileSystem : public IFileSystem
{
public:
    IStream* openStream(const std::string& url) override;
    bool exists(const std::string& url) override;
    bool writeFile(const std::string& url, std::string_view bytes) override;
    bool listFolder(const std::string& url, std::vector<std::string>& names) override;
    bool isFolder(const std::string& url) override;
    bool removeFile(const std::string& url) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    bool createFolder(const std::string& url) override;

    // The local path of a plain or "file://" URL ("file:///tmp/a" -> "/tmp/a", "file://localhost/x"
    // -> "/x"), or "" for other URLs.
    static std::string toLocalPath(const std::string& url);
    // The resource name of a "resource://" URL, or "" for other URLs.
    static std::string toResourceName(const std::string& url);
};

} // namespace Tessel
