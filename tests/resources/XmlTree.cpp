#include "XmlTree.h"

#include <expat.h>

#include <fstream>
#include <sstream>

namespace modeldata
{

const std::string* XmlNode::find(const std::string& attribute) const
{
    for (const auto& [key, value] : attributes)
    {
        if (key == attribute)
            return &value;
    }
    return nullptr;
}

std::string XmlNode::get(const std::string& attribute) const
{
    const std::string* value = find(attribute);
    return value ? *value : std::string();
}

std::vector<const XmlNode*> XmlNode::childrenNamed(const std::string& element) const
{
    std::vector<const XmlNode*> result;
    for (const auto& child : children)
    {
        if (child->name == element)
            result.push_back(child.get());
    }
    return result;
}

namespace
{

struct ParseState
{
    XML_Parser parser = nullptr;
    std::unique_ptr<XmlNode> root;
    XmlNode* open = nullptr;
};

void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes)
{
    auto* state = static_cast<ParseState*>(userData);
    auto node = std::make_unique<XmlNode>();
    node->name = name;
    node->line = static_cast<long>(XML_GetCurrentLineNumber(state->parser));
    for (int i = 0; attributes[i]; i += 2)
        node->attributes.emplace_back(attributes[i], attributes[i + 1]);
    XmlNode* raw = node.get();
    if (!state->open)
    {
        state->root = std::move(node);
    }
    else
    {
        raw->parent = state->open;
        state->open->children.push_back(std::move(node));
    }
    state->open = raw;
}

void XMLCALL onEnd(void* userData, const XML_Char*)
{
    auto* state = static_cast<ParseState*>(userData);
    state->open = const_cast<XmlNode*>(state->open->parent);
}

void XMLCALL onText(void* userData, const XML_Char* text, int length)
{
    auto* state = static_cast<ParseState*>(userData);
    if (state->open)
        state->open->text.append(text, static_cast<size_t>(length));
}

} // namespace

XmlParseResult parseXmlFile(const std::string& path, char namespaceSeparator)
{
    XmlParseResult result;
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        result.error = path + ": cannot open";
        return result;
    }
    std::ostringstream content;
    content << file.rdbuf();
    const std::string bytes = content.str();

    ParseState state;
    state.parser =
        namespaceSeparator ? XML_ParserCreateNS("UTF-8", namespaceSeparator) : XML_ParserCreate("UTF-8");
    XML_SetUserData(state.parser, &state);
    XML_SetElementHandler(state.parser, onStart, onEnd);
    XML_SetCharacterDataHandler(state.parser, onText);
    if (XML_Parse(state.parser, bytes.data(), static_cast<int>(bytes.size()), 1) == XML_STATUS_ERROR)
    {
        result.error = path + ":" + std::to_string(XML_GetCurrentLineNumber(state.parser)) + ": " +
                       XML_ErrorString(XML_GetErrorCode(state.parser));
    }
    else
    {
        result.root = std::move(state.root);
    }
    XML_ParserFree(state.parser);
    return result;
}

} // namespace modeldata
