#include "tessel/CommandParamList.h"

#include "tessel/Attributes.h"
#include "tessel/CommandParam.h"
#include "tessel/ParamContainer.h"

namespace Tessel
{

CommandParamList::CommandParamList(ParamContainer& params, std::string baseName, std::string category,
                                   std::string command, std::string argumentKey, int32_t tag)
    : params(params), baseName(std::move(baseName)), category(std::move(category)),
      command(std::move(command)), argumentKey(std::move(argumentKey)), tag(tag)
{
}

std::string CommandParamList::entryName(const std::string& baseName, int index)
{
    return baseName + "[" + std::to_string(index) + "]";
}

bool CommandParamList::parseEntryName(const std::string& name, std::string& baseName, int& index)
{
    const size_t open = name.find('[');
    if (open == std::string::npos || open == 0 || name.size() < open + 3 || name.back() != ']')
        return false;
    const std::string digits = name.substr(open + 1, name.size() - open - 2);
    // One spelling per index: no sign, no leading zero, no more digits than an int holds.
    if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0'))
        return false;
    int value = 0;
    for (char c : digits)
    {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    baseName = name.substr(0, open);
    index = value;
    return true;
}

void CommandParamList::setValues(const std::vector<Variant>& values)
{
    while (entries.size() > values.size())
    {
        CommandParam* last = entries.back();
        entries.pop_back();
        params.remove(last);
    }
    for (size_t i = 0; i < values.size(); ++i)
    {
        if (i == entries.size())
        {
            CommandParam* entry = params.addCommand(category, command, entryName(baseName, int(i)), tag);
            if (!entry)
                return; // the container warned about the name; the list stops before the gap
            entries.push_back(entry);
        }
        Attributes arguments;
        arguments.set(argumentKey, values[i]);
        entries[i]->setArguments(arguments);
    }
}

CommandParam* CommandParamList::at(int index) const
{
    return index >= 0 && index < count() ? entries[size_t(index)] : nullptr;
}

Variant CommandParamList::valueAt(int index) const
{
    CommandParam* entry = at(index);
    return entry ? entry->getArguments().get(argumentKey) : Variant();
}

} // namespace Tessel
