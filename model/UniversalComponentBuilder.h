#pragma once

#include "model/ComponentBuilder.h"

namespace Vellaris
{

// The builder of UniversalComponent trees. Components are created by their class name through
// the class factory (when class names are allowed and the class is a UniversalComponent), else
// from the build's default class; parameters go through the component's addParameter operation
// and class data through its setClassData operation.
//
// Building the speaker's mirror:
//     UniversalComponentBuilder::getGlobal().buildTemplate(this, "Speaker", RemoteComponent::metaClass);
class UniversalComponentBuilder : public ComponentBuilder
{
    TESSEL_DECLARE_CLASS(UniversalComponentBuilder)
public:
    // The URL of the model the process-wide builder holds.
    static constexpr const char* kModelUrl = "resource:///tarndefs.xml";

    UniversalComponentBuilder();

    // The process-wide builder, made on first use. It holds the model of "tarndefs.xml" once the
    // start-up initializer "SpeakerComponent" has loaded it (or someone called load()).
    static UniversalComponentBuilder& getGlobal();

    // Reports "LK Component class not found" for a class name that gives no UniversalComponent and
    // falls back to the default class (UniversalComponent when that cannot make one).
    Tessel::Component* createComponent(Tessel::Component* parent, const ComponentNode& node,
                                       const std::string& id, const std::string& title,
                                       const std::string& group) override;
    void addChild(Tessel::Component* parent, Tessel::Component* child) override;
    // Through UniversalComponent::addParameter; a plain Component gets the parameter added directly.
    void addParameter(Tessel::Component* component, const ParamDescription& param) override;
    // Through UniversalComponent::setClassData; other components ignore it.
    void setClassData(Tessel::Component* component, const Tessel::Attributes& data) override;

protected:
    ~UniversalComponentBuilder() override;
};

} // namespace Vellaris
