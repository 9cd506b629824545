#include "mirror/MenuCommandHandler.h"

#include "mirror/ClientRootComponent.h"
#include "protocol/AsciiText.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"

namespace Vellaris::LK
{

MenuCommandHandler::MenuCommandHandler(std::weak_ptr<ClientRootComponent*> root, std::string wirePath)
    : root(std::move(root)), wirePath(std::move(wirePath))
{
}

void* MenuCommandHandler::queryInterface(const Tessel::UID& iid)
{
    if (iid == Tessel::ICommandHandler::kIID)
        return static_cast<Tessel::ICommandHandler*>(this);
    return Unknown::queryInterface(iid);
}

bool MenuCommandHandler::interpretCommand(const Tessel::CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    std::shared_ptr<ClientRootComponent*> alive = root.lock();
    if (!alive || !*alive)
        return true;
    ClientRootComponent& owner = **alive;
    MessageAttributes invoke(Message::kInvokeMenu, uint32_t(owner.getClient()), uint32_t(owner.getServer()));
    // Like every text the desk sends, the command goes out as ASCII.
    invoke.setText(Message::kParamName, toAscii(wirePath));
    invoke.setText(Message::kCommandCategory, toAscii(msg.category));
    invoke.setText(Message::kCommandName, toAscii(msg.name));
    owner.sendMessage(invoke, false);
    return true;
}

} // namespace Vellaris::LK
