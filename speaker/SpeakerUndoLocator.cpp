#include "speaker/SpeakerUndoLocator.h"

#include "mirror/ClientRootComponent.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/UndoHistory.h"

namespace Vellaris
{

namespace
{
SpeakerComponent* speakerOf(Tessel::IParameter* param)
{
    for (auto* component = Tessel::unknownCast<Tessel::Component>(param->getController()); component;
         component = component->getParent())
        if (auto* speaker = Tessel::classCast<SpeakerComponent>(component))
            return speaker;
    return nullptr;
}

// The speaker as the list shows it: its nickname, else its model (as the speaker reports it, else
// as it announced itself).
std::string speakerLabel(const SpeakerComponent* speaker)
{
    for (const char* name : {"nickname", "model"})
        if (Tessel::IParameter* text = speaker->findParameter(name))
            if (!text->toString().empty())
                return text->toString();
    if (SpeakerNetworkManager* speakers = Tessel::ComponentSingleton<SpeakerNetworkManager>::instance())
        if (SpeakerNetworkItem* item = speakers->findItemByComponent(speaker))
            if (Tessel::IParameter* name = item->findParameter("name"))
                return name->toString();
    return {};
}
} // namespace

SpeakerUndoLocator::SpeakerUndoLocator(const SpeakerNetworkManager& speakers)
    : speakers(speakers), history(Tessel::retained(Tessel::GetUndoHistory()))
{
    if (history)
        history->addLocator(this);
}

SpeakerUndoLocator::~SpeakerUndoLocator()
{
    if (history)
        history->removeLocator(this);
}

bool SpeakerUndoLocator::counts(const Tessel::IParameter* param)
{
    using namespace Tessel::ParamFlags;
    if (param->isFlag(kUndoable))
        return true;
    if (!param->isFlag(kPublic))
        return false;
    const std::string& name = param->getName();
    return param->isFlag(kStorable) || name == "eqallon" || name == "notchallon";
}

Tessel::IUndoParamLocator::Claim SpeakerUndoLocator::identify(Tessel::IParameter* param,
                                                              Tessel::UndoParamKey& key, std::string& label)
{
    SpeakerComponent* speaker = speakerOf(param);
    if (!speaker)
        return Claim::NotMine;
    // A speaker that is not in the list (being built, or gone) has nothing to come back to.
    SpeakerNetworkItem* item = counts(param) ? speakers.findItemByComponent(speaker) : nullptr;
    if (!item)
        return Claim::Ignore;
    auto* owner = Tessel::unknownCast<Tessel::Component>(param->getController());
    key.owner = item->getSerialNumber();
    key.path = owner->getParameterPath(param);
    label = stepName(Tessel::UndoHistory::humanise(param->getName()), speaker);
    return Claim::Record;
}

std::string SpeakerUndoLocator::stepName(const std::string& action, const SpeakerComponent* speaker)
{
    const std::string who = speaker ? speakerLabel(speaker) : std::string();
    return who.empty() ? action : action + " " + who;
}

Tessel::IParameter* SpeakerUndoLocator::resolve(const Tessel::UndoParamKey& key)
{
    if (key.owner.empty())
        return nullptr;
    SpeakerNetworkItem* item = speakers.findItemBySerial(key.owner);
    LK::SpeakerRootComponent* root = item ? item->getRoot() : nullptr;
    return root ? root->lookupParameter(key.path) : nullptr;
}

} // namespace Vellaris
