#pragma once

#include <memory>
#include <string>

#include "tessel/ICommandHandler.h"
#include "tessel/Unknown.h"

namespace Vellaris::LK
{

class ClientRootComponent;

// The command handler of a text parameter's menu that the speaker refilled: picking an entry sends
// "InvokeMenu" with the parameter's path and the entry's command to the speaker. It knows its root
// through a weak token, so a menu that outlives its root does nothing.
class MenuCommandHandler : public Tessel::Unknown, public Tessel::ICommandHandler
{
public:
    // `root` is the token the root hands out (see ClientRootComponent::getLifeToken); `wirePath`
    // is the parameter's path as the speaker knows it.
    MenuCommandHandler(std::weak_ptr<ClientRootComponent*> root, std::string wirePath);

    void* queryInterface(const Tessel::UID& iid) override;
    int retain() override { return Unknown::retain(); }
    int release() override { return Unknown::release(); }

    // A check-only command answers true; otherwise "InvokeMenu" goes out (when the root still
    // exists) and the answer is true.
    bool interpretCommand(const Tessel::CommandMsg& msg) override;

    const std::string& getWirePath() const { return wirePath; }

private:
    std::weak_ptr<ClientRootComponent*> root;
    std::string wirePath;
};

} // namespace Vellaris::LK
