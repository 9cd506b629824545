#include "core/AttributeValue.h"

#include "core/AttributeQueue.h"
#include "core/Attributes.h"

#include <cmath>
#include <limits>
#include <utility>

namespace Core::Portable
{

AttributeValue::AttributeValue(const AttributeValue& other)
{
    *this = other;
}

AttributeValue::AttributeValue(AttributeValue&& other) noexcept
{
    *this = std::move(other);
}

AttributeValue& AttributeValue::operator=(const AttributeValue& other)
{
    if (this == &other)
        return *this;
    switch (other.kind_)
    {
    case Kind::None:
        clear();
        break;
    case Kind::Integer:
        setInt64(other.integer_);
        break;
    case Kind::Double:
        setDouble(other.double_);
        break;
    case Kind::Text:
        setText(other.text_);
        break;
    case Kind::Queue:
        setQueue(*other.queue_);
        break;
    case Kind::Attributes:
        setAttributes(*other.attributes_);
        break;
    }
    return *this;
}

AttributeValue& AttributeValue::operator=(AttributeValue&& other) noexcept
{
    if (this == &other)
        return *this;
    clear();
    kind_ = other.kind_;
    switch (kind_)
    {
    case Kind::None:
        break;
    case Kind::Integer:
        integer_ = other.integer_;
        break;
    case Kind::Double:
        double_ = other.double_;
        break;
    case Kind::Text:
        text_ = std::move(other.text_);
        break;
    case Kind::Queue:
        queue_ = other.queue_;
        break;
    case Kind::Attributes:
        attributes_ = other.attributes_;
        break;
    }
    // The nested objects now belong to this value.
    other.kind_ = Kind::None;
    other.text_.clear();
    return *this;
}

AttributeValue::~AttributeValue()
{
    clear();
}

std::int64_t AttributeValue::toInt64(std::int64_t fallback) const
{
    if (kind_ == Kind::Integer)
        return integer_;
    if (kind_ != Kind::Double)
        return fallback;
    // Converting an out-of-range double to an integer is undefined; clamp.
    if (std::isnan(double_))
        return 0;
    if (double_ >= 9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::max();
    if (double_ <= -9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(double_);
}

double AttributeValue::toDouble(double fallback) const
{
    if (kind_ == Kind::Double)
        return double_;
    if (kind_ == Kind::Integer)
        return static_cast<double>(integer_);
    return fallback;
}

std::string_view AttributeValue::text() const
{
    return kind_ == Kind::Text ? std::string_view(text_) : std::string_view();
}

Attributes* AttributeValue::attributes() const
{
    return kind_ == Kind::Attributes ? attributes_ : nullptr;
}

AttributeQueue* AttributeValue::queue() const
{
    return kind_ == Kind::Queue ? queue_ : nullptr;
}

void AttributeValue::clear()
{
    switch (kind_)
    {
    case Kind::Text:
        text_.clear();
        text_.shrink_to_fit();
        break;
    case Kind::Queue:
        delete queue_;
        break;
    case Kind::Attributes:
        delete attributes_;
        break;
    default:
        break;
    }
    kind_ = Kind::None;
}

void AttributeValue::setInt64(std::int64_t value)
{
    clear();
    kind_ = Kind::Integer;
    integer_ = value;
}

void AttributeValue::setDouble(double value)
{
    clear();
    kind_ = Kind::Double;
    double_ = value;
}

void AttributeValue::setText(std::string_view text)
{
    if (kind_ == Kind::Text)
    {
        text_.assign(text.data(), text.size());
        return;
    }
    clear();
    text_.assign(text.data(), text.size());
    kind_ = Kind::Text;
}

Attributes& AttributeValue::makeAttributes()
{
    auto* attributes = new Attributes;
    adoptAttributes(attributes);
    return *attributes;
}

AttributeQueue& AttributeValue::makeQueue()
{
    auto* queue = new AttributeQueue;
    adoptQueue(queue);
    return *queue;
}

void AttributeValue::setAttributes(const Attributes& attributes)
{
    // Copy first: the source may live inside this value.
    adoptAttributes(new Attributes(attributes));
}

void AttributeValue::setQueue(const AttributeQueue& queue)
{
    adoptQueue(new AttributeQueue(queue));
}

void AttributeValue::adoptAttributes(Attributes* attributes)
{
    clear();
    if (!attributes)
        return;
    kind_ = Kind::Attributes;
    attributes_ = attributes;
}

void AttributeValue::adoptQueue(AttributeQueue* queue)
{
    clear();
    if (!queue)
        return;
    kind_ = Kind::Queue;
    queue_ = queue;
}

bool AttributeValue::operator==(const AttributeValue& other) const
{
    if (kind_ != other.kind_)
        return false;
    switch (kind_)
    {
    case Kind::None:
        return true;
    case Kind::Integer:
        return integer_ == other.integer_;
    case Kind::Double:
        return double_ == other.double_;
    case Kind::Text:
        return text_ == other.text_;
    case Kind::Queue:
        return *queue_ == *other.queue_;
    case Kind::Attributes:
        return *attributes_ == *other.attributes_;
    }
    return false;
}

} // namespace Core::Portable
