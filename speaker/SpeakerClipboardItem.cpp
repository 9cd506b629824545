#include "speaker/SpeakerClipboardItem.h"

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerUndoLocator.h"
#include "tessel/UndoHistory.h"

namespace Vellaris
{

SpeakerClipboardItem::SpeakerClipboardItem() : ClipboardItem(std::make_unique<SpeakerClipboardFilter>()) {}

SpeakerClipboardItem::~SpeakerClipboardItem() = default;

Tessel::SharedPtr<SpeakerClipboardItem>& SpeakerClipboardItem::clipboard()
{
    static Tessel::SharedPtr<SpeakerClipboardItem> item;
    return item;
}

bool SpeakerClipboardItem::copy(SpeakerComponent& speaker)
{
    Tessel::AutoPtr<SpeakerClipboardItem> item = new SpeakerClipboardItem;
    if (!item->store(speaker))
        return false;
    clipboard() = Tessel::SharedPtr<SpeakerClipboardItem>(item.get());
    return true;
}

bool SpeakerClipboardItem::paste(SpeakerComponent& speaker)
{
    const Tessel::SharedPtr<SpeakerClipboardItem> item = clipboard();
    Tessel::UndoTransaction step(SpeakerUndoLocator::stepName("Paste", &speaker));
    if (!item || !item->restore(speaker))
        return false;
    speaker.restoreFinished();
    return true;
}

bool SpeakerClipboardItem::canPaste()
{
    return clipboard() && !clipboard()->isEmpty();
}

void SpeakerClipboardItem::clearClipboard()
{
    clipboard() = nullptr;
}

} // namespace Vellaris
