#pragma once

#include "XmlTree.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace modeldata
{

// Type codes of the model's "type" attribute.
enum TypeCode
{
    kToggle = 0,
    kInt = 1,
    kList = 2,
    kFloat = 3,
    kString = 4,
    kAlias = 5,
    kColor = 6
};

// Flag bits of the model's "flags" attribute.
enum FlagBit : uint32_t
{
    kBipolar = 0x01,
    kStorable = 0x02,
    kPrivate = 0x04,
    kLinkable = 0x08,
    kMutable = 0x10,
    kReadOnly = 0x20,
    kUser1 = 0x40,
    kUser2 = 0x80,
};

// Reads a model number: decimal floating point, or "#" and a hexadecimal integer.
bool parseModelNumber(const std::string& text, double& out);
// Reads a decimal 64-bit integer ("tag", "starttag").
bool parseModelInteger(const std::string& text, int64_t& out);
// Bits of every flag word that occurs anywhere in the text.
uint32_t parseFlags(const std::string& text);
// Type code of a "type" text; unknown or missing texts are toggles.
int typeCode(const std::string& type);

// A parameter description with its range, units and curve resolved and its
// tag worked out, as a component receives it.
struct EffectiveParam
{
    const XmlNode* node = nullptr;
    std::string id;
    std::string name;
    int type = kToggle;
    double min = 0, max = 0, mid = 0, def = 0, steps = 0;
    bool hasMid = false;
    std::string units;
    std::string curve;
    uint32_t flags = 0;
    int32_t tag = -1;
};

// A component as the loader would build it from a template.
struct BuiltComponent
{
    std::string name;
    std::string classname;
    std::string classdata; // id of the data block it receives, empty for none
    std::vector<EffectiveParam> params;
    std::vector<BuiltComponent> children;

    // Direct child by name, or nullptr.
    const BuiltComponent* child(const std::string& childName) const;
};

// The main document with its included documents merged section by section,
// as the loader sees them.
class ModelIndex
{
public:
    // Loads the main document and every xi:include directly below its root.
    bool load(const std::string& mainPath, std::string& error);

    const XmlNode& mainRoot() const { return *m_documents.front().root; }
    const std::vector<const XmlNode*>& definitions() const { return m_definitions; }
    const std::vector<const XmlNode*>& parameters() const { return m_parameters; }
    const std::vector<const XmlNode*>& templates() const { return m_templates; }

    // First element of the given kind and id in its section, or nullptr.
    const XmlNode* stringList(const std::string& id) const;
    const XmlNode* range(const std::string& id) const;
    const XmlNode* data(const std::string& id) const;
    const XmlNode* paramList(const std::string& id) const;
    const XmlNode* templateNode(const std::string& id) const;

    // The list and the lists it inherits, in order, cut at the first repeat.
    std::vector<const XmlNode*> paramListChain(const std::string& id) const;
    // Every parameter a component using the list receives, in order.
    std::vector<EffectiveParam> resolveParams(const std::string& listId) const;
    // One parameter description with its effective range; position and
    // startTag give its tag when the description names none.
    EffectiveParam effective(const XmlNode& param, int position, int64_t startTag) const;
    // Entries of a string list, empty when there is none.
    std::vector<std::string> strings(const std::string& listId) const;

    // Builds a template into root the way the loader does; problems collects
    // everything the loader would report.
    void buildTemplate(const std::string& id, BuiltComponent& root, std::vector<std::string>& problems) const;

private:
    std::vector<const XmlNode*> templateChain(const std::string& id) const;
    const XmlNode* findIn(const std::vector<const XmlNode*>& section, const std::string& element,
                          const std::string& id) const;
    std::vector<EffectiveParam> paramsOfNode(const XmlNode& paramList) const;
    void buildChildren(const XmlNode& node, BuiltComponent& parent, std::vector<std::string>& problems) const;
    void createComponent(const XmlNode& node, BuiltComponent& parent,
                         std::vector<std::string>& problems) const;
    std::string expand(std::string text) const;

    std::vector<XmlParseResult> m_documents;
    std::vector<const XmlNode*> m_definitions;
    std::vector<const XmlNode*> m_parameters;
    std::vector<const XmlNode*> m_templates;
    mutable std::vector<std::pair<std::string, std::string>> m_loopVariables;
};

} // namespace modeldata
