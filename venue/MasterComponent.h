#pragma once

#include <vector>

#include "tessel/Component.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{
class Attributes;
}

namespace Vellaris
{

class SpeakerRoom;

// A room's master graphic equaliser, the child "Master" of the room with one child "geq" built
// from the model's template "MasterGEQ" (band gains "gain1" … "gain31" at tags 0 … 30, "on" at
// tag 31, "ston", "mem_ab"). It is local: it talks to no device itself. Every change of one of its
// equaliser's values is copied to every speaker of the room ("on" becomes the speaker's
// "remote_geq_on", a band gain the speaker equaliser's parameter of the same tag), then the master
// signals "geqChanged". Editing a band switches "on" to 1. "on" starts at 1.
//
// Its room stores the equaliser's storable values (the 31 gains, "on", "ston") with save() and
// gives them back with load(), so a reopened room shows what its speakers hold.
class MasterComponent : public Tessel::Component
{
    TESSEL_DECLARE_CLASS(MasterComponent)
public:
    static constexpr const char* kGeqChanged = "geqChanged";
    static constexpr int32_t kOnTag = 31;
    static constexpr int32_t kLastBandTag = 30;

    explicit MasterComponent(SpeakerRoom* room = nullptr);

    SpeakerRoom* getRoom() const { return room; }
    // The equaliser child "geq", or nullptr when the model has no "MasterGEQ".
    Tessel::Component* getGeq() const;

    // Writes the equaliser's storable values into `into`, one key per parameter name.
    void save(Tessel::Attributes& into) const;
    // Takes each storable value that `from` holds as a number; the others stay as they are. The
    // values are the room's own again, not an edit: nothing is copied to the speakers (they hold
    // their own stored settings) and "on" is not switched by the bands.
    void load(const Tessel::Attributes& from);

    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~MasterComponent() override;

private:
    void forward(Tessel::IParameter* param);

    SpeakerRoom* room = nullptr;
    std::vector<Tessel::SharedPtr<Tessel::IParameter>> observed;
    std::vector<double> lastValues;
    bool loading = false;
};

} // namespace Vellaris
