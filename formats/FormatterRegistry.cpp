#include "formats/FormatterRegistry.h"

#include "formats/RangeTextFormatter.h"

#include <algorithm>
#include <cstring>

namespace Core
{

namespace
{

constexpr size_t kPartLength = RangeTextFormatter::kTextSize - 1;

// Copies at most kPartLength characters of [begin, end) into target.
void copyPart(char (&target)[RangeTextFormatter::kTextSize], const char* begin, const char* end)
{
    size_t length = std::min(static_cast<size_t>(end - begin), kPartLength);
    std::memcpy(target, begin, length);
    target[length] = '\0';
}

// A token "~" stands for no text.
void copyToken(char (&target)[RangeTextFormatter::kTextSize], const char* begin, const char* end)
{
    if (end - begin == 1 && *begin == '~')
        target[0] = '\0';
    else
        copyPart(target, begin, end);
}

} // namespace

FormatterRegistry::FormatterRegistry() = default;
FormatterRegistry::~FormatterRegistry() = default;

FormatterRegistry& FormatterRegistry::global()
{
    // Never destroyed: parameters torn down at exit may still hold formatters and curves from it.
    static FormatterRegistry* registry = new FormatterRegistry;
    return *registry;
}

void FormatterRegistry::registerFormatter(Formatter* formatter)
{
    if (!formatter)
        return;
    std::lock_guard lock(mutex_);
    formatters_.push_back(formatter);
}

bool FormatterRegistry::contains(const Formatter* formatter) const
{
    std::lock_guard lock(mutex_);
    return std::find(formatters_.begin(), formatters_.end(), formatter) != formatters_.end();
}

size_t FormatterRegistry::count() const
{
    std::lock_guard lock(mutex_);
    return formatters_.size();
}

Formatter* FormatterRegistry::findFormatter(const char* name)
{
    if (!name || !*name)
        return nullptr;
    std::lock_guard lock(mutex_);
    if (Formatter* found = findExact(name))
        return found;
    return findOrCreateRanged(name);
}

Formatter* FormatterRegistry::findExact(const char* name) const
{
    for (Formatter* formatter : formatters_)
    {
        if (std::strcmp(formatter->name(), name) == 0)
            return formatter;
    }
    return nullptr;
}

Formatter* FormatterRegistry::findOrCreateRanged(const char* name)
{
    const char* slash = std::strchr(name, '/');
    if (!slash || slash == name)
        return nullptr;

    // A created formatter keeps at most 31 characters of its name, so a longer name would not be
    // found by name again; remembering the whole name keeps one formatter per name.
    for (const Created& created : created_)
    {
        if (created.key == name)
            return created.formatter.get();
    }

    char baseName[RangeTextFormatter::kTextSize];
    copyPart(baseName, name, slash);
    Formatter* base = findExact(baseName); // the part before the first '/' holds no '/' itself
    if (!base)
        return nullptr;

    char minText[RangeTextFormatter::kTextSize] = "";
    char maxText[RangeTextFormatter::kTextSize] = "";
    const char* first = slash + 1;
    const char* firstEnd = std::strchr(first, '/');
    if (!firstEnd)
    {
        copyToken(minText, first, first + std::strlen(first));
    }
    else
    {
        copyToken(minText, first, firstEnd);
        const char* second = firstEnd + 1;
        const char* secondEnd = std::strchr(second, '/');
        copyToken(maxText, second, secondEnd ? secondEnd : second + std::strlen(second));
    }

    auto formatter = std::make_unique<RangeTextFormatter>(name, base, minText, maxText);
    Formatter* result = formatter.get();
    created_.push_back(Created{name, std::move(formatter)});
    formatters_.push_back(result);
    return result;
}

void registerFormatter(Formatter* formatter)
{
    FormatterRegistry::global().registerFormatter(formatter);
}

Formatter* findFormatter(const char* name)
{
    return FormatterRegistry::global().findFormatter(name);
}

} // namespace Core
