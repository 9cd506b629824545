#include "speaker/InputComponent.h"

#include "speaker/VenueSide.h"
#include "tessel/IParameter.h"

namespace Vellaris
{

TESSEL_DEFINE_CLASS(InputComponent, LK::RemoteComponent)

InputComponent::InputComponent() = default;

InputComponent::~InputComponent() = default;

void InputComponent::paramChanged(Tessel::IParameter* param)
{
    // Only the user's own gesture counts: echoes of the speaker and room moves set the mute
    // without holding it.
    if (param && param->getTag() == kMuteTag && param->getValue().asInt() == 0 &&
        param->isFlag(Tessel::ParamFlags::kEditing))
        endRoomSolo();
    RemoteComponent::paramChanged(param);
}

void InputComponent::endRoomSolo()
{
    // The room ends its solo without force and brings its own state up to date.
    if (IActiveRoom* room = findActiveRoom())
        room->unsolo();
}

} // namespace Vellaris
