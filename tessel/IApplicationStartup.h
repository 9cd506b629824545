#pragma once

#include "tessel/IUnknown.h"

namespace Tessel
{

// The object the start-up routine hands to IGUI::initialize: the GUI calls it when the event loop
// is about to run and after it has ended.
class IApplicationStartup : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0030, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x30};

    // Starts the application (menus, skin, main window). Returning false makes runEventLoop end at
    // once with exit code 1 (after calling shutdownApplication).
    virtual bool startupApplication() = 0;
    // Called once after the loop has ended (also after a failed start-up).
    virtual void shutdownApplication() = 0;
};

} // namespace Tessel
