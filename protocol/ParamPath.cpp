#include "protocol/ParamPath.h"

#include <cstring>

namespace Vellaris::LK
{

SplitPath splitParamPath(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {std::string_view(), path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

std::vector<std::string_view> splitComponentPath(std::string_view path)
{
    std::vector<std::string_view> names;
    if (path.empty())
        return names;
    std::size_t start = 0;
    while (true)
    {
        const std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos)
        {
            names.push_back(path.substr(start));
            break;
        }
        names.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return names;
}

std::size_t copyTextField(char* field, std::size_t fieldSize, std::string_view text)
{
    if (!field || fieldSize == 0)
        return 0;
    const std::size_t kept = text.size() < fieldSize - 1 ? text.size() : fieldSize - 1;
    if (kept > 0)
        std::memcpy(field, text.data(), kept);
    std::memset(field + kept, 0, fieldSize - kept);
    return kept;
}

std::string_view readTextField(const char* field, std::size_t fieldSize)
{
    const void* nul = std::memchr(field, 0, fieldSize);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : fieldSize;
    return std::string_view(field, length);
}

} // namespace Vellaris::LK
