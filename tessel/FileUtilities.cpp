#include "tessel/FileUtilities.h"

#include <cctype>
#include <cstring>

namespace Tessel
{

namespace
{
bool isReservedDeviceName(const std::string& name)
{
    // Windows refuses these names with any extension ("nul.txt" too).
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = char(std::toupper((unsigned char)c));
    static const char* const reserved[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* word : reserved)
        if (stem == word)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// Cuts `text` to at most `length` bytes, backing off to the start of a UTF-8 character.
void cutUtf8(std::string& text, size_t length)
{
    if (text.size() <= length)
        return;
    size_t end = length;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
}

void trim(std::string& text)
{
    size_t start = text.find_first_not_of(' ');
    text.erase(0, start == std::string::npos ? text.size() : start);
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
}
} // namespace

std::string FileUtilities::makeValidFileName(const std::string& name, size_t maxLength)
{
    std::string result;
    result.reserve(name.size());
    for (char c : name)
    {
        unsigned char u = static_cast<unsigned char>(c);
        bool bad = u < 0x20 || u == 0x7F || std::strchr("<>:\"/\\|?*", c) != nullptr;
        result += bad ? '_' : c;
    }
    for (size_t dots = result.find(".."); dots != std::string::npos; dots = result.find("..", dots))
        result.replace(dots, 2, "__");
    trim(result);
    if (isReservedDeviceName(result))
        result.insert(0, "_");
    cutUtf8(result, maxLength == 0 ? 1 : maxLength);
    // Cutting may leave a trailing dot or space again.
    trim(result);
    if (result.empty())
        result = "_";
    return result;
}

std::string FileUtilities::joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string FileUtilities::getExtension(const std::string& name)
{
    size_t slash = name.find_last_of('/');
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return name.substr(dot + 1);
}

std::string FileUtilities::getBaseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = file.find_last_of('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

} // namespace Tessel
