#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/ComponentModel.h"
#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/SharedPtr.h"

namespace Vellaris
{

// Builds component trees from the templates of its component model. The generic build walks the
// model (template inheritance, lk:Component, lk:foreach, lk:foreachparam, variable expansion,
// parameter collection, class data) and calls four construction operations that derived builders
// implement; this base creates nothing. Reports go out as warnings and never stop a build.
// GUI thread only; one build at a time per builder.
class ComponentBuilder : public Tessel::Object
{
    TESSEL_DECLARE_CLASS(ComponentBuilder)
public:
    // Bounds that keep a bad document from running away: steps of one build (elements visited
    // and loop turns) and templates nested inside each other.
    static constexpr long kMaxBuildSteps = 1000000;
    static constexpr int kMaxTemplateNesting = 64;

    ComponentBuilder();

    ComponentModel& getModel() { return model; }
    const ComponentModel& getModel() const { return model; }
    // Loads the document at `url` into the model (see ComponentModel::load).
    bool load(const std::string& url) { return model.load(url); }

    // Whether components are created by their class name and receive class data (on by default).
    void setClassNamesAllowed(bool allowed) { classNamesAllowed = allowed; }
    bool areClassNamesAllowed() const { return classNamesAllowed; }

    // Builds the template `templateId` (with its ancestors first) into `component`: the
    // templates' parameter lists become parameters of `component`, their children become child
    // components. `defaultClass` is the class of components that name none (or whose class is not
    // known). Reports "LK Component template not found" and builds nothing for an unknown id.
    // Returns false when nothing was built for that reason or a bound was hit.
    bool buildTemplate(Tessel::Component* component, const std::string& templateId,
                       const Tessel::MetaClass& defaultClass);

    // The construction operations, called by the build.
    // A new component for `node` named `id` with `title` and `group` (reference count 1, handed to
    // addChild next), or nullptr to leave the node out. The base returns nullptr.
    virtual Tessel::Component* createComponent(Tessel::Component* parent, const ComponentNode& node,
                                               const std::string& id, const std::string& title,
                                               const std::string& group);
    // Adds `child` (taking over its reference) below `parent`. The base releases it.
    virtual void addChild(Tessel::Component* parent, Tessel::Component* child);
    // Adds the described parameter to `component`. The base does nothing.
    virtual void addParameter(Tessel::Component* component, const ParamDescription& param);
    // Hands `data` to `component`. The base does nothing.
    virtual void setClassData(Tessel::Component* component, const Tessel::Attributes& data);

    // `text` with every active loop variable replaced by its value, innermost first; with
    // `slashesToDots` every "/" then becomes ".".
    std::string expand(const std::string& text, bool slashesToDots) const;

protected:
    ~ComponentBuilder() override;

    // The class for components without a class name during the running build (never null then).
    const Tessel::MetaClass* getDefaultClass() const { return defaultClass; }

private:
    bool step();
    void buildChildren(const ModelNode& node, Tessel::Component* parent);
    void buildComponent(const ComponentNode& node, Tessel::Component* parent);
    void buildTemplateChildren(const std::string& templateName, Tessel::Component* component);
    void buildForEach(const ForEachNode& node, Tessel::Component* parent);
    void buildForEachParam(const ForEachParamNode& node, Tessel::Component* parent);
    // The descriptions of a component node's parameters: those of its list (or its template's),
    // shared with every other component built from it, followed by those of lists of its own, in
    // which case they are copied into `own` first.
    const std::vector<ParamDescription>& collectParams(const ComponentNode& node,
                                                       std::vector<ParamDescription>& own) const;
    void applyClassData(const ComponentNode& node, Tessel::Component* component);
    // The dictionary read from a class data block's JSON (kept by its text), or nullptr when the
    // text is not valid JSON (reported).
    const Tessel::Attributes* parseClassData(const DataNode& data);
    const ComponentNode* findComponentNode(const std::string& path) const;

    ComponentModel model;
    // Class data blocks read so far, by their JSON text. Handed out as const: the components keep
    // shallow copies whose nested dictionaries and lists are these.
    std::map<std::string, Tessel::AutoPtr<Tessel::Attributes>> parsedData;
    std::vector<std::pair<std::string, std::string>> variables;
    const TemplateNode* currentTemplate = nullptr;
    const Tessel::MetaClass* defaultClass = nullptr;
    std::vector<const TemplateNode*> activeTemplates;
    bool classNamesAllowed = true;
    long stepsLeft = 0;
    bool stopped = false;
};

} // namespace Vellaris
