#include "ModelIndex.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace modeldata
{

bool parseModelNumber(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    if (text[0] == '#')
    {
        if (text.size() == 1)
            return false;
        const unsigned long long value = std::strtoull(text.c_str() + 1, &end, 16);
        if (*end != '\0' || errno != 0)
            return false;
        out = static_cast<double>(value);
        return true;
    }
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || errno != 0 || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

bool parseModelInteger(const std::string& text, int64_t& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0)
        return false;
    out = value;
    return true;
}

uint32_t parseFlags(const std::string& text)
{
    static const std::pair<const char*, uint32_t> kWords[] = {
        {"bipolar", kBipolar}, {"storable", kStorable}, {"private", kPrivate}, {"linkable", kLinkable},
        {"mutable", kMutable}, {"readonly", kReadOnly}, {"user1", kUser1},     {"user2", kUser2},
    };
    uint32_t bits = 0;
    for (const auto& [word, bit] : kWords)
    {
        if (text.find(word) != std::string::npos)
            bits |= bit;
    }
    return bits;
}

int typeCode(const std::string& type)
{
    static const std::pair<const char*, int> kTypes[] = {
        {"toggle", kToggle}, {"int", kInt},     {"list", kList},   {"float", kFloat},
        {"string", kString}, {"alias", kAlias}, {"color", kColor},
    };
    for (const auto& [name, code] : kTypes)
    {
        if (type == name)
            return code;
    }
    return kToggle;
}

const BuiltComponent* BuiltComponent::child(const std::string& childName) const
{
    for (const auto& c : children)
    {
        if (c.name == childName)
            return &c;
    }
    return nullptr;
}

bool ModelIndex::load(const std::string& mainPath, std::string& error)
{
    m_documents.clear();
    m_definitions.clear();
    m_parameters.clear();
    m_templates.clear();

    m_documents.push_back(parseXmlFile(mainPath));
    if (!m_documents.front().root)
    {
        error = m_documents.front().error;
        return false;
    }
    if (m_documents.front().root->name != "lk:ComponentModel")
    {
        error = mainPath + ": root element is " + m_documents.front().root->name;
        return false;
    }
    const std::string folder = mainPath.substr(0, mainPath.find_last_of('/') + 1);
    for (const XmlNode* include : m_documents.front().root->childrenNamed("xi:include"))
    {
        const std::string path = folder + include->get("href");
        XmlParseResult included = parseXmlFile(path);
        if (!included.root)
        {
            error = included.error;
            return false;
        }
        if (included.root->name != "lk:ComponentModel")
        {
            error = path + ": root element is " + included.root->name;
            return false;
        }
        m_documents.push_back(std::move(included));
    }
    // The main document's entries come first, so they win lookups by id.
    for (const auto& document : m_documents)
    {
        for (const auto& section : document.root->children)
        {
            std::vector<const XmlNode*>* target = nullptr;
            if (section->name == "lk:Definitions")
                target = &m_definitions;
            else if (section->name == "lk:Parameters")
                target = &m_parameters;
            else if (section->name == "lk:Templates")
                target = &m_templates;
            if (!target)
                continue;
            for (const auto& entry : section->children)
                target->push_back(entry.get());
        }
    }
    return true;
}

const XmlNode* ModelIndex::findIn(const std::vector<const XmlNode*>& section, const std::string& element,
                                  const std::string& id) const
{
    for (const XmlNode* node : section)
    {
        if (node->name == element && node->get("id") == id)
            return node;
    }
    return nullptr;
}

const XmlNode* ModelIndex::stringList(const std::string& id) const
{
    return findIn(m_definitions, "lk:StringList", id);
}
const XmlNode* ModelIndex::range(const std::string& id) const
{
    return findIn(m_definitions, "lk:Range", id);
}
const XmlNode* ModelIndex::data(const std::string& id) const
{
    return findIn(m_definitions, "lk:Data", id);
}
const XmlNode* ModelIndex::paramList(const std::string& id) const
{
    return findIn(m_parameters, "lk:ParamList", id);
}
const XmlNode* ModelIndex::templateNode(const std::string& id) const
{
    return findIn(m_templates, "lk:Template", id);
}

std::vector<std::string> ModelIndex::strings(const std::string& listId) const
{
    std::vector<std::string> result;
    if (const XmlNode* list = stringList(listId))
    {
        for (const XmlNode* entry : list->childrenNamed("lk:String"))
            result.push_back(entry->get("text"));
    }
    return result;
}

std::vector<const XmlNode*> ModelIndex::paramListChain(const std::string& id) const
{
    std::vector<const XmlNode*> chain;
    std::string next = id;
    while (!next.empty())
    {
        const XmlNode* list = paramList(next);
        if (!list || std::find(chain.begin(), chain.end(), list) != chain.end())
            break;
        chain.push_back(list);
        next = list->get("inherit");
    }
    return chain;
}

EffectiveParam ModelIndex::effective(const XmlNode& param, int position, int64_t startTag) const
{
    EffectiveParam p;
    p.node = &param;
    p.id = param.get("id");
    p.name = param.get("name");
    p.type = typeCode(param.get("type"));
    p.flags = parseFlags(param.get("flags"));

    bool hasDef = false;
    auto take = [](const XmlNode& from, const char* key, double& value)
    {
        double v = 0;
        if (!parseModelNumber(from.get(key), v))
            return false;
        value = v;
        return true;
    };
    auto applyNumbers = [&](const XmlNode& from)
    {
        take(from, "min", p.min);
        take(from, "max", p.max);
        p.hasMid |= take(from, "mid", p.mid);
        hasDef |= take(from, "def", p.def);
        take(from, "steps", p.steps);
        if (!from.get("units").empty())
            p.units = from.get("units");
        if (!from.get("curve").empty())
            p.curve = from.get("curve");
    };
    if (const std::string rangeId = param.get("range"); !rangeId.empty())
    {
        if (const XmlNode* named = range(rangeId))
            applyNumbers(*named);
    }
    applyNumbers(param);
    if (!hasDef)
        p.def = p.min;
    if (p.type == kInt)
    {
        p.min = std::floor(p.min);
        p.max = std::floor(p.max);
        p.def = std::floor(p.def);
    }

    int64_t tag = 0;
    if (parseModelInteger(param.get("tag"), tag))
        p.tag = static_cast<int32_t>(static_cast<uint32_t>(tag));
    else
        p.tag = static_cast<int32_t>(static_cast<uint32_t>(position + startTag));
    return p;
}

std::vector<EffectiveParam> ModelIndex::paramsOfNode(const XmlNode& list) const
{
    std::vector<EffectiveParam> result;
    int64_t startTag = 0;
    parseModelInteger(list.get("starttag"), startTag);
    int position = 0;
    for (const XmlNode* param : list.childrenNamed("lk:Param"))
        result.push_back(effective(*param, position++, startTag));
    return result;
}

std::vector<EffectiveParam> ModelIndex::resolveParams(const std::string& listId) const
{
    std::vector<EffectiveParam> result;
    for (const XmlNode* list : paramListChain(listId))
    {
        std::vector<EffectiveParam> own = paramsOfNode(*list);
        result.insert(result.end(), own.begin(), own.end());
    }
    return result;
}

std::vector<const XmlNode*> ModelIndex::templateChain(const std::string& id) const
{
    std::vector<const XmlNode*> chain;
    std::string next = id;
    while (!next.empty())
    {
        const XmlNode* node = templateNode(next);
        if (!node || std::find(chain.begin(), chain.end(), node) != chain.end())
            break;
        chain.insert(chain.begin(), node);
        next = node->get("inherit");
    }
    return chain;
}

std::string ModelIndex::expand(std::string text) const
{
    for (auto it = m_loopVariables.rbegin(); it != m_loopVariables.rend(); ++it)
    {
        if (it->first.empty())
            continue;
        for (size_t at = text.find(it->first); at != std::string::npos;
             at = text.find(it->first, at + it->second.size()))
            text.replace(at, it->first.size(), it->second);
    }
    return text;
}

void ModelIndex::buildTemplate(const std::string& id, BuiltComponent& root,
                               std::vector<std::string>& problems) const
{
    const std::vector<const XmlNode*> chain = templateChain(id);
    if (chain.empty())
    {
        problems.push_back("template not found: " + id);
        return;
    }
    for (const XmlNode* node : chain)
    {
        if (const std::string list = node->get("paramlist"); !list.empty())
        {
            std::vector<EffectiveParam> params = resolveParams(list);
            root.params.insert(root.params.end(), params.begin(), params.end());
        }
        buildChildren(*node, root, problems);
    }
}

void ModelIndex::buildChildren(const XmlNode& node, BuiltComponent& parent,
                               std::vector<std::string>& problems) const
{
    for (const auto& child : node.children)
    {
        if (child->name == "lk:Component")
        {
            createComponent(*child, parent, problems);
        }
        else if (child->name == "lk:foreach")
        {
            double lo = 0, hi = 0;
            parseModelNumber(child->get("min"), lo);
            parseModelNumber(child->get("max"), hi);
            m_loopVariables.emplace_back(child->get("id"), std::string());
            for (long i = static_cast<long>(std::trunc(lo)); i <= static_cast<long>(std::trunc(hi)); ++i)
            {
                m_loopVariables.back().second = std::to_string(i);
                buildChildren(*child, parent, problems);
            }
            m_loopVariables.pop_back();
        }
        else if (child->name == "lk:foreachparam")
        {
            // The shipped documents do not use it; its expansion is not modelled here.
            problems.push_back("lk:foreachparam is not expected in the shipped documents");
        }
        else if (child->name != "lk:ParamList" && child->name != "lk:Data")
        {
            buildChildren(*child, parent, problems);
        }
    }
}

void ModelIndex::createComponent(const XmlNode& node, BuiltComponent& parent,
                                 std::vector<std::string>& problems) const
{
    BuiltComponent component;
    component.name = expand(node.get("id"));
    std::replace(component.name.begin(), component.name.end(), '/', '.');
    component.classname = node.get("classname");

    std::string listId = node.get("paramlist");
    const std::string templateId = node.get("template");
    if (listId.empty() && !templateId.empty())
    {
        if (const XmlNode* named = templateNode(templateId))
            listId = named->get("paramlist");
    }
    if (!listId.empty())
    {
        if (!paramList(listId))
            problems.push_back("component " + component.name + ": parameter list not found: " + listId);
        component.params = resolveParams(listId);
    }
    for (const XmlNode* inlineList : node.childrenNamed("lk:ParamList"))
    {
        std::vector<EffectiveParam> own = paramsOfNode(*inlineList);
        component.params.insert(component.params.end(), own.begin(), own.end());
    }

    if (const std::string dataId = node.get("classdata"); !dataId.empty())
    {
        if (data(dataId))
            component.classdata = dataId;
        else
            problems.push_back("component " + component.name + ": data block not found: " + dataId);
    }
    else if (!node.childrenNamed("lk:Data").empty())
    {
        component.classdata = "(inline)";
    }

    if (!templateId.empty())
    {
        const std::vector<const XmlNode*> chain = templateChain(templateId);
        if (chain.empty())
            problems.push_back("component " + component.name + ": template not found: " + templateId);
        for (const XmlNode* t : chain)
            buildChildren(*t, component, problems);
    }
    buildChildren(node, component, problems);
    parent.children.push_back(std::move(component));
}

} // namespace modeldata
