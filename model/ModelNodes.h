#pragma once

#include <cstdint>
#include <string>

#include "model/ModelNode.h"

namespace Vellaris
{

// The node classes of the component-model elements. Attribute texts are cut to their limits
// (identifiers 63, string texts 127, a parameter's range and a data block's type 31 characters);
// numbers that do not parse count as absent.

// The five numbers of a parameter or range and which of them were given.
struct ModelNumbers
{
    enum Given : uint32_t
    {
        kMin = 0x01,
        kMax = 0x02,
        kMid = 0x04,
        kDef = 0x08,
        kSteps = 0x10,
    };
    double min = 0;
    double max = 0;
    double mid = 0;
    double def = 0;
    double steps = 0;
    uint32_t given = 0;

    void read(const Tessel::XmlAttributes& attributes);
    bool has(uint32_t bit) const { return (given & bit) != 0; }
};

// A node with an "id" attribute.
class IdentifiedNode : public ModelNode
{
public:
    using ModelNode::ModelNode;
    void readAttributes(const Tessel::XmlAttributes& attributes) override;
    const std::string& getId() const override { return id; }

    std::string id;
};

// lk:ComponentModel, the root of a document.
class ComponentModelNode : public IdentifiedNode
{
public:
    ComponentModelNode() : IdentifiedNode("lk:ComponentModel") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string nameSpace; // the "namespace" label, "Vellaris:Tarn"
};

// lk:Param: one parameter description.
class ParamNode : public IdentifiedNode
{
public:
    ParamNode() : IdentifiedNode("lk:Param") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string name;      // display name
    int type = 0;          // ModelSyntax::TypeCode
    std::string range;     // name of an lk:Range
    std::string classname; // parameter class
    ModelNumbers numbers;
    std::string units;
    std::string curve;
    uint32_t flags = 0; // ModelSyntax::FlagBit
    int32_t tag = -1;
    bool hasTag = false;
};

// lk:Range: a named value range.
class RangeNode : public IdentifiedNode
{
public:
    RangeNode() : IdentifiedNode("lk:Range") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    ModelNumbers numbers;
    std::string units;
    std::string curve;
};

// lk:Data: a block of class data; keeps its character content.
class DataNode : public IdentifiedNode
{
public:
    DataNode() : IdentifiedNode("lk:Data") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;
    void addCharacterData(std::string_view data) override { text.append(data); }

    std::string type; // empty or "application/json"
    std::string text;
};

// lk:String: one entry of a string list.
class StringNode : public IdentifiedNode
{
public:
    StringNode() : IdentifiedNode("lk:String") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string text;
};

// lk:StringList: entries of a list parameter.
class StringListNode : public IdentifiedNode
{
public:
    StringListNode() : IdentifiedNode("lk:StringList") {}
};

// lk:ParamList: an ordered list of parameter descriptions.
class ParamListNode : public IdentifiedNode
{
public:
    ParamListNode() : IdentifiedNode("lk:ParamList") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string inherit;
    int32_t startTag = 0; // low 32 bits of the "starttag" number
};

// lk:Template: a reusable set of parameters and child components.
class TemplateNode : public IdentifiedNode
{
public:
    TemplateNode() : IdentifiedNode("lk:Template") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string inherit;
    std::string paramlist;

protected:
    explicit TemplateNode(std::string elementName) : IdentifiedNode(std::move(elementName)) {}
};

// lk:Component: one component of a tree; all fields of a template and its own.
class ComponentNode : public TemplateNode
{
public:
    ComponentNode() : TemplateNode("lk:Component") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string templateName; // the "template" attribute
    std::string classname;
    std::string classdata;
    std::string name; // title
    std::string group;
};

// lk:Definitions, lk:Parameters and lk:Templates: the three sections of a document.
class SectionNode : public ModelNode
{
public:
    using ModelNode::ModelNode;
};

// xi:include: another document.
class IncludeNode : public ModelNode
{
public:
    IncludeNode() : ModelNode("xi:include") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string href;
};

// lk:foreach: repeats its children for a counter named by its id.
class ForEachNode : public IdentifiedNode
{
public:
    ForEachNode() : IdentifiedNode("lk:foreach") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    double min = 0;
    double max = 0;
};

// lk:foreachparam: repeats its children for the parameters of another component.
class ForEachParamNode : public IdentifiedNode
{
public:
    ForEachParamNode() : IdentifiedNode("lk:foreachparam") {}
    void readAttributes(const Tessel::XmlAttributes& attributes) override;

    std::string name;      // variable that receives each parameter's display name
    std::string component; // path of component ids
    uint32_t flags = 0;
    bool hasFlags = false; // false: every parameter
};

} // namespace Vellaris
