#include "speaker/SpeakerClasses.h"

#include "model/UniversalComponentBuilder.h"
#include "speaker/EQComponent.h"
#include "speaker/EqCompositeComponent.h"
#include "speaker/GEQComponent.h"
#include "speaker/InputComponent.h"
#include "speaker/LimiterComponent.h"
#include "speaker/MultiLimiterComponent.h"
#include "speaker/OutputComponent.h"
#include "speaker/TarnEqComponent.h"
#include "tessel/ClassFactory.h"
#include "tessel/Initializer.h"

namespace Vellaris
{

bool registerSpeakerClasses()
{
    const Tessel::MetaClass* classes[] = {
        &InputComponent::metaClass,      &OutputComponent::metaClass,       &LimiterComponent::metaClass,
        &Filtra::EQComponent::metaClass, &MultiLimiterComponent::metaClass, &GEQComponent::metaClass,
        &TarnEqComponent::metaClass,     &EqCompositeComponent::metaClass,
    };
    for (const Tessel::MetaClass* metaClass : classes)
        Tessel::ClassFactory::registerClass(*metaClass);
    return UniversalComponentBuilder::getGlobal().load(UniversalComponentBuilder::kModelUrl);
}

namespace
{
Tessel::Initializer speakerInitializer("SpeakerComponent", 1000, &registerSpeakerClasses);
} // namespace

const Tessel::Initializer& speakerClassesInitializer()
{
    return speakerInitializer;
}

} // namespace Vellaris
