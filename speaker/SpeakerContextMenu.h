#pragma once

#include "tessel/IContextMenu.h"
#include "tessel/Unknown.h"

namespace Vellaris
{

// The speaker's part of a context menu, attached to each speaker component as an extension:
// "Copy" and "Paste" of category "Edit" (SpeakerComponent::getContextMenuItems), which the
// speaker carries out through the speaker clipboard. "Paste" shows disabled while the clipboard
// is empty.
class SpeakerContextMenu : public Tessel::Unknown, public Tessel::IContextMenuHandler
{
public:
    SpeakerContextMenu() = default;

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Unknown::retain(); }
    int release() override { return Unknown::release(); }

    void appendContextMenu(Tessel::IContextMenu& menu, const Tessel::Attributes& context) override;

protected:
    ~SpeakerContextMenu() override = default;
};

} // namespace Vellaris
