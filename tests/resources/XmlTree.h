#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace modeldata
{

// One element of a parsed XML document, with its raw (prefixed) name.
struct XmlNode
{
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<XmlNode>> children;
    std::string text; // character data directly inside this element
    const XmlNode* parent = nullptr;
    long line = 0;

    // Value of an attribute, or nullptr when the element lacks it.
    const std::string* find(const std::string& attribute) const;
    // Value of an attribute, empty when absent.
    std::string get(const std::string& attribute) const;
    bool has(const std::string& attribute) const { return find(attribute) != nullptr; }
    // Child elements with the given name, in document order.
    std::vector<const XmlNode*> childrenNamed(const std::string& element) const;
};

struct XmlParseResult
{
    std::unique_ptr<XmlNode> root; // null on failure
    std::string error;             // "file:line: message" on failure
};

// Parses a whole file with expat. With namespaceSeparator set, namespace
// processing is on and element names read "uri<sep>local".
XmlParseResult parseXmlFile(const std::string& path, char namespaceSeparator = 0);

} // namespace modeldata
