#include "tessel/InternedString.h"

#include <mutex>
#include <unordered_map>

namespace Tessel
{

struct InternedString::Entry
{
    std::string text;
    size_t holders = 0;
};

namespace
{
// The table and its lock are never destroyed: holders in static objects may go after it would.
struct Table
{
    std::mutex mutex;
    // Keys view the entries' own texts.
    std::unordered_map<std::string_view, void*> entries;
};

Table& table()
{
    static Table* instance = new Table;
    return *instance;
}
} // namespace

InternedString::InternedString(std::string_view text)
{
    if (text.empty())
        return;
    Table& shared = table();
    std::lock_guard lock(shared.mutex);
    auto found = shared.entries.find(text);
    if (found != shared.entries.end())
        entry = static_cast<Entry*>(found->second);
    else
    {
        entry = new Entry{std::string(text)};
        shared.entries.emplace(std::string_view(entry->text), entry);
    }
    ++entry->holders;
}

InternedString::InternedString(const InternedString& other) : entry(other.entry)
{
    if (!entry)
        return;
    std::lock_guard lock(table().mutex);
    ++entry->holders;
}

InternedString& InternedString::operator=(const InternedString& other)
{
    if (entry != other.entry)
    {
        InternedString copy(other);
        std::swap(entry, copy.entry);
    }
    return *this;
}

InternedString& InternedString::operator=(InternedString&& other) noexcept
{
    if (this != &other)
    {
        release(entry);
        entry = other.entry;
        other.entry = nullptr;
    }
    return *this;
}

InternedString::~InternedString()
{
    release(entry);
}

void InternedString::release(Entry* entry)
{
    if (!entry)
        return;
    Table& shared = table();
    std::lock_guard lock(shared.mutex);
    if (--entry->holders > 0)
        return;
    shared.entries.erase(std::string_view(entry->text));
    delete entry;
}

const std::string& InternedString::str() const
{
    static const std::string* const none = new std::string; // outlives every static holder
    return entry ? entry->text : *none;
}

size_t InternedString::countEntries()
{
    Table& shared = table();
    std::lock_guard lock(shared.mutex);
    return shared.entries.size();
}

} // namespace Tessel
