#include "model/UniversalComponentBuilder.h"

#include "model/UniversalComponent.h"
#include "tessel/ClassFactory.h"
#include "tessel/SharedPtr.h"
#include "tessel/Warning.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(UniversalComponentBuilder, ComponentBuilder)

namespace
{

// A new UniversalComponent of `metaClass`, or nullptr when it makes something else.
UniversalComponent* createOfClass(const Tessel::MetaClass* metaClass)
{
    Tessel::Object* object = metaClass ? metaClass->createObject() : nullptr;
    auto* component = Tessel::classCast<UniversalComponent>(object);
    if (!component && object)
        object->release();
    return component;
}

} // namespace

UniversalComponentBuilder::UniversalComponentBuilder() = default;

UniversalComponentBuilder::~UniversalComponentBuilder() = default;

UniversalComponentBuilder& UniversalComponentBuilder::getGlobal()
{
    static Tessel::AutoPtr<UniversalComponentBuilder> global = new UniversalComponentBuilder;
    return *global;
}

Tessel::Component* UniversalComponentBuilder::createComponent(Tessel::Component*, const ComponentNode& node,
                                                              const std::string& id, const std::string& title,
                                                              const std::string& group)
{
    UniversalComponent* component = nullptr;
    if (!node.classname.empty() && areClassNamesAllowed())
    {
        component = createOfClass(Tessel::ClassFactory::findClass(node.classname));
        if (!component)
            Tessel::warning("LK Component class not found: %s\n", node.classname.c_str());
    }
    if (!component)
        component = createOfClass(getDefaultClass());
    if (!component)
        component = new UniversalComponent;
    component->setName(id);
    component->setTitle(title);
    component->setGroup(group);
    return component;
}

void UniversalComponentBuilder::addChild(Tessel::Component* parent, Tessel::Component* child)
{
    if (!child)
        return;
    if (!parent || !parent->addChild(child))
        child->release();
}

void UniversalComponentBuilder::addParameter(Tessel::Component* component, const ParamDescription& param)
{
    if (auto* universal = Tessel::classCast<UniversalComponent>(component))
    {
        universal->addParameter(param);
        return;
    }
    if (!component->getParams().add(UniversalComponent::createParameter(param), param.tag))
        Tessel::warning("LK Parameter \"%s\" exists already in \"%s\"\n", param.id.c_str(),
                        component->getName().c_str());
}

void UniversalComponentBuilder::setClassData(Tessel::Component* component, const Tessel::Attributes& data)
{
    if (auto* universal = Tessel::classCast<UniversalComponent>(component))
        universal->setClassData(data);
}

} // namespace Vellaris
