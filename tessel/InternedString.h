#pragma once

#include <string>
#include <string_view>

namespace Tessel
{

// A text kept once per process however many objects hold it: the parameters and components of
// every speaker of a model carry the same names. An InternedString holds a counted reference to
// its entry in a process-wide table; the entry goes with its last holder. Equal texts share one
// entry; the empty text has none and costs nothing. Thread-safe.
class InternedString
{
public:
    InternedString() = default;
    explicit InternedString(std::string_view text);
    InternedString(const InternedString& other);
    InternedString(InternedString&& other) noexcept : entry(other.entry) { other.entry = nullptr; }
    InternedString& operator=(const InternedString& other);
    InternedString& operator=(InternedString&& other) noexcept;
    ~InternedString();

    // The text; valid as long as this holder keeps it.
    const std::string& str() const;
    bool empty() const { return entry == nullptr; }
    bool operator==(const InternedString& other) const { return entry == other.entry; }

    // Number of distinct texts held in the process, for tests and diagnostics.
    static size_t countEntries();

private:
    struct Entry;
    static void release(Entry* entry);

    Entry* entry = nullptr;
};

} // namespace Tessel
