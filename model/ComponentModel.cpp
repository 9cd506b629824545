#include "model/ComponentModel.h"

#include <algorithm>
#include <cmath>

#include "model/ModelSyntax.h"
#include "tessel/ExpatXmlParser.h"
#include "tessel/IFileSystem.h"
#include "tessel/Platform.h"
#include "tessel/SharedPtr.h"
#include "tessel/Warning.h"

namespace Vellaris
{

namespace
{

const char* const kSectionNames[] = {"lk:Definitions", "lk:Parameters", "lk:Templates"};

// Builds the node tree of one document from the parser's events.
class DocumentHandler : public Tessel::IXmlHandler
{
public:
    bool startElement(const std::string& name, const Tessel::XmlAttributes& attributes) override
    {
        if (!root)
        {
            if (name != "lk:ComponentModel")
            {
                problem = "the root element is " + name + ", not lk:ComponentModel";
                return false;
            }
            root = std::make_unique<ComponentModelNode>();
            root->readAttributes(attributes);
            open.push_back(root.get());
            return true;
        }
        if (open.empty())
            return false; // cannot happen in well-formed XML
        if (int(open.size()) >= ComponentModel::kMaxDepth)
        {
            problem = "elements are nested too deeply";
            return false;
        }
        std::unique_ptr<ModelNode> node = createModelNode(name);
        node->readAttributes(attributes);
        open.push_back(open.back()->appendChild(std::move(node)));
        return true;
    }

    bool endElement(const std::string&) override
    {
        if (!open.empty())
            open.pop_back();
        return true;
    }

    bool characterData(const std::string& text) override
    {
        if (!open.empty())
            open.back()->addCharacterData(text);
        return true;
    }

    std::unique_ptr<ComponentModelNode> root;
    std::vector<ModelNode*> open;
    std::string problem;
};

// `href` relative to the document at `baseUrl` (the part of it up to its last "/").
std::string resolveUrl(const std::string& baseUrl, const std::string& href)
{
    if (href.find("://") != std::string::npos || (!href.empty() && href.front() == '/'))
        return href;
    const size_t slash = baseUrl.rfind('/');
    return slash == std::string::npos ? href : baseUrl.substr(0, slash + 1) + href;
}

bool readUrl(const std::string& url, std::string& bytes)
{
    Tessel::IFileSystem* fileSystem = Tessel::GetFileSystem();
    return fileSystem && fileSystem->readFile(url, bytes);
}

double floorToInt64Range(double value)
{
    // Keeps whole-number bounds inside what a 64-bit integer parameter can hold.
    constexpr double kLimit = 9.2e18;
    return std::clamp(std::floor(value), -kLimit, kLimit);
}

} // namespace

ComponentModel::ComponentModel() = default;

ComponentModel::~ComponentModel() = default;

void ComponentModel::clear()
{
    describedLists.clear();
    root.reset();
    std::fill(std::begin(sections), std::end(sections), nullptr);
}

std::unique_ptr<ComponentModelNode> ComponentModel::readDocument(const std::string& text, std::string& error)
{
    Tessel::AutoPtr<Tessel::IXmlParser> parser = Tessel::CreateXmlParser();
    DocumentHandler handler;
    if (!parser || !parser->parse(text.data(), text.size(), handler) || !handler.root)
    {
        if (!handler.problem.empty())
            error = handler.problem;
        else if (parser && !parser->getErrorMessage().empty())
            error = parser->getErrorMessage();
        else
            error = "no lk:ComponentModel element";
        return nullptr;
    }
    return std::move(handler.root);
}

bool ComponentModel::load(const std::string& url)
{
    std::string text;
    if (!readUrl(url, text))
    {
        Tessel::warning("LK Component model could not be read: %s\n", url.c_str());
        return false;
    }
    return loadFromMemory(text, url);
}

bool ComponentModel::loadFromMemory(const std::string& text, const std::string& baseUrl)
{
    std::string error;
    std::unique_ptr<ComponentModelNode> document = readDocument(text, error);
    if (!document)
    {
        Tessel::warning("LK Component model not loaded: %s (%s)\n", baseUrl.c_str(), error.c_str());
        return false;
    }
    return adopt(std::move(document), baseUrl);
}

bool ComponentModel::adopt(std::unique_ptr<ComponentModelNode> document, const std::string& url)
{
    clear();
    root = std::move(document);
    // One node per section: later sections of the same kind join the first, so every lookup
    // sees the whole document.
    for (int index = 0; index < kSectionCount; ++index)
    {
        for (const auto& child : root->getChildren())
        {
            if (!child->is(kSectionNames[index]))
                continue;
            SectionNode* node = static_cast<SectionNode*>(child.get());
            if (!sections[index])
                sections[index] = node;
            else
                sections[index]->takeChildrenOf(*node);
        }
    }

    std::vector<const IncludeNode*> includes;
    for (const auto& child : root->getChildren())
    {
        if (child->is("xi:include"))
            includes.push_back(static_cast<const IncludeNode*>(child.get()));
    }
    for (const IncludeNode* include : includes)
    {
        const std::string includeUrl = resolveUrl(url, include->href);
        std::string text;
        std::string error = "cannot be read";
        std::unique_ptr<ComponentModelNode> included;
        if (readUrl(includeUrl, text))
            included = readDocument(text, error);
        if (!included)
        {
            // The rest of the includes are skipped: a model missing a part is reported once.
            Tessel::warning("LK Component model include not loaded: %s (%s)\n", includeUrl.c_str(),
                            error.c_str());
            break;
        }
        for (const auto& child : included->getChildren())
        {
            for (int index = 0; index < kSectionCount; ++index)
            {
                if (child->is(kSectionNames[index]))
                    section(SectionIndex(index))->takeChildrenOf(*child);
            }
        }
    }
    return true;
}

SectionNode* ComponentModel::section(SectionIndex index)
{
    if (!root)
        return nullptr;
    if (!sections[index])
        sections[index] =
            static_cast<SectionNode*>(root->appendChild(std::make_unique<SectionNode>(kSectionNames[index])));
    return sections[index];
}

const SectionNode* ComponentModel::findSection(SectionIndex index) const
{
    return sections[index];
}

const ModelNode* ComponentModel::findIn(SectionIndex index, std::string_view element,
                                        const std::string& id) const
{
    const SectionNode* node = findSection(index);
    if (!node || id.empty())
        return nullptr;
    for (const auto& child : node->getChildren())
    {
        if (child->is(element) && child->getId() == id)
            return child.get();
    }
    return nullptr;
}

const StringListNode* ComponentModel::findStringList(const std::string& id) const
{
    return static_cast<const StringListNode*>(findIn(kDefinitions, "lk:StringList", id));
}

const RangeNode* ComponentModel::findRange(const std::string& id) const
{
    return static_cast<const RangeNode*>(findIn(kDefinitions, "lk:Range", id));
}

const DataNode* ComponentModel::findData(const std::string& id) const
{
    return static_cast<const DataNode*>(findIn(kDefinitions, "lk:Data", id));
}

const ParamListNode* ComponentModel::findParamList(const std::string& id) const
{
    return static_cast<const ParamListNode*>(findIn(kParameters, "lk:ParamList", id));
}

const TemplateNode* ComponentModel::findTemplate(const std::string& id) const
{
    return static_cast<const TemplateNode*>(findIn(kTemplates, "lk:Template", id));
}

std::vector<const ParamListNode*> ComponentModel::getParamListChain(const std::string& listId) const
{
    std::vector<const ParamListNode*> chain;
    for (const ParamListNode* list = findParamList(listId); list; list = findParamList(list->inherit))
    {
        if (std::find(chain.begin(), chain.end(), list) != chain.end())
            break;
        chain.push_back(list);
    }
    return chain;
}

std::vector<const TemplateNode*> ComponentModel::getTemplateChain(const std::string& templateId) const
{
    std::vector<const TemplateNode*> chain;
    for (const TemplateNode* node = findTemplate(templateId); node; node = findTemplate(node->inherit))
    {
        if (std::find(chain.begin(), chain.end(), node) != chain.end())
            break;
        chain.insert(chain.begin(), node);
    }
    return chain;
}

const std::vector<ParamDescription>& ComponentModel::describeParamList(const std::string& listId) const
{
    if (auto known = describedLists.find(listId); known != describedLists.end())
        return known->second;
    std::vector<ParamDescription>& out = describedLists[listId];
    std::vector<const ParamListNode*> taken;
    for (std::string name = listId; !name.empty();)
    {
        const ParamListNode* list = findParamList(name);
        if (!list)
        {
            Tessel::warning("LK Parameter list not found: %s\n", name.c_str());
            break;
        }
        if (std::find(taken.begin(), taken.end(), list) != taken.end())
        {
            Tessel::warning("LK Parameter list inheritance loop cut at: %s\n", name.c_str());
            break;
        }
        taken.push_back(list);
        describeParams(*list, out);
        name = list->inherit;
    }
    return out;
}

void ComponentModel::describeParams(const ParamListNode& list, std::vector<ParamDescription>& out) const
{
    int64_t position = 0;
    for (const auto& child : list.getChildren())
    {
        if (!child->is("lk:Param"))
            continue;
        const int32_t tag = static_cast<int32_t>(static_cast<uint32_t>(position + list.startTag));
        out.push_back(describe(static_cast<const ParamNode&>(*child), tag));
        ++position;
    }
}

ParamDescription ComponentModel::describe(const ParamNode& param, int32_t tag) const
{
    ParamDescription d;
    d.node = &param;
    d.id = param.id;
    d.name = param.name;
    d.type = param.type;
    d.classname = param.classname;
    d.flags = param.flags;
    d.tag = param.hasTag ? param.tag : tag;

    auto apply = [&d](const ModelNumbers& numbers, const std::string& units, const std::string& curve)
    {
        if (numbers.has(ModelNumbers::kMin))
            d.min = numbers.min;
        if (numbers.has(ModelNumbers::kMax))
            d.max = numbers.max;
        if (numbers.has(ModelNumbers::kMid))
            d.mid = numbers.mid;
        if (numbers.has(ModelNumbers::kDef))
            d.def = numbers.def;
        if (numbers.has(ModelNumbers::kSteps))
            d.steps = numbers.steps;
        d.given |= numbers.given;
        if (!units.empty())
            d.units = units;
        if (!curve.empty())
            d.curve = curve;
    };
    if (const RangeNode* range = param.range.empty() ? nullptr : findRange(param.range))
        apply(range->numbers, range->units, range->curve);
    apply(param.numbers, param.units, param.curve);
    if (!(d.given & ModelNumbers::kDef))
        d.def = d.min;
    if (d.type == ModelSyntax::kInt)
    {
        d.min = floorToInt64Range(d.min);
        d.max = floorToInt64Range(d.max);
        d.def = floorToInt64Range(d.def);
    }
    if (d.type == ModelSyntax::kList)
    {
        if (const StringListNode* list = findStringList(d.units))
        {
            for (const auto& child : list->getChildren())
            {
                if (child->is("lk:String"))
                    d.entries.push_back(static_cast<const StringNode&>(*child).text);
            }
        }
    }
    return d;
}

} // namespace Vellaris
