#pragma once

#include "mirror/RemoteComponent.h"

namespace Vellaris
{

// The input channel of a speaker ("line/ch1"). When the user switches its mute (tag 3) off with a
// gesture (the parameter is being edited), the room the user works in ends its solo: a speaker
// brought back by hand is heard with the others again. Without a venue side or an active room
// nothing happens. GUI thread only.
class InputComponent : public LK::RemoteComponent
{
    TESSEL_DECLARE_CLASS(InputComponent)
public:
    static constexpr int32_t kMuteTag = 3;

    InputComponent();

    // The mute rule above, then forwarded as for every remote component.
    void paramChanged(Tessel::IParameter* param) override;

protected:
    ~InputComponent() override;

    // Ends the active room's solo (the hook the room side fills through IActiveRoom).
    virtual void endRoomSolo();
};

} // namespace Vellaris
