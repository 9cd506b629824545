#pragma once

#include "core/AttributeQueue.h" // so that one include gives sets, queues and values
#include "core/AttributeValue.h"
#include "core/BlockPool.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Core::Portable
{

// A named value of an attribute set. Names are cut to kMaxNameLength bytes.
class Attribute
{
public:
    static constexpr std::size_t kMaxNameLength = 31;

    CORE_POOLED_ALLOCATION(Attribute)

    explicit Attribute(std::string_view name);

    std::string_view name() const { return std::string_view(name_, nameLength_); }
    AttributeValue& value() { return value_; }
    const AttributeValue& value() const { return value_; }

private:
    char name_[kMaxNameLength + 1];
    std::uint8_t nameLength_;
    AttributeValue value_;
};

// An ordered list of named values (a JSON object in memory). Names are
// compared exactly; lookups return the first entry of a name. The set*
// functions reuse the first entry of that name, append* always adds a new
// entry (as the JSON reader does, so repeated keys are all kept in order).
// Iteration follows insertion order. Names longer than 31 bytes are cut,
// both when storing and when looking up. Copies are deep.
class Attributes
{
public:
    CORE_POOLED_ALLOCATION(Attributes)

    Attributes() = default;
    Attributes(const Attributes& other);
    Attributes(Attributes&& other) noexcept;
    Attributes& operator=(const Attributes& other);
    Attributes& operator=(Attributes&& other) noexcept;
    virtual ~Attributes();

    // --- Size and iteration (insertion order)
    int count() const { return static_cast<int>(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }
    // The entry at index 0..count()-1.
    Attribute& at(int index) { return *entries_[static_cast<std::size_t>(index)]; }
    const Attribute& at(int index) const { return *entries_[static_cast<std::size_t>(index)]; }

    template <class Ptr, class Ref> class BasicIterator
    {
    public:
        explicit BasicIterator(Ptr const* position) : position_(position) {}
        Ref operator*() const { return **position_; }
        BasicIterator& operator++()
        {
            ++position_;
            return *this;
        }
        bool operator!=(const BasicIterator& other) const { return position_ != other.position_; }
        bool operator==(const BasicIterator& other) const { return position_ == other.position_; }

    private:
        Ptr const* position_;
    };
    using Iterator = BasicIterator<Attribute*, Attribute&>;
    using ConstIterator = BasicIterator<Attribute*, const Attribute&>;
    Iterator begin() { return Iterator(entries_.data()); }
    Iterator end() { return Iterator(entries_.data() + entries_.size()); }
    ConstIterator begin() const { return ConstIterator(entries_.data()); }
    ConstIterator end() const { return ConstIterator(entries_.data() + entries_.size()); }

    // --- Lookup (first entry of the name)
    // Index of the first entry of the name, or -1.
    int indexOf(std::string_view name) const;
    bool contains(std::string_view name) const { return indexOf(name) >= 0; }
    // The value of the first entry of the name, or nullptr.
    AttributeValue* find(std::string_view name);
    const AttributeValue* find(std::string_view name) const;
    // Typed reads: the fallback when the entry is missing or of another kind.
    // getInt64 truncates a Double; getDouble converts an Integer.
    std::int64_t getInt64(std::string_view name, std::int64_t fallback = 0) const;
    double getDouble(std::string_view name, double fallback = 0.0) const;
    // The text of a Text entry, else an empty view (valid until the entry changes).
    std::string_view getText(std::string_view name) const;
    // The nested set (or queue) of the entry, or nullptr.
    Attributes* getAttributes(std::string_view name) const;
    AttributeQueue* getQueue(std::string_view name) const;

    // --- Setting (reuses the first entry of the name, else appends)
    // The value slot of the name; a new entry holds None.
    AttributeValue& set(std::string_view name);
    void setInt64(std::string_view name, std::int64_t value) { set(name).setInt64(value); }
    void setBool(std::string_view name, bool value) { set(name).setBool(value); }
    void setDouble(std::string_view name, double value) { set(name).setDouble(value); }
    void setText(std::string_view name, std::string_view text) { set(name).setText(text); }
    // Replaces the entry's value with a new empty set (queue) and returns it.
    Attributes& setAttributes(std::string_view name) { return set(name).makeAttributes(); }
    AttributeQueue& setQueue(std::string_view name) { return set(name).makeQueue(); }
    // Replaces the entry's value with a deep copy.
    void setAttributes(std::string_view name, const Attributes& value) { set(name).setAttributes(value); }
    void setQueue(std::string_view name, const AttributeQueue& value);

    // --- Appending (always a new entry at the end)
    AttributeValue& append(std::string_view name);
    // Inserts a new entry at index (0..count()) and returns its value.
    AttributeValue& insert(int index, std::string_view name);

    // --- Removal
    // Removes the first entry of the name; false when there is none.
    bool remove(std::string_view name);
    void removeAt(int index);
    void clear();

    // Deep comparison: same names and values in the same order.
    bool operator==(const Attributes& other) const;

private:
    std::vector<Attribute*> entries_;
};

} // namespace Core::Portable
