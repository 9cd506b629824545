#include "core/Attributes.h"

#include "core/AttributeQueue.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Core::Portable
{

namespace
{

std::string_view cutName(std::string_view name)
{
    return name.substr(0, std::min(name.size(), Attribute::kMaxNameLength));
}

} // namespace

Attribute::Attribute(std::string_view name)
{
    name = cutName(name);
    if (!name.empty())
        std::memcpy(name_, name.data(), name.size());
    name_[name.size()] = '\0';
    nameLength_ = static_cast<std::uint8_t>(name.size());
}

Attributes::Attributes(const Attributes& other)
{
    *this = other;
}

Attributes::Attributes(Attributes&& other) noexcept : entries_(std::move(other.entries_))
{
    other.entries_.clear();
}

Attributes& Attributes::operator=(const Attributes& other)
{
    if (this == &other)
        return *this;
    // Build the copy before dropping the old entries: other may be nested in this set.
    std::vector<Attribute*> copy;
    copy.reserve(other.entries_.size());
    for (const Attribute* entry : other.entries_)
    {
        auto* attribute = new Attribute(entry->name());
        attribute->value() = entry->value();
        copy.push_back(attribute);
    }
    clear();
    entries_ = std::move(copy);
    return *this;
}

Attributes& Attributes::operator=(Attributes&& other) noexcept
{
    if (this == &other)
        return *this;
    std::vector<Attribute*> taken = std::move(other.entries_);
    other.entries_.clear();
    clear();
    entries_ = std::move(taken);
    return *this;
}

Attributes::~Attributes()
{
    clear();
}

int Attributes::indexOf(std::string_view name) const
{
    name = cutName(name);
    for (std::size_t i = 0; i < entries_.size(); ++i)
    {
        if (entries_[i]->name() == name)
            return static_cast<int>(i);
    }
    return -1;
}

AttributeValue* Attributes::find(std::string_view name)
{
    const int index = indexOf(name);
    return index >= 0 ? &entries_[static_cast<std::size_t>(index)]->value() : nullptr;
}

const AttributeValue* Attributes::find(std::string_view name) const
{
    const int index = indexOf(name);
    return index >= 0 ? &entries_[static_cast<std::size_t>(index)]->value() : nullptr;
}

std::int64_t Attributes::getInt64(std::string_view name, std::int64_t fallback) const
{
    const AttributeValue* value = find(name);
    return value ? value->toInt64(fallback) : fallback;
}

double Attributes::getDouble(std::string_view name, double fallback) const
{
    const AttributeValue* value = find(name);
    return value ? value->toDouble(fallback) : fallback;
}

std::string_view Attributes::getText(std::string_view name) const
{
    const AttributeValue* value = find(name);
    return value ? value->text() : std::string_view();
}

Attributes* Attributes::getAttributes(std::string_view name) const
{
    const AttributeValue* value = find(name);
    return value ? value->attributes() : nullptr;
}

AttributeQueue* Attributes::getQueue(std::string_view name) const
{
    const AttributeValue* value = find(name);
    return value ? value->queue() : nullptr;
}

AttributeValue& Attributes::set(std::string_view name)
{
    if (AttributeValue* value = find(name))
        return *value;
    return append(name);
}

void Attributes::setQueue(std::string_view name, const AttributeQueue& value)
{
    set(name).setQueue(value);
}

AttributeValue& Attributes::append(std::string_view name)
{
    auto* attribute = new Attribute(name);
    entries_.push_back(attribute);
    return attribute->value();
}

AttributeValue& Attributes::insert(int index, std::string_view name)
{
    index = std::clamp(index, 0, count());
    auto* attribute = new Attribute(name);
    entries_.insert(entries_.begin() + index, attribute);
    return attribute->value();
}

bool Attributes::remove(std::string_view name)
{
    const int index = indexOf(name);
    if (index < 0)
        return false;
    removeAt(index);
    return true;
}

void Attributes::removeAt(int index)
{
    if (index < 0 || index >= count())
        return;
    Attribute* attribute = entries_[static_cast<std::size_t>(index)];
    entries_.erase(entries_.begin() + index);
    delete attribute;
}

void Attributes::clear()
{
    // Detach first so that a value destroyed below never sees a half-cleared set.
    std::vector<Attribute*> old = std::move(entries_);
    entries_.clear();
    for (Attribute* attribute : old)
        delete attribute;
}

bool Attributes::operator==(const Attributes& other) const
{
    if (entries_.size() != other.entries_.size())
        return false;
    for (std::size_t i = 0; i < entries_.size(); ++i)
    {
        if (entries_[i]->name() != other.entries_[i]->name() ||
            !(entries_[i]->value() == other.entries_[i]->value()))
            return false;
    }
    return true;
}

} // namespace Core::Portable
