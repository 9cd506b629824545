#include "model/ComponentBuilder.h"

#include <algorithm>
#include <cmath>

#include "model/JsonCodec.h"
#include "model/UniversalComponent.h"
#include "tessel/Json.h"
#include "tessel/SharedPtr.h"
#include "tessel/Warning.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(ComponentBuilder, Tessel::Object)

namespace
{

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::vector<std::string> splitPath(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size())
    {
        const size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

} // namespace

ComponentBuilder::ComponentBuilder() = default;

ComponentBuilder::~ComponentBuilder() = default;

Tessel::Component* ComponentBuilder::createComponent(Tessel::Component*, const ComponentNode&,
                                                     const std::string&, const std::string&,
                                                     const std::string&)
{
    return nullptr;
}

void ComponentBuilder::addChild(Tessel::Component*, Tessel::Component* child)
{
    if (child)
        child->release();
}

void ComponentBuilder::addParameter(Tessel::Component*, const ParamDescription&) {}

void ComponentBuilder::setClassData(Tessel::Component*, const Tessel::Attributes&) {}

std::string ComponentBuilder::expand(const std::string& text, bool slashesToDots) const
{
    std::string result = text;
    for (auto it = variables.rbegin(); it != variables.rend(); ++it)
        replaceAll(result, it->first, it->second);
    if (slashesToDots)
        std::replace(result.begin(), result.end(), '/', '.');
    return result;
}

bool ComponentBuilder::step()
{
    if (stopped)
        return false;
    if (--stepsLeft < 0)
    {
        stopped = true;
        Tessel::warning("LK Component build stopped: the model expands beyond %ld steps\n", kMaxBuildSteps);
        return false;
    }
    return true;
}

bool ComponentBuilder::buildTemplate(Tessel::Component* component, const std::string& templateId,
                                     const Tessel::MetaClass& buildDefaultClass)
{
    if (!component)
        return false;
    const std::vector<const TemplateNode*> chain = model.getTemplateChain(templateId);
    if (chain.empty())
    {
        Tessel::warning("LK Component template not found: %s\n", templateId.c_str());
        return false;
    }

    // A class's setClassData may itself build: the state of an outer build is kept aside.
    const auto savedVariables = std::exchange(variables, {});
    const auto savedTemplates = std::exchange(activeTemplates, {});
    const TemplateNode* savedTemplate = currentTemplate;
    const Tessel::MetaClass* savedClass = std::exchange(defaultClass, &buildDefaultClass);
    const long savedSteps = std::exchange(stepsLeft, kMaxBuildSteps);
    const bool savedStopped = std::exchange(stopped, false);

    activeTemplates = chain;
    for (const TemplateNode* node : chain)
    {
        if (stopped)
            break;
        if (!node->paramlist.empty())
        {
            for (const ParamDescription& param : model.describeParamList(node->paramlist))
                addParameter(component, param);
        }
        currentTemplate = node;
        buildChildren(*node, component);
    }
    const bool ok = !stopped;

    variables = savedVariables;
    activeTemplates = savedTemplates;
    currentTemplate = savedTemplate;
    defaultClass = savedClass;
    stepsLeft = savedSteps;
    stopped = savedStopped;
    return ok;
}

void ComponentBuilder::buildChildren(const ModelNode& node, Tessel::Component* parent)
{
    for (const auto& child : node.getChildren())
    {
        if (!step())
            return;
        if (child->is("lk:Component"))
            buildComponent(static_cast<const ComponentNode&>(*child), parent);
        else if (child->is("lk:foreach"))
            buildForEach(static_cast<const ForEachNode&>(*child), parent);
        else if (child->is("lk:foreachparam"))
            buildForEachParam(static_cast<const ForEachParamNode&>(*child), parent);
        else
            buildChildren(*child, parent); // wrappers are transparent
    }
}

void ComponentBuilder::buildComponent(const ComponentNode& node, Tessel::Component* parent)
{
    Tessel::Component* created =
        createComponent(parent, node, expand(node.id, true), expand(node.name, false), node.group);
    if (!created)
        return;
    // Kept alive here whatever addChild does with the creation reference.
    Tessel::SharedPtr<Tessel::Component> component(created);
    std::vector<ParamDescription> own;
    for (const ParamDescription& param : collectParams(node, own))
        addParameter(component.get(), param);
    applyClassData(node, component.get());
    addChild(parent, created);

    if (!node.templateName.empty())
        buildTemplateChildren(node.templateName, component.get());
    buildChildren(node, component.get());
}

void ComponentBuilder::buildTemplateChildren(const std::string& templateName, Tessel::Component* component)
{
    const std::vector<const TemplateNode*> chain = model.getTemplateChain(templateName);
    if (chain.empty())
    {
        Tessel::warning("LK Component Template not found: %s\n", templateName.c_str());
        return;
    }
    for (const TemplateNode* node : chain)
    {
        // A template that (through its components) contains itself would never end.
        if (std::find(activeTemplates.begin(), activeTemplates.end(), node) != activeTemplates.end() ||
            int(activeTemplates.size()) >= kMaxTemplateNesting)
        {
            Tessel::warning("LK Component Template loop cut at: %s\n", node->id.c_str());
            continue;
        }
        activeTemplates.push_back(node);
        buildChildren(*node, component);
        activeTemplates.pop_back();
    }
}

void ComponentBuilder::buildForEach(const ForEachNode& node, Tessel::Component* parent)
{
    // Bounds far beyond any step budget keep the counter arithmetic exact.
    constexpr double kLimit = 1e15;
    const long long first = (long long)std::trunc(std::clamp(node.min, -kLimit, kLimit));
    const long long last = (long long)std::trunc(std::clamp(node.max, -kLimit, kLimit));
    const size_t slot = variables.size();
    variables.emplace_back(node.id, std::string());
    for (long long i = first; i <= last && step(); ++i)
    {
        variables[slot].second = std::to_string(i);
        buildChildren(node, parent);
    }
    variables.resize(slot);
}

void ComponentBuilder::buildForEachParam(const ForEachParamNode& node, Tessel::Component* parent)
{
    const std::string path = expand(node.component, false);
    const ComponentNode* target = findComponentNode(path);
    if (!target)
    {
        Tessel::warning("LK foreachparam component not found: %s\n", path.c_str());
        return;
    }
    std::vector<ParamDescription> own;
    const std::vector<ParamDescription>& params = collectParams(*target, own);
    const size_t slot = variables.size();
    variables.emplace_back(node.id, std::string());
    variables.emplace_back(node.name, std::string());
    for (const ParamDescription& param : params)
    {
        if (node.hasFlags && !(param.flags & node.flags))
            continue;
        if (!step())
            break;
        variables[slot].second = param.id;
        variables[slot + 1].second = param.name;
        buildChildren(node, parent);
    }
    variables.resize(slot);
}

const std::vector<ParamDescription>& ComponentBuilder::collectParams(const ComponentNode& node,
                                                                     std::vector<ParamDescription>& own) const
{
    static const std::vector<ParamDescription> none;
    const std::vector<ParamDescription>* shared = &none;
    if (!node.paramlist.empty())
        shared = &model.describeParamList(node.paramlist);
    else if (!node.templateName.empty())
    {
        const TemplateNode* named = model.findTemplate(node.templateName);
        if (named && !named->paramlist.empty())
            shared = &model.describeParamList(named->paramlist);
    }
    // Lists of the node's own follow the shared ones: only then is a copy made.
    bool copied = false;
    for (const auto& child : node.getChildren())
    {
        if (!child->is("lk:ParamList"))
            continue;
        if (!copied)
            own = *shared;
        copied = true;
        model.describeParams(static_cast<const ParamListNode&>(*child), own);
    }
    return copied ? own : *shared;
}

void ComponentBuilder::applyClassData(const ComponentNode& node, Tessel::Component* component)
{
    const DataNode* data = node.classdata.empty() ? nullptr : model.findData(node.classdata);
    if (!data && !node.classdata.empty())
        Tessel::warning("LK Component class data not found: %s\n", node.classdata.c_str());
    if (!data)
        data = static_cast<const DataNode*>(node.findChild("lk:Data"));
    if (!data || !(data->type.empty() || data->type == "application/json"))
        return;
    const Tessel::Attributes* attributes = parseClassData(*data);
    if (attributes && !attributes->isEmpty() && classNamesAllowed)
        setClassData(component, *attributes);
}

const Tessel::Attributes* ComponentBuilder::parseClassData(const DataNode& data)
{
    // Every speaker of a model gets the same blocks: each text is read once and its dictionary,
    // whose nested objects the components' copies share, is handed to all of them.
    auto known = parsedData.find(data.text);
    if (known != parsedData.end())
        return known->second.get();
    JsonCodec::ensureInstalled();
    Tessel::AutoPtr<Tessel::Attributes> attributes = new Tessel::Attributes;
    if (!Tessel::JsonParse(data.text, *attributes))
    {
        Tessel::warning("Failed to parse JSON data \"%s\" from LK XML!\n", data.id.c_str());
        return nullptr;
    }
    return parsedData.emplace(data.text, std::move(attributes)).first->second.get();
}

const ComponentNode* ComponentBuilder::findComponentNode(const std::string& path) const
{
    // Looks for the component `id` below `scope`, through wrappers but not into other components.
    auto searchIn = [this](const ModelNode& scope, const std::string& id, auto& self,
                           int depth) -> const ComponentNode*
    {
        for (const auto& child : scope.getChildren())
        {
            if (child->is("lk:Component"))
            {
                const auto& candidate = static_cast<const ComponentNode&>(*child);
                if (candidate.id == id || expand(candidate.id, false) == id)
                    return &candidate;
            }
            else if (depth < ComponentModel::kMaxDepth)
            {
                if (const ComponentNode* found = self(*child, id, self, depth + 1))
                    return found;
            }
        }
        return nullptr;
    };

    const ModelNode* scope = currentTemplate;
    const ComponentNode* found = nullptr;
    for (const std::string& id : splitPath(path))
    {
        if (!scope)
            return nullptr;
        found = searchIn(*scope, id, searchIn, 0);
        if (!found)
        {
            // A component that names a template also holds that template's components.
            if (const auto* component = dynamic_cast<const ComponentNode*>(scope))
            {
                for (const TemplateNode* node : model.getTemplateChain(component->templateName))
                {
                    if ((found = searchIn(*node, id, searchIn, 0)))
                        break;
                }
            }
        }
        if (!found)
            return nullptr;
        scope = found;
    }
    return found;
}

} // namespace Vellaris
