#include "tessel/TextVariables.h"

namespace Tessel
{

TextVariables& TextVariables::instance()
{
    static TextVariables variables;
    return variables;
}

void TextVariables::set(const std::string& name, const std::string& value)
{
    if (!name.empty())
        values[name] = value;
}

void TextVariables::remove(const std::string& name)
{
    values.erase(name);
}

std::string TextVariables::get(const std::string& name) const
{
    auto it = values.find(name);
    return it == values.end() ? std::string() : it->second;
}

std::string TextVariables::expand(const std::string& text) const
{
    if (values.empty() || text.find('$') == std::string::npos)
        return text;
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        if (text[i] != '$')
        {
            result += text[i++];
            continue;
        }
        // The longest published name that the text continues with after the "$".
        const std::pair<const std::string, std::string>* best = nullptr;
        for (const auto& entry : values)
        {
            const std::string& name = entry.first;
            if (text.compare(i + 1, name.size(), name) == 0 && (!best || name.size() > best->first.size()))
                best = &entry;
        }
        if (best)
        {
            result += best->second;
            i += 1 + best->first.size();
        }
        else
        {
            result += text[i++];
        }
    }
    return result;
}

} // namespace Tessel
