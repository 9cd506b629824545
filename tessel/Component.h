#pragma once

#include <string>
#include <vector>

#include "tessel/ICommandHandler.h"
#include "tessel/IController.h"
#include "tessel/IExtensible.h"
#include "tessel/IParamObserver.h"
#include "tessel/IParamPreviewHandler.h"
#include "tessel/IViewFactory.h"
#include "tessel/InternedString.h"
#include "tessel/Object.h"
#include "tessel/ParamContainer.h"
#include "tessel/SharedPtr.h"
#include "tessel/SignalSlots.h"

namespace Tessel
{

// A named node of the component tree: owns its children (one reference each, in order) and its
// parameters, keeps a raw pointer to its parent, answers commands and property queries, and is
// the controller of its own parameters. GUI thread only.
//
// Properties: "name", "title", "group", "parent" (object), "children" (an AttributeList of the
// children), "numChildren". Methods: "findParameter" (arg: name or path), "interpretCommand"
// (args: category, name, checkOnly, and optionally the command's arguments as Attributes), "find"
// (arg: path of a descendant).
class Component : public Object,
                  public IController,
                  public IParamObserver,
                  public IParamPreviewHandler,
                  public ICommandHandler,
                  public IExtensible,
                  public IViewFactory
{
    TESSEL_DECLARE_CLASS(Component)
public:
    static constexpr UID kIID{0x7E55E100, 0x0007, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x07};

    explicit Component(const std::string& name = {}, const std::string& title = {});

    // Answers Component, IController, IParamObserver, IParamPreviewHandler, ICommandHandler,
    // IExtensible, IViewFactory and the interfaces of Object.
    void* queryInterface(const UID& iid) override;
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }

    const std::string& getName() const { return name.str(); }
    void setName(const std::string& newName) { name = InternedString(newName); }
    const std::string& getTitle() const { return title.str(); }
    void setTitle(const std::string& newTitle) { title = InternedString(newTitle); }
    const std::string& getGroup() const { return group.str(); }
    void setGroup(const std::string& newGroup) { group = InternedString(newGroup); }
    Component* getParent() const { return parent; }

    // Children. addChild takes over the caller's reference and sets the child's parent; it fails
    // (returning false, keeping the caller's reference) when the child already has a parent.
    bool addChild(Component* child);
    // Like addChild, at position `index` (clamped).
    bool insertChild(int index, Component* child);
    // Detaches `child` and releases this component's reference (the child goes unless someone else
    // holds it). Returns false when it is not a child.
    bool removeChild(Component* child);
    // Releases every child (last first).
    void removeAllChildren();
    int countChildren() const { return int(children.size()); }
    Component* getChild(int index) const;
    int indexOfChild(const Component* child) const;
    // The child named `childName`, or nullptr: by default the first direct child of that name. A
    // component may override it to answer made-up names with a component that is not a direct
    // child ("activeRoom", "room[2]", "component"); the result is borrowed. Every path lookup
    // (lookupChild, lookupParameter, skin and remote addresses) goes through it, one name at a time.
    virtual Component* findChild(const std::string& childName) const;
    // The descendant at `path` (names separated by "/"; empty path: this component), or nullptr.
    Component* lookupChild(const std::string& path) const;
    // The first child (depth-first, including this) of class `metaClass`, or nullptr.
    Component* findChildOfClass(const MetaClass& metaClass) const;

    ParamContainer& getParams() { return params; }
    const ParamContainer& getParams() const { return params; }
    // IController.
    IParameter* findParameter(const std::string& paramName) const override
    {
        return params.lookup(paramName);
    }
    IParameter* getParameterByTag(int32_t tag) const override { return params.lookupByTag(tag); }
    int countParameters() const override { return params.count(); }
    IParameter* getParameterAt(int index) const override { return params.at(index); }
    // The parameter at `path` relative to this component ("line/ch1/volume"; without "/" one of
    // this component's own), or nullptr.
    IParameter* lookupParameter(const std::string& path) const;

    // The names of this component and its ancestors joined by "/", stopping before the first
    // component with an empty name and leaving out the process-wide root component.
    std::string getComponentPath() const;
    // The path of `param` of this component: the component path, "/" when that is not empty, and
    // the parameter's name.
    std::string getParameterPath(const IParameter* param) const;

    SignalSlots& getSignalSlots() { return signalSlots; }

    // Gives back the room this component and its descendants keep for children, parameters and
    // extensions not added yet: for a tree that is complete and held many times over (a mirrored
    // speaker). Changes nothing else; later additions work as before.
    virtual void shrinkToFit();

    // Initialises this component and then its children (in order); returns false as soon as one
    // fails. Terminates the children (last first) and then this one.
    virtual bool initialize(IUnknown* context = nullptr);
    virtual bool terminate();
    bool isInitialized() const { return initialized; }

    // Whether this component handles commands of `category` (for command routing and menus). The
    // base accepts none.
    virtual bool acceptsCommandCategory(const std::string& category) const { return false; }
    // ICommandHandler: the base handles nothing and answers false.
    bool interpretCommand(const CommandMsg& msg) override { return false; }

    // IParamObserver and IParamPreviewHandler for the component's own parameters: the base does
    // nothing.
    void paramChanged(IParameter* param) override {}
    void paramEdit(IParameter* param, bool begin) override {}
    void paramPreview(IParameter* param, const ParamPreviewEvent& event) override {}

    // IObject. Subclasses answer their own names first and then call the base.
    bool getProperty(const std::string& propertyName, Variant& value) const override;
    bool setProperty(const std::string& propertyName, const Variant& value) override;
    bool invokeMethod(Variant& result, const Message& msg) override;

    // Signals "propertyChanged" with the property name as argument.
    void propertyChanged(const std::string& propertyName);

    // IViewFactory. The base makes no view of its own and asks its extensions that make views, in
    // order. A component that makes views answers its names first and then calls the base.
    Object* createView(const std::string& viewName, const Attributes& arguments) override;
    // The same without arguments.
    Object* createView(const std::string& viewName);

    // IExtensible: extensions are released (last first) when the component goes.
    bool addExtension(IUnknown* extension) override;
    bool removeExtension(IUnknown* extension) override;
    void* queryExtension(const UID& iid) override;

protected:
    ~Component() override;

private:
    // Shared with every other component of the same name, title and group (each speaker of a
    // model has the same tree).
    InternedString name;
    InternedString title;
    InternedString group;
    Component* parent = nullptr;
    std::vector<Component*> children;
    ParamContainer params;
    SignalSlots signalSlots;
    std::vector<SharedPtr<IUnknown>> extensions;
    bool initialized = false;
};

// The process-wide root component, named "root", created on first use. Application-wide
// components are added below it and owned by it.
Component* getRootComponent();
// Releases the root component and everything below it (at the end of the program or of a test).
// A later getRootComponent() makes a new one.
void destroyRootComponent();

} // namespace Tessel
