#include "tarnsim/ListParam.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace Core::Portable
{

ListParam::ListParam(const ParamDefinition& definition, IParamObserver* owner, bool notifyOwner)
    : NumericParam(definition, owner, notifyOwner),
      textCount_(definition.listTexts && definition.max >= 0.0f ? static_cast<int>(definition.max) + 1 : 0)
{
}

int ListParam::entryCount() const
{
    if (!definition().listTexts || definition().max < 0.0f)
        return 0;
    const int count = static_cast<int>(definition().max) + 1;
    return count < textCount_ ? count : textCount_;
}

const char* ListParam::entry(int index) const
{
    if (index < 0 || index >= entryCount())
        return nullptr;
    return definition().listTexts[index];
}

void ListParam::toText(char* buffer, std::size_t size) const
{
    if (!buffer || size == 0)
        return;
    const char* text = entry(static_cast<int>(value_));
    std::snprintf(buffer, size, "%s", text ? text : "");
}

void ListParam::fromText(const char* text, bool notify)
{
    if (!text)
        return;
    for (int i = 0; i < entryCount(); ++i)
    {
        if (strcasecmp(entry(i), text) == 0)
        {
            setValue(static_cast<float>(i), notify);
            return;
        }
    }
    char* end = nullptr;
    errno = 0;
    const intmax_t index = std::strtoimax(text, &end, 10);
    if (end == text || errno == ERANGE)
        return;
    setValue(static_cast<float>(index), notify);
}

} // namespace Core::Portable
