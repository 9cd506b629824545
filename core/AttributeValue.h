#pragma once

#include "core/BlockPool.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Core::Portable
{

class Attributes;
class AttributeQueue;

// One value of an attribute set or queue. It holds one of six kinds; setting
// a value first releases what it held. Nested sets and queues are owned by
// the value. Copies are deep.
class AttributeValue
{
public:
    // The kind numbers are those of the stored data and must not change.
    enum class Kind : int
    {
        None = 0,       // nothing; JSON null
        Integer = 1,    // signed 64-bit integer; JSON number without fraction
        Double = 2,     // double; JSON number printed with "%.50g"
        Text = 3,       // UTF-8 bytes; JSON string
        Queue = 4,      // AttributeQueue; JSON array
        Attributes = 5, // nested attribute set; JSON object
    };

    CORE_POOLED_ALLOCATION(AttributeValue)

    AttributeValue() = default;
    AttributeValue(const AttributeValue& other);
    AttributeValue(AttributeValue&& other) noexcept;
    AttributeValue& operator=(const AttributeValue& other);
    AttributeValue& operator=(AttributeValue&& other) noexcept;
    ~AttributeValue();

    Kind kind() const { return kind_; }
    bool isNone() const { return kind_ == Kind::None; }
    bool isInteger() const { return kind_ == Kind::Integer; }
    bool isDouble() const { return kind_ == Kind::Double; }
    bool isNumber() const { return kind_ == Kind::Integer || kind_ == Kind::Double; }
    bool isText() const { return kind_ == Kind::Text; }
    bool isQueue() const { return kind_ == Kind::Queue; }
    bool isAttributes() const { return kind_ == Kind::Attributes; }

    // The integer of an Integer value, a Double truncated toward zero
    // (clamped to the 64-bit range; NaN gives 0), else fallback.
    std::int64_t toInt64(std::int64_t fallback = 0) const;
    // The number of an Integer or Double value, else fallback.
    double toDouble(double fallback = 0.0) const;
    // The text of a Text value, else an empty view.
    std::string_view text() const;
    // The nested set or queue when the value holds one, else nullptr.
    Attributes* attributes() const;
    AttributeQueue* queue() const;

    // Release what the value held and leave it None.
    void clear();
    void setInt64(std::int64_t value);
    // Booleans are stored as Integer 1 or 0.
    void setBool(bool value) { setInt64(value ? 1 : 0); }
    void setDouble(double value);
    void setText(std::string_view text);
    // Replaces the value with a new empty set (or queue) and returns it.
    Attributes& makeAttributes();
    AttributeQueue& makeQueue();
    // Replaces the value with a deep copy of the given set (or queue).
    void setAttributes(const Attributes& attributes);
    void setQueue(const AttributeQueue& queue);
    // Takes ownership of a set or queue allocated with new (null gives None).
    void adoptAttributes(Attributes* attributes);
    void adoptQueue(AttributeQueue* queue);

    // Deep comparison: same kind and equal content (doubles compared with ==).
    bool operator==(const AttributeValue& other) const;

private:
    Kind kind_ = Kind::None;
    union
    {
        std::int64_t integer_;
        double double_;
        Attributes* attributes_;
        AttributeQueue* queue_;
    };
    std::string text_;
};

} // namespace Core::Portable
