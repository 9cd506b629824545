#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/ModelNodes.h"
#include "model/ParamDescription.h"

namespace Vellaris
{

// A component-model document in memory: the root node of the main document with its three
// sections lk:Definitions, lk:Parameters and lk:Templates, into which the sections of its included
// documents have been merged. Lookups compare ids exactly and take the first match, so the main
// document's entries win over included ones. GUI thread only.
class ComponentModel
{
public:
    // Deepest element nesting a document may have; deeper documents are refused.
    static constexpr int kMaxDepth = 256;

    ComponentModel();
    ~ComponentModel();
    ComponentModel(const ComponentModel&) = delete;
    ComponentModel& operator=(const ComponentModel&) = delete;

    // Reads the document at `url` (through the framework's file system) and its xi:include
    // documents (resolved relative to `url`; their own includes are not followed; the first that
    // cannot be read ends the includes, with a report). On success the document replaces what the
    // model held; on failure (unreadable, not well-formed, root not lk:ComponentModel, nested too
    // deeply) it reports a warning, returns false and the model keeps what it had.
    bool load(const std::string& url);
    // Reads a document from memory the same way; includes resolve relative to `baseUrl`.
    bool loadFromMemory(const std::string& text, const std::string& baseUrl = {});
    bool isLoaded() const { return root != nullptr; }
    void clear();

    // The root node of the main document, or nullptr before a successful load.
    const ComponentModelNode* getRoot() const { return root.get(); }
    // The sections; each is created empty on first lookup when the document lacks it. Null before a
    // successful load.
    SectionNode* getDefinitions() { return section(kDefinitions); }
    SectionNode* getParameters() { return section(kParameters); }
    SectionNode* getTemplates() { return section(kTemplates); }

    // Lookups by id; nullptr when absent.
    const StringListNode* findStringList(const std::string& id) const;
    const RangeNode* findRange(const std::string& id) const;
    const DataNode* findData(const std::string& id) const;
    const ParamListNode* findParamList(const std::string& id) const;
    const TemplateNode* findTemplate(const std::string& id) const;

    // The list named `listId` followed by the lists its "inherit" chain names, stopping at an empty
    // name, a name that names no list, or a list already taken (so a loop cannot hang a build).
    std::vector<const ParamListNode*> getParamListChain(const std::string& listId) const;
    // The template named `templateId` preceded by its ancestors ("inherit" chain), oldest first; the
    // walk stops at an empty name, an unknown one or a template already in the list. Empty when the
    // template does not exist.
    std::vector<const TemplateNode*> getTemplateChain(const std::string& templateId) const;

    // Descriptions of every parameter of the list and of the lists it inherits, list by list. A
    // name that names no list and a loop in "inherit" are reported. Each list is described once
    // per loaded model (every speaker of a model asks for the same lists): the reference stays
    // good until the model is loaded again or cleared.
    const std::vector<ParamDescription>& describeParamList(const std::string& listId) const;
    // Descriptions of the lk:Param children of one list, in order.
    void describeParams(const ParamListNode& list, std::vector<ParamDescription>& out) const;
    // One description with its effective range; `tag` is used when the parameter names none.
    ParamDescription describe(const ParamNode& param, int32_t tag) const;

private:
    enum SectionIndex
    {
        kDefinitions,
        kParameters,
        kTemplates,
        kSectionCount
    };

    SectionNode* section(SectionIndex index);
    const SectionNode* findSection(SectionIndex index) const;
    const ModelNode* findIn(SectionIndex index, std::string_view element, const std::string& id) const;
    static std::unique_ptr<ComponentModelNode> readDocument(const std::string& text, std::string& error);
    bool adopt(std::unique_ptr<ComponentModelNode> document, const std::string& url);

    std::unique_ptr<ComponentModelNode> root;
    SectionNode* sections[kSectionCount] = {};
    mutable std::unordered_map<std::string, std::vector<ParamDescription>> describedLists;
};

} // namespace Vellaris
