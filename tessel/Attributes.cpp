#include "tessel/Attributes.h"

#include "tessel/AttributeList.h"
#include "tessel/IFileSystem.h"
#include "tessel/Json.h"
#include "tessel/Platform.h"

namespace Tessel
{

namespace
{
bool sameValue(const Variant& a, const Variant& b)
{
    if (a.isObject() && b.isObject())
    {
        Attributes* da = a.asInterface<Attributes>();
        Attributes* db = b.asInterface<Attributes>();
        if (da && db)
            return da->equals(*db);
        AttributeList* la = a.asInterface<AttributeList>();
        AttributeList* lb = b.asInterface<AttributeList>();
        if (la && lb)
            return la->equals(*lb);
    }
    return a == b && a.getType() == b.getType();
}
} // namespace

bool attributeValuesEqual(const Variant& a, const Variant& b)
{
    return sameValue(a, b);
}

Attributes::Attributes(const Attributes& other) : Unknown(), entries(other.entries) {}

Attributes& Attributes::operator=(const Attributes& other)
{
    if (this != &other)
        entries = other.entries;
    return *this;
}

void* Attributes::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(Attributes)
    return Unknown::queryInterface(iid);
}

const Variant* Attributes::find(const std::string& key) const
{
    for (const auto& entry : entries)
        if (entry.first == key)
            return &entry.second;
    return nullptr;
}

Variant Attributes::get(const std::string& key) const
{
    const Variant* v = find(key);
    return v ? *v : Variant();
}

void Attributes::set(const std::string& key, const Variant& value)
{
    for (auto& entry : entries)
    {
        if (entry.first == key)
        {
            entry.second = value;
            return;
        }
    }
    entries.emplace_back(key, value);
}

bool Attributes::remove(const std::string& key)
{
    for (auto it = entries.begin(); it != entries.end(); ++it)
    {
        if (it->first == key)
        {
            entries.erase(it);
            return true;
        }
    }
    return false;
}

int64_t Attributes::getInt(const std::string& key, int64_t fallback) const
{
    const Variant* v = find(key);
    return v && v->isNumeric() ? v->asInt() : fallback;
}

double Attributes::getFloat(const std::string& key, double fallback) const
{
    const Variant* v = find(key);
    return v && v->isNumeric() ? v->asDouble() : fallback;
}

std::string Attributes::getString(const std::string& key, const std::string& fallback) const
{
    const Variant* v = find(key);
    return v && v->isString() ? v->getText() : fallback;
}

Attributes* Attributes::getAttributes(const std::string& key) const
{
    const Variant* v = find(key);
    return v ? v->asInterface<Attributes>() : nullptr;
}

AttributeList* Attributes::getList(const std::string& key) const
{
    const Variant* v = find(key);
    return v ? v->asInterface<AttributeList>() : nullptr;
}

void Attributes::setList(const std::string& key, AttributeList* value)
{
    set(key, Variant(static_cast<IUnknown*>(value)));
}

Attributes* Attributes::newAttributes(const std::string& key)
{
    Attributes* child = new Attributes;
    setAttributes(key, child);
    child->release();
    return child;
}

AttributeList* Attributes::newList(const std::string& key)
{
    AttributeList* child = new AttributeList;
    setList(key, child);
    child->release();
    return child;
}

bool Attributes::equals(const Attributes& other) const
{
    if (entries.size() != other.entries.size())
        return false;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (entries[i].first != other.entries[i].first)
            return false;
        if (!sameValue(entries[i].second, other.entries[i].second))
            return false;
    }
    return true;
}

bool Attributes::saveToFile(const std::string& url) const
{
    std::string text;
    if (!JsonStringify(*this, text))
        return false;
    return GetFileSystem()->writeFile(url, text);
}

bool Attributes::loadFromFile(const std::string& url)
{
    std::string text;
    if (!GetFileSystem()->readFile(url, text))
        return false;
    Attributes parsed;
    if (!JsonParse(text, parsed))
        return false;
    entries = std::move(parsed.entries);
    return true;
}

} // namespace Tessel
