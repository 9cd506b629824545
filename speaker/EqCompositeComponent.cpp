#include "speaker/EqCompositeComponent.h"

#include <algorithm>

#include "speaker/TarnEqComponent.h"
#include "tessel/IParameter.h"
#include "tessel/ISubject.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(EqCompositeComponent, Filtra::EQComponent)

EqCompositeComponent::EqCompositeComponent() = default;

EqCompositeComponent::~EqCompositeComponent()
{
    for (const auto& member : members)
        observeMember(member.get(), false);
}

void EqCompositeComponent::observeMember(TarnEqComponent* member, bool on)
{
    for (int band = 0; band < member->getNumBands(); ++band)
    {
        const Filtra::EqBand* record = member->getBand(band);
        for (Tessel::IParameter* param : {record->type.get(), record->gain.get(), record->q.get(),
                                          record->freq.get(), record->active.get()})
        {
            Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param);
            if (!subject)
                continue;
            if (on)
                subject->addObserver(this);
            else
                subject->removeObserver(this);
        }
    }
}

void EqCompositeComponent::addMember(TarnEqComponent* member)
{
    if (!member ||
        std::any_of(members.begin(), members.end(), [&](const auto& m) { return m.get() == member; }))
        return;
    members.emplace_back(member);
    observeMember(member, true);
}

TarnEqComponent* EqCompositeComponent::getMember(int index) const
{
    return index >= 0 && index < int(members.size()) ? members[size_t(index)].get() : nullptr;
}

int EqCompositeComponent::getNumBands() const
{
    int count = 0;
    for (const auto& member : members)
        count += member->getNumBands();
    return count;
}

bool EqCompositeComponent::resolveBand(int band, const Filtra::EQComponent*& owner, int& local) const
{
    if (band < 0)
        return false;
    for (const auto& member : members)
    {
        const int count = member->getNumBands();
        if (band < count)
        {
            owner = member.get();
            local = band;
            return true;
        }
        band -= count;
    }
    return false;
}

bool EqCompositeComponent::getSummedCurve(float* out, int count) const
{
    if (!out || count <= 0)
        return false;
    std::fill(out, out + count, 0.0f);
    const Filtra::ResponseGrid& onGrid = gridFor(count);
    for (const auto& member : members)
        member->accumulateActiveBands(onGrid, out);
    return true;
}

void EqCompositeComponent::collectSwitches(std::vector<Tessel::IParameter*>& switches) const
{
    for (const auto& member : members)
        member->collectSwitches(switches);
}

bool EqCompositeComponent::isEqualiserOn() const
{
    return std::any_of(members.begin(), members.end(),
                       [](const auto& member) { return member->isEqualiserOn(); });
}

void EqCompositeComponent::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (!msg.is(Tessel::Messages::kChanged))
        return EQComponent::notify(subject, msg);
    Tessel::IParameter* param = Tessel::unknownCast<Tessel::IParameter>(subject);
    if (!param)
        return;
    int offset = 0;
    for (const auto& member : members)
    {
        const int local = member->findBandOf(param);
        if (local >= 0)
        {
            signalBandChanged(offset + local);
            return;
        }
        offset += member->getNumBands();
    }
    // Not a member's band parameter: the composite's own current band, say.
    EQComponent::notify(subject, msg);
}

} // namespace Vellaris
