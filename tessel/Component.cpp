#include "tessel/Component.h"

#include "tessel/Attributes.h"

#include "tessel/AttributeList.h"
#include "tessel/IParameter.h"

namespace Tessel
{

TESSEL_DEFINE_CLASS(Component, Object)

namespace
{
Component* rootComponent = nullptr;
} // namespace

Component::Component(const std::string& name, const std::string& title)
    : name(name), title(title), params(static_cast<IController*>(this))
{
}

Component::~Component()
{
    // Slots first: they may observe the parameters or children that go next.
    signalSlots.removeAll();
    removeAllChildren();
    params.removeAll();
    while (!extensions.empty())
        extensions.pop_back();
}

void* Component::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(Component)
    TESSEL_QUERY_INTERFACE(IController)
    TESSEL_QUERY_INTERFACE(IParamObserver)
    TESSEL_QUERY_INTERFACE(IParamPreviewHandler)
    TESSEL_QUERY_INTERFACE(ICommandHandler)
    TESSEL_QUERY_INTERFACE(IExtensible)
    TESSEL_QUERY_INTERFACE(IViewFactory)
    return Object::queryInterface(iid);
}

Object* Component::createView(const std::string& viewName, const Attributes& arguments)
{
    // A copy: making a view may attach or detach extensions.
    const std::vector<SharedPtr<IUnknown>> asked = extensions;
    for (const SharedPtr<IUnknown>& extension : asked)
    {
        if (IViewFactory* factory = unknownCast<IViewFactory>(extension.get()))
            if (Object* view = factory->createView(viewName, arguments))
                return view;
    }
    return nullptr;
}

Object* Component::createView(const std::string& viewName)
{
    return createView(viewName, Attributes());
}

bool Component::addExtension(IUnknown* extension)
{
    if (!extension || extension == static_cast<IUnknown*>(static_cast<Object*>(this)))
        return false;
    for (const SharedPtr<IUnknown>& attached : extensions)
        if (attached.get() == extension)
            return false;
    extensions.push_back(Tessel::retained(extension));
    return true;
}

bool Component::removeExtension(IUnknown* extension)
{
    for (auto it = extensions.begin(); it != extensions.end(); ++it)
    {
        if (it->get() == extension)
        {
            SharedPtr<IUnknown> keep = *it; // released after the list no longer holds it
            extensions.erase(it);
            return true;
        }
    }
    return false;
}

void* Component::queryExtension(const UID& iid)
{
    for (const SharedPtr<IUnknown>& extension : extensions)
        if (void* found = extension->queryInterface(iid))
            return found;
    return nullptr;
}

bool Component::addChild(Component* child)
{
    return insertChild(int(children.size()), child);
}

bool Component::insertChild(int index, Component* child)
{
    if (!child || child->parent || child == this)
        return false;
    if (index < 0)
        index = 0;
    if (index > int(children.size()))
        index = int(children.size());
    children.insert(children.begin() + index, child);
    child->parent = this;
    return true;
}

bool Component::removeChild(Component* child)
{
    for (auto it = children.begin(); it != children.end(); ++it)
    {
        if (*it == child)
        {
            children.erase(it);
            child->parent = nullptr;
            child->release();
            return true;
        }
    }
    return false;
}

void Component::removeAllChildren()
{
    while (!children.empty())
    {
        Component* child = children.back();
        children.pop_back();
        child->parent = nullptr;
        child->release();
    }
}

Component* Component::getChild(int index) const
{
    if (index < 0 || index >= int(children.size()))
        return nullptr;
    return children[size_t(index)];
}

int Component::indexOfChild(const Component* child) const
{
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i] == child)
            return int(i);
    return -1;
}

Component* Component::findChild(const std::string& childName) const
{
    for (Component* child : children)
        if (child->name.str() == childName)
            return child;
    return nullptr;
}

Component* Component::lookupChild(const std::string& path) const
{
    const Component* current = this;
    size_t start = 0;
    while (current && start < path.size())
    {
        size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        current = current->findChild(part);
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return const_cast<Component*>(current);
}

Component* Component::findChildOfClass(const MetaClass& metaClass) const
{
    if (isKindOf(metaClass))
        return const_cast<Component*>(this);
    for (Component* child : children)
        if (Component* found = child->findChildOfClass(metaClass))
            return found;
    return nullptr;
}

IParameter* Component::lookupParameter(const std::string& path) const
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return findParameter(path);
    Component* owner = lookupChild(path.substr(0, slash));
    return owner ? owner->findParameter(path.substr(slash + 1)) : nullptr;
}

std::string Component::getComponentPath() const
{
    std::string path;
    for (const Component* c = this; c && !c->name.empty() && c != rootComponent; c = c->parent)
        path = path.empty() ? c->name.str() : c->name.str() + "/" + path;
    return path;
}

std::string Component::getParameterPath(const IParameter* param) const
{
    std::string path = getComponentPath();
    if (!param)
        return path;
    return path.empty() ? param->getName() : path + "/" + param->getName();
}

void Component::shrinkToFit()
{
    children.shrink_to_fit();
    params.shrinkToFit();
    extensions.shrink_to_fit();
    for (Component* child : children)
        child->shrinkToFit();
}

bool Component::initialize(IUnknown* context)
{
    initialized = true;
    for (size_t i = 0; i < children.size(); ++i)
        if (!children[i]->initialize(context))
            return false;
    return true;
}

bool Component::terminate()
{
    bool ok = true;
    for (size_t i = children.size(); i-- > 0;)
        if (!children[i]->terminate())
            ok = false;
    initialized = false;
    return ok;
}

bool Component::getProperty(const std::string& propertyName, Variant& value) const
{
    if (propertyName == "name")
        value = Variant(name.str());
    else if (propertyName == "title")
        value = Variant(title.str());
    else if (propertyName == "group")
        value = Variant(group.str());
    else if (propertyName == "parent")
        value = Variant(static_cast<IUnknown*>(static_cast<Object*>(parent)));
    else if (propertyName == "numChildren")
        value = Variant(int(children.size()));
    else if (propertyName == "children")
    {
        AttributeList* list = new AttributeList;
        for (Component* child : children)
            list->append(Variant(static_cast<IUnknown*>(static_cast<Object*>(child))));
        value = Variant(static_cast<IUnknown*>(list));
        list->release();
    }
    else
        return Object::getProperty(propertyName, value);
    return true;
}

bool Component::setProperty(const std::string& propertyName, const Variant& value)
{
    if (propertyName == "title")
    {
        title = InternedString(value.asString());
        propertyChanged(propertyName);
        return true;
    }
    return Object::setProperty(propertyName, value);
}

bool Component::invokeMethod(Variant& result, const Message& msg)
{
    if (msg.is("findParameter"))
    {
        IParameter* param = lookupParameter(msg.getArg(0).asString());
        result = Variant(static_cast<IUnknown*>(param));
        return true;
    }
    if (msg.is("interpretCommand"))
    {
        CommandMsg command(msg.getArg(0).asString(), msg.getArg(1).asString(), msg.getArg(2).asInt() != 0);
        if (Attributes* arguments = msg.getArg(3).asInterface<Attributes>())
            command.arguments = *arguments;
        result = Variant(interpretCommand(command));
        return true;
    }
    if (msg.is("find"))
    {
        Component* found = lookupChild(msg.getArg(0).asString());
        result = Variant(static_cast<IUnknown*>(static_cast<Object*>(found)));
        return true;
    }
    return Object::invokeMethod(result, msg);
}

void Component::propertyChanged(const std::string& propertyName)
{
    signal(Message(Messages::kPropertyChanged, {Variant(propertyName)}));
}

Component* getRootComponent()
{
    if (!rootComponent)
        rootComponent = new Component("root");
    return rootComponent;
}

void destroyRootComponent()
{
    Component* root = rootComponent;
    rootComponent = nullptr;
    if (root)
    {
        root->terminate();
        root->release();
    }
}

} // namespace Tessel
