#include "model/ModelNodes.h"

#include <string_view>
#include <utility>
#include <vector>

#include "model/ModelSyntax.h"

namespace Vellaris
{

using namespace ModelSyntax;

namespace
{

// The value of attribute `key`, or nullptr when the element does not have it.
const std::string* attribute(const Tessel::XmlAttributes& attributes, std::string_view key)
{
    for (const auto& [name, value] : attributes)
    {
        if (name == key)
            return &value;
    }
    return nullptr;
}

std::string attributeText(const Tessel::XmlAttributes& attributes, std::string_view key,
                          size_t limit = kMaxIdLength)
{
    const std::string* value = attribute(attributes, key);
    return value ? cut(*value, limit) : std::string();
}

// Reads a number attribute into `out`; returns whether it was given and parsed.
bool number(const Tessel::XmlAttributes& attributes, std::string_view key, double& out)
{
    const std::string* value = attribute(attributes, key);
    return value && parseNumber(*value, out);
}

int32_t low32(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

using NodeFactory = std::unique_ptr<ModelNode> (*)(const std::string& elementName);

template <class T> std::unique_ptr<ModelNode> make(const std::string&)
{
    return std::make_unique<T>();
}

std::unique_ptr<ModelNode> makeSection(const std::string& elementName)
{
    return std::make_unique<SectionNode>(elementName);
}

// The element table, filled once on first use in this order.
const std::vector<std::pair<std::string, NodeFactory>>& elementTable()
{
    static const std::vector<std::pair<std::string, NodeFactory>> table = {
        {"lk:Param", &make<ParamNode>},
        {"lk:Range", &make<RangeNode>},
        {"lk:Data", &make<DataNode>},
        {"lk:String", &make<StringNode>},
        {"lk:StringList", &make<StringListNode>},
        {"lk:ParamList", &make<ParamListNode>},
        {"lk:Template", &make<TemplateNode>},
        {"lk:Component", &make<ComponentNode>},
        {"lk:Definitions", &makeSection},
        {"lk:Parameters", &makeSection},
        {"lk:Templates", &makeSection},
        {"xi:include", &make<IncludeNode>},
        {"lk:foreach", &make<ForEachNode>},
        {"lk:foreachparam", &make<ForEachParamNode>},
    };
    return table;
}

} // namespace

std::unique_ptr<ModelNode> createModelNode(const std::string& elementName)
{
    for (const auto& [name, factory] : elementTable())
    {
        if (name == elementName)
            return factory(elementName);
    }
    return std::make_unique<ModelNode>(elementName);
}

void ModelNumbers::read(const Tessel::XmlAttributes& attributes)
{
    given = 0;
    if (number(attributes, "min", min))
        given |= kMin;
    if (number(attributes, "max", max))
        given |= kMax;
    if (number(attributes, "mid", mid))
        given |= kMid;
    if (number(attributes, "def", def))
        given |= kDef;
    if (number(attributes, "steps", steps))
        given |= kSteps;
}

void IdentifiedNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    id = attributeText(attributes, "id");
}

void ComponentModelNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    nameSpace = attributeText(attributes, "namespace");
}

void ParamNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    name = attributeText(attributes, "name");
    type = parseType(attributeText(attributes, "type", kMaxShortLength));
    range = attributeText(attributes, "range", kMaxShortLength);
    classname = attributeText(attributes, "classname");
    numbers.read(attributes);
    units = attributeText(attributes, "units");
    curve = attributeText(attributes, "curve");
    // Flag words are looked for in the whole text, so it is not cut.
    if (const std::string* value = attribute(attributes, "flags"))
        flags = parseFlags(*value);
    int64_t value = 0;
    if (const std::string* tagText = attribute(attributes, "tag"); tagText && parseInteger(*tagText, value))
    {
        tag = low32(value);
        hasTag = true;
    }
}

void RangeNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    numbers.read(attributes);
    units = attributeText(attributes, "units");
    curve = attributeText(attributes, "curve");
}

void DataNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    type = attributeText(attributes, "type", kMaxShortLength);
}

void StringNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    text = attributeText(attributes, "text", kMaxStringLength);
}

void ParamListNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    inherit = attributeText(attributes, "inherit");
    int64_t value = 0;
    if (const std::string* start = attribute(attributes, "starttag"); start && parseInteger(*start, value))
        startTag = low32(value);
}

void TemplateNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    inherit = attributeText(attributes, "inherit");
    paramlist = attributeText(attributes, "paramlist");
}

void ComponentNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    TemplateNode::readAttributes(attributes);
    templateName = attributeText(attributes, "template");
    classname = attributeText(attributes, "classname");
    classdata = attributeText(attributes, "classdata");
    name = attributeText(attributes, "name");
    group = attributeText(attributes, "group");
}

void IncludeNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    href = attributeText(attributes, "href");
}

void ForEachNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    number(attributes, "min", min);
    number(attributes, "max", max);
}

void ForEachParamNode::readAttributes(const Tessel::XmlAttributes& attributes)
{
    IdentifiedNode::readAttributes(attributes);
    name = attributeText(attributes, "name");
    component = attributeText(attributes, "component");
    const std::string* value = attribute(attributes, "flags");
    hasFlags = value && !value->empty();
    flags = value ? parseFlags(*value) : 0;
}

} // namespace Vellaris
