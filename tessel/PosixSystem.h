#pragma once

#include <string>

#include "tessel/ISystem.h"

namespace Tessel
{

// The system service on POSIX desktops. Folders: support = the program's own folder; documents =
// $XDG_DOCUMENTS_DIR or ~/Documents; settings = $XDG_CONFIG_HOME or ~/.config, plus "/roomdesk";
// temp = $TMPDIR or /tmp. Computer model from the firmware's product name (else "Linux PC"),
// identifier from /etc/machine-id (else the host name), name from gethostname.
class PosixSystem : public ISystem
{
public:
    std::string getLocation(const std::string& kind) const override;
    void getComputerInfo(Attributes& info) const override;
    std::string getComputerName() const override;

    // The folder of the running program, without a trailing "/".
    static std::string getProgramFolder();
};

} // namespace Tessel
