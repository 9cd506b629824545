#pragma once

#include <vector>

#include "speaker/EQComponent.h"
#include "speaker/TarnEqComponent.h"

namespace Vellaris
{

// One equaliser view over several equalisers of a channel ("compeq"): the bands of its members
// one after the other, in the order they were added (the speaker adds "eq", then "notch", so
// composite band 9 is notch band 1). Editor reads and writes go to the member holding the band;
// an index beyond all members reads as nothing and writes are ignored. The composite's own class
// data gives only its display range and defaults. Members belong to the speaker's tree; the
// composite holds a reference to each, so a member never goes away under it. Signals "eqBandChanged" with the
// composite index when a band parameter of a member changes. GUI thread only.
class EqCompositeComponent : public Filtra::EQComponent
{
    TESSEL_DECLARE_CLASS(EqCompositeComponent)
public:
    EqCompositeComponent();

    // Appends `member` and observes its band parameters. Null or a member
    // already in the list is ignored.
    void addMember(TarnEqComponent* member);
    int countMembers() const { return int(members.size()); }
    TarnEqComponent* getMember(int index) const;

    // Sum of the members' band counts.
    int getNumBands() const override;
    // The members' summed curves added.
    bool getSummedCurve(float* out, int count) const override;
    // Every member's all-bands switch.
    void collectSwitches(std::vector<Tessel::IParameter*>& switches) const override;
    bool isEqualiserOn() const override;

    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~EqCompositeComponent() override;

    bool resolveBand(int band, const Filtra::EQComponent*& owner, int& local) const override;

private:
    void observeMember(TarnEqComponent* member, bool on);

    std::vector<Tessel::SharedPtr<TarnEqComponent>> members;
};

} // namespace Vellaris
