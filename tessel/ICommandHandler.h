#pragma once

#include "tessel/CommandMsg.h"
#include "tessel/IUnknown.h"

namespace Tessel
{

// Something that handles commands.
class ICommandHandler : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0020, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x20};

    // Handles `msg` (or, when msg.checkOnly, only answers). Returns true when the command is
    // handled here (or would be).
    virtual bool interpretCommand(const CommandMsg& msg) = 0;
};

} // namespace Tessel
