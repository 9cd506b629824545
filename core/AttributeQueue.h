#pragma once

#include "core/AttributeValue.h"
#include "core/BlockPool.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace Core::Portable
{

class Attributes;

// An ordered list of unnamed values (a JSON array in memory). Copies are deep.
class AttributeQueue
{
public:
    CORE_POOLED_ALLOCATION(AttributeQueue)

    AttributeQueue() = default;
    AttributeQueue(const AttributeQueue& other);
    AttributeQueue(AttributeQueue&& other) noexcept;
    AttributeQueue& operator=(const AttributeQueue& other);
    AttributeQueue& operator=(AttributeQueue&& other) noexcept;
    ~AttributeQueue();

    int count() const { return static_cast<int>(values_.size()); }
    bool isEmpty() const { return values_.empty(); }
    // The value at index 0..count()-1.
    AttributeValue& at(int index) { return *values_[static_cast<std::size_t>(index)]; }
    const AttributeValue& at(int index) const { return *values_[static_cast<std::size_t>(index)]; }

    template <class Ref> class BasicIterator
    {
    public:
        explicit BasicIterator(AttributeValue* const* position) : position_(position) {}
        Ref operator*() const { return **position_; }
        BasicIterator& operator++()
        {
            ++position_;
            return *this;
        }
        bool operator!=(const BasicIterator& other) const { return position_ != other.position_; }
        bool operator==(const BasicIterator& other) const { return position_ == other.position_; }

    private:
        AttributeValue* const* position_;
    };
    using Iterator = BasicIterator<AttributeValue&>;
    using ConstIterator = BasicIterator<const AttributeValue&>;
    Iterator begin() { return Iterator(values_.data()); }
    Iterator end() { return Iterator(values_.data() + values_.size()); }
    ConstIterator begin() const { return ConstIterator(values_.data()); }
    ConstIterator end() const { return ConstIterator(values_.data() + values_.size()); }

    // Appends a None value and returns it.
    AttributeValue& append();
    void appendInt64(std::int64_t value) { append().setInt64(value); }
    void appendDouble(double value) { append().setDouble(value); }
    void appendText(std::string_view text) { append().setText(text); }
    // Appends a new empty set (queue) and returns it.
    Attributes& appendAttributes() { return append().makeAttributes(); }
    AttributeQueue& appendQueue() { return append().makeQueue(); }

    void removeAt(int index);
    void clear();

    bool operator==(const AttributeQueue& other) const;

private:
    std::vector<AttributeValue*> values_;
};

} // namespace Core::Portable
