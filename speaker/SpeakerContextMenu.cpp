#include "speaker/SpeakerContextMenu.h"

#include "speaker/SpeakerComponent.h"

namespace Vellaris
{

void* SpeakerContextMenu::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IContextMenuHandler)
    return Unknown::queryInterface(iid);
}

void SpeakerContextMenu::appendContextMenu(Tessel::IContextMenu& menu, const Tessel::Attributes&)
{
    for (const Tessel::MenuParam::Item& item : SpeakerComponent::getContextMenuItems())
        menu.addCommand(item.title, Tessel::CommandMsg(item.category, item.name));
}

} // namespace Vellaris
