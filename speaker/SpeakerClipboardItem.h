#pragma once

#include "speaker/ClipboardItem.h"

namespace Vellaris
{

class SpeakerComponent;

// A clipboard item for a speaker's settings, through a SpeakerClipboardFilter: a paste carries
// everything but the graphic equaliser, the developer limiter, "presetloading", the nickname and
// the channel names.
//
// The application keeps one such item, the speaker clipboard, behind copy() and paste() (the
// speaker's "Edit" commands "Copy" and "Paste", and Ctrl+C / Ctrl+V on the selected speaker).
class SpeakerClipboardItem : public LK::ClipboardItem
{
public:
    SpeakerClipboardItem();

    // Puts the settings of `speaker` on the speaker clipboard.
    static bool copy(SpeakerComponent& speaker);
    // Gives `speaker` the settings on the speaker clipboard (each reaches the speaker). False,
    // with nothing changed, when the clipboard is empty.
    static bool paste(SpeakerComponent& speaker);
    // Whether the speaker clipboard holds settings to paste.
    static bool canPaste();
    // Empties the speaker clipboard.
    static void clearClipboard();

protected:
    ~SpeakerClipboardItem() override;

private:
    static Tessel::SharedPtr<SpeakerClipboardItem>& clipboard();
};

} // namespace Vellaris
