#include "tessel/LocalFileSystem.h"

#include "core/FileStream.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tessel/FileStream.h"
#include "tessel/MemoryStream.h"
#include "tessel/Platform.h"
#include "tessel/ResourceTable.h"

namespace Tessel
{

namespace
{
constexpr const char kFileScheme[] = "file://";
constexpr const char kResourceScheme[] = "resource://";

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// Decodes %XX escapes of a URL path; malformed escapes stay as written.
std::string percentDecode(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit((unsigned char)text[i + 1]) &&
            std::isxdigit((unsigned char)text[i + 2]))
        {
            result += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
        else
        {
            result += text[i];
        }
    }
    return result;
}

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
    {
        int ca = std::tolower((unsigned char)a[i]);
        int cb = std::tolower((unsigned char)b[i]);
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}
} // namespace

std::string LocalFileSystem::toLocalPath(const std::string& url)
{
    if (startsWith(url, kFileScheme))
    {
        std::string rest = url.substr(sizeof kFileScheme - 1);
        // "file:///path" or "file://localhost/path"; another host is not local.
        if (!rest.empty() && rest[0] != '/')
        {
            size_t slash = rest.find('/');
            std::string host = rest.substr(0, slash);
            if (host != "localhost" || slash == std::string::npos)
                return {};
            rest = rest.substr(slash);
        }
        return percentDecode(rest);
    }
    if (url.find("://") != std::string::npos)
        return {};
    return url;
}

std::string LocalFileSystem::toResourceName(const std::string& url)
{
    if (!startsWith(url, kResourceScheme))
        return {};
    std::string rest = url.substr(sizeof kResourceScheme - 1);
    if (!rest.empty() && rest[0] != '/')
    {
        // "resource://<module>/name": only this program's module.
        size_t slash = rest.find('/');
        if (slash == std::string::npos || rest.substr(0, slash) != GetModuleIdentifier())
            return {};
        rest = rest.substr(slash);
    }
    size_t start = rest.find_first_not_of('/');
    return start == std::string::npos ? std::string() : rest.substr(start);
}

IStream* LocalFileSystem::openStream(const std::string& url)
{
    if (startsWith(url, kResourceScheme))
    {
        const ResourceTable::Resource* resource = ResourceTable::find(toResourceName(url));
        if (!resource)
            return nullptr;
        return new MemoryStream(resource->data, resource->size);
    }
    std::string path = toLocalPath(url);
    if (path.empty())
        return nullptr;
    return FileStream::open(path);
}

bool LocalFileSystem::exists(const std::string& url)
{
    if (startsWith(url, kResourceScheme))
    {
        std::string name = toResourceName(url);
        return !name.empty() && ResourceTable::find(name) != nullptr;
    }
    std::string path = toLocalPath(url);
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool LocalFileSystem::writeFile(const std::string& url, std::string_view bytes)
{
    std::string path = toLocalPath(url);
    if (path.empty() || isFolder(path))
        return false;
    return Core::Portable::FileStream::writeAtomically(path, bytes);
}

bool LocalFileSystem::listFolder(const std::string& url, std::vector<std::string>& names)
{
    names.clear();
    std::string path = toLocalPath(url);
    if (path.empty())
        return false;
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return false;
    while (dirent* entry = ::readdir(dir))
    {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return true;
}

bool LocalFileSystem::isFolder(const std::string& url)
{
    std::string path = toLocalPath(url);
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool LocalFileSystem::removeFile(const std::string& url)
{
    std::string path = toLocalPath(url);
    if (path.empty() || isFolder(path))
        return false;
    return ::unlink(path.c_str()) == 0;
}

bool LocalFileSystem::moveFile(const std::string& from, const std::string& to)
{
    std::string source = toLocalPath(from);
    std::string target = toLocalPath(to);
    if (source.empty() || target.empty() || isFolder(source) || isFolder(target))
        return false;
    return ::rename(source.c_str(), target.c_str()) == 0;
}

bool LocalFileSystem::createFolder(const std::string& url)
{
    std::string path = toLocalPath(url);
    if (path.empty())
        return false;
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1))
    {
        std::string part = slash == std::string::npos ? path : path.substr(0, slash);
        if (!part.empty() && !isFolder(part) && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return isFolder(path);
}

} // namespace Tessel
