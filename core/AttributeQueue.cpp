#include "core/AttributeQueue.h"

#include "core/Attributes.h"

#include <utility>

namespace Core::Portable
{

AttributeQueue::AttributeQueue(const AttributeQueue& other)
{
    *this = other;
}

AttributeQueue::AttributeQueue(AttributeQueue&& other) noexcept : values_(std::move(other.values_))
{
    other.values_.clear();
}

AttributeQueue& AttributeQueue::operator=(const AttributeQueue& other)
{
    if (this == &other)
        return *this;
    std::vector<AttributeValue*> copy;
    copy.reserve(other.values_.size());
    for (const AttributeValue* value : other.values_)
        copy.push_back(new AttributeValue(*value));
    clear();
    values_ = std::move(copy);
    return *this;
}

AttributeQueue& AttributeQueue::operator=(AttributeQueue&& other) noexcept
{
    if (this == &other)
        return *this;
    std::vector<AttributeValue*> taken = std::move(other.values_);
    other.values_.clear();
    clear();
    values_ = std::move(taken);
    return *this;
}

AttributeQueue::~AttributeQueue()
{
    clear();
}

AttributeValue& AttributeQueue::append()
{
    auto* value = new AttributeValue;
    values_.push_back(value);
    return *value;
}

void AttributeQueue::removeAt(int index)
{
    if (index < 0 || index >= count())
        return;
    AttributeValue* value = values_[static_cast<std::size_t>(index)];
    values_.erase(values_.begin() + index);
    delete value;
}

void AttributeQueue::clear()
{
    std::vector<AttributeValue*> old = std::move(values_);
    values_.clear();
    for (AttributeValue* value : old)
        delete value;
}

bool AttributeQueue::operator==(const AttributeQueue& other) const
{
    if (values_.size() != other.values_.size())
        return false;
    for (std::size_t i = 0; i < values_.size(); ++i)
    {
        if (!(*values_[i] == *other.values_[i]))
            return false;
    }
    return true;
}

} // namespace Core::Portable
