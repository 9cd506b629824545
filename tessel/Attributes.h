#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tessel/Unknown.h"
#include "tessel/Variant.h"

namespace Tessel
{

class AttributeList;

// An ordered dictionary from text key to Variant. Setting an existing key replaces its value in
// place; new keys are appended. Object values may be nested Attributes or an AttributeList; they
// are held by reference. Reference counted (count starts at 1); may also live on the stack or as a
// member as long as nobody keeps a reference to it beyond its life.
class Attributes : public Unknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0001, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01};

    Attributes() = default;
    // Deep copy of keys and values (object values are shared, not copied).
    Attributes(const Attributes& other);
    Attributes& operator=(const Attributes& other);

    void* queryInterface(const UID& iid) override;

    int count() const { return int(entries.size()); }
    bool isEmpty() const { return entries.empty(); }
    bool contains(const std::string& key) const { return find(key) != nullptr; }
    // The value of `key`, or nullptr when absent (borrowed; valid until the dictionary changes).
    const Variant* find(const std::string& key) const;
    // The value of `key`, or an empty variant.
    Variant get(const std::string& key) const;
    const std::string& keyAt(int index) const { return entries[size_t(index)].first; }
    const Variant& valueAt(int index) const { return entries[size_t(index)].second; }

    // Sets `key` to `value` (replacing in place or appending).
    void set(const std::string& key, const Variant& value);
    // Removes `key`; returns whether it was there.
    bool remove(const std::string& key);
    void removeAll() { entries.clear(); }

    // Typed reads with a fallback for a missing key or an incompatible type (numbers convert).
    int64_t getInt(const std::string& key, int64_t fallback = 0) const;
    double getFloat(const std::string& key, double fallback = 0) const;
    std::string getString(const std::string& key, const std::string& fallback = {}) const;
    // Nested dictionary or list under `key` (borrowed), or nullptr.
    Attributes* getAttributes(const std::string& key) const;
    AttributeList* getList(const std::string& key) const;

    // Convenience writers; the nested objects are retained by the dictionary.
    void setInt(const std::string& key, int64_t value) { set(key, Variant((long long)value)); }
    void setFloat(const std::string& key, double value) { set(key, Variant(value)); }
    void setString(const std::string& key, const std::string& value) { set(key, Variant(value)); }
    void setAttributes(const std::string& key, Attributes* value)
    {
        set(key, Variant(static_cast<IUnknown*>(value)));
    }
    void setList(const std::string& key, AttributeList* value);
    // Creates, stores and returns a new nested dictionary or list under `key` (borrowed).
    Attributes* newAttributes(const std::string& key);
    AttributeList* newList(const std::string& key);

    // Same keys in the same order with equal values; nested dictionaries and lists compare deeply.
    bool equals(const Attributes& other) const;

    // The persistent form: the dictionary as a JSON document (nested dictionaries as objects,
    // lists as arrays) through the installed JSON codec. saveToFile writes it to `url` through the
    // file system's atomic write, so a failed save leaves the old file whole; false when no codec
    // is installed or the write fails.
    bool saveToFile(const std::string& url) const;
    // Replaces the content with the JSON object read from `url`. False, with the content
    // unchanged, when the file cannot be read or is not a JSON object.
    bool loadFromFile(const std::string& url);

private:
    std::vector<std::pair<std::string, Variant>> entries;
};

} // namespace Tessel
