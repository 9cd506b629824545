#include "venue/MasterComponent.h"

#include "mirror/RemoteComponent.h"
#include "model/UniversalComponentBuilder.h"
#include "speaker/SpeakerComponent.h"
#include "tessel/Attributes.h"
#include "tessel/IParameter.h"
#include "tessel/ISubject.h"
#include "tessel/ParamTypes.h"
#include "tessel/UndoHistory.h"
#include "venue/SpeakerRoom.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(MasterComponent, Tessel::Component)

MasterComponent::MasterComponent(SpeakerRoom* owner) : Tessel::Component("Master", "Master"), room(owner)
{
    UniversalComponentBuilder::getGlobal().buildTemplate(this, "MasterGEQ", LK::RemoteComponent::metaClass);
    Tessel::Component* geq = getGeq();
    if (!geq)
        return;
    if (Tessel::IParameter* on = geq->getParameterByTag(kOnTag))
        on->setValue(Tessel::Variant(1), false);
    for (int i = 0; i < geq->countParameters(); ++i)
    {
        Tessel::IParameter* param = geq->getParameterAt(i);
        param->setFlag(Tessel::ParamFlags::kUndoable, true); // a change of the room is the desk's
        if (auto* subject = Tessel::unknownCast<Tessel::ISubject>(param))
            subject->addObserver(this);
        observed.push_back(Tessel::retained(param));
        lastValues.push_back(param->getValue().asDouble());
    }
}

MasterComponent::~MasterComponent()
{
    for (auto& param : observed)
        if (auto* subject = Tessel::unknownCast<Tessel::ISubject>(param.get()))
            subject->removeObserver(this);
}

Tessel::Component* MasterComponent::getGeq() const
{
    return findChild("geq");
}

void MasterComponent::save(Tessel::Attributes& into) const
{
    Tessel::Component* geq = getGeq();
    if (!geq)
        return;
    for (int i = 0; i < geq->countParameters(); ++i)
    {
        Tessel::IParameter* param = geq->getParameterAt(i);
        if (param && param->isFlag(Tessel::ParamFlags::kStorable))
            into.set(param->getName(), param->getValue());
    }
}

void MasterComponent::load(const Tessel::Attributes& from)
{
    Tessel::Component* geq = getGeq();
    if (!geq)
        return;
    loading = true;
    for (int i = 0; i < geq->countParameters(); ++i)
    {
        Tessel::IParameter* param = geq->getParameterAt(i);
        if (!param || !param->isFlag(Tessel::ParamFlags::kStorable))
            continue;
        if (const Tessel::Variant* value = from.find(param->getName()); value && value->isNumeric())
            param->setValue(*value, true);
    }
    loading = false;
    for (size_t i = 0; i < observed.size(); ++i)
        lastValues[i] = observed[i]->getValue().asDouble();
}

void MasterComponent::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (!msg.is(Tessel::Messages::kChanged))
        return Component::notify(subject, msg);
    for (size_t i = 0; i < observed.size(); ++i)
    {
        Tessel::IParameter* param = observed[i].get();
        if (Tessel::unknownCast<Tessel::ISubject>(param) != subject)
            continue;
        if (loading)
            return;
        // Views hear "changed" for range and state changes too; only a new value is copied.
        const double value = param->getValue().asDouble();
        if (value == lastValues[i])
            return;
        lastValues[i] = value;
        forward(param);
        return;
    }
}

void MasterComponent::forward(Tessel::IParameter* param)
{
    const int32_t tag = param->getTag();
    if (tag >= 0 && tag <= kLastBandTag)
        if (Tessel::IParameter* on = getGeq()->getParameterByTag(kOnTag))
            on->setValue(Tessel::Variant(1), false);
    if (room)
    {
        // One step with the master's own change: every speaker of the room follows it.
        Tessel::UndoTransaction step("Master GEQ " + room->getTitle());
        for (SpeakerComponent* speaker : room->speakers())
        {
            Tessel::IParameter* target = nullptr;
            if (tag == kOnTag)
                target = speaker->findParameter("remote_geq_on");
            else if (Tessel::Component* geq = speaker->lookupChild(SpeakerRoom::kSpeakerGeqPath))
                target = geq->getParameterByTag(tag);
            if (target)
                target->setValue(param->getValue(), true);
        }
    }
    signal(Tessel::Message(kGeqChanged));
}

} // namespace Vellaris
