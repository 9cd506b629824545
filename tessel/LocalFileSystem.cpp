#include "tessel/LocalFileSystem.h"

#include <cctype>
#include <string>

#include <sys/stat.h>

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

} // namespace Tessel
