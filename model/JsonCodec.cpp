#include "model/JsonCodec.h"

#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "model/ComponentBuilder.h"
#include "model/UniversalComponent.h"
#include "model/UniversalComponentBuilder.h"
#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/ClassFactory.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"

namespace Vellaris
{

namespace Portable = Core::Portable;

namespace
{

bool valueToFramework(const Portable::AttributeValue& from, Tessel::Variant& to, int depth);

bool queueToFramework(const Portable::AttributeQueue& from, Tessel::AttributeList& to, int depth)
{
    bool ok = true;
    for (const Portable::AttributeValue& item : from)
    {
        Tessel::Variant value;
        ok = valueToFramework(item, value, depth) && ok;
        to.append(value);
    }
    return ok;
}

bool attributesToFramework(const Portable::Attributes& from, Tessel::Attributes& to, int depth)
{
    if (depth > Portable::kMaxJsonDepth)
        return false;
    bool ok = true;
    for (const Portable::Attribute& entry : from)
    {
        Tessel::Variant value;
        ok = valueToFramework(entry.value(), value, depth) && ok;
        if (!value.isEmpty())
            to.set(std::string(entry.name()), value);
    }
    return ok;
}

bool valueToFramework(const Portable::AttributeValue& from, Tessel::Variant& to, int depth)
{
    switch (from.kind())
    {
    case Portable::AttributeValue::Kind::Integer:
        to = Tessel::Variant((long long)from.toInt64());
        return true;
    case Portable::AttributeValue::Kind::Double:
        to = Tessel::Variant(from.toDouble());
        return true;
    case Portable::AttributeValue::Kind::Text:
        to = Tessel::Variant(std::string(from.text()));
        return true;
    case Portable::AttributeValue::Kind::Attributes:
    {
        Tessel::AutoPtr<Tessel::Attributes> nested = new Tessel::Attributes;
        const bool ok = attributesToFramework(*from.attributes(), *nested, depth + 1);
        to = Tessel::Variant(static_cast<Tessel::IUnknown*>(nested.get()));
        return ok;
    }
    case Portable::AttributeValue::Kind::Queue:
    {
        if (depth + 1 > Portable::kMaxJsonDepth)
            return false;
        Tessel::AutoPtr<Tessel::AttributeList> list = new Tessel::AttributeList;
        const bool ok = queueToFramework(*from.queue(), *list, depth + 1);
        to = Tessel::Variant(static_cast<Tessel::IUnknown*>(list.get()));
        return ok;
    }
    default:
        to.clear();
        return true;
    }
}

bool listToPortable(const Tessel::AttributeList& from, Portable::AttributeQueue& to, int depth);
bool attributesToPortable(const Tessel::Attributes& from, Portable::Attributes& to, int depth);

// Writes `from` into `to`; false for nesting that is too deep or an object of another kind.
bool valueToPortable(const Tessel::Variant& from, Portable::AttributeValue& to, int depth)
{
    switch (from.getType())
    {
    case Tessel::Variant::kInt:
        to.setInt64(from.asInt());
        return true;
    case Tessel::Variant::kFloat:
        to.setDouble(from.asDouble());
        return true;
    case Tessel::Variant::kString:
        to.setText(from.getText());
        return true;
    case Tessel::Variant::kObject:
        if (auto* nested = from.asInterface<Tessel::Attributes>())
            return attributesToPortable(*nested, to.makeAttributes(), depth + 1);
        if (auto* list = from.asInterface<Tessel::AttributeList>())
            return listToPortable(*list, to.makeQueue(), depth + 1);
        to.clear();
        return false;
    default:
        to.clear();
        return true;
    }
}

bool listToPortable(const Tessel::AttributeList& from, Portable::AttributeQueue& to, int depth)
{
    // The depth check also stops a list or dictionary that contains itself.
    if (depth > Portable::kMaxJsonDepth)
        return false;
    bool ok = true;
    for (int i = 0; i < from.count() && ok; ++i)
        ok = valueToPortable(from.at(i), to.append(), depth);
    return ok;
}

bool attributesToPortable(const Tessel::Attributes& from, Portable::Attributes& to, int depth)
{
    if (depth > Portable::kMaxJsonDepth)
        return false;
    bool ok = true;
    for (int i = 0; i < from.count() && ok; ++i)
        ok = valueToPortable(from.valueAt(i), to.append(from.keyAt(i)), depth);
    return ok;
}

bool installJsonCodec()
{
    Tessel::setJsonCodec(&JsonCodec::instance());
    return true;
}

// The model library's part of the runtime start-up: the JSON codec, and its classes known to the
// class factory by name whatever the linker kept of their static registrations.
bool initializeModelRuntime()
{
    Tessel::ClassFactory::registerClass(UniversalComponent::metaClass);
    Tessel::ClassFactory::registerClass(ComponentBuilder::metaClass);
    Tessel::ClassFactory::registerClass(UniversalComponentBuilder::metaClass);
    return installJsonCodec();
}

Tessel::Initializer modelInitializer("ModelRuntime", 900, &initializeModelRuntime);

} // namespace

const Tessel::Initializer& modelRuntimeInitializer()
{
    return modelInitializer;
}

bool JsonCodec::toFramework(const Portable::Attributes& from, Tessel::Attributes& to)
{
    return attributesToFramework(from, to, 1);
}

bool JsonCodec::toPortable(const Tessel::Attributes& from, Portable::Attributes& to)
{
    return attributesToPortable(from, to, 1);
}

bool JsonCodec::parse(const std::string& text, Tessel::Attributes& result)
{
    result.removeAll();
    Portable::Attributes read;
    const bool ok = Portable::JsonReader::parse(text, read);
    const bool converted = toFramework(read, result);
    return ok && converted;
}

bool JsonCodec::stringify(const Tessel::Attributes& value, std::string& text)
{
    Portable::Attributes portable;
    if (!toPortable(value, portable))
        return false;
    text = Portable::JsonWriter::toString(portable, Portable::JsonLayout::Compact);
    return true;
}

JsonCodec& JsonCodec::instance()
{
    static JsonCodec codec;
    return codec;
}

void JsonCodec::ensureInstalled()
{
    if (!Tessel::getJsonCodec())
        installJsonCodec();
}

} // namespace Vellaris
