#include "mirror/NetworkPresentationManager.h"

#include "tessel/ISignalHandler.h"

#include "protocol/AsciiText.h"

#include <vector>

#include "tessel/CommandParam.h"
#include "tessel/ISystem.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/Warning.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_ABSTRACT_CLASS(NetworkPresentationManager, NetworkListener, "NetworkPresentationManager")

namespace
{
// Every text the library reports becomes a warning of the application.
void reportLibraryText(const char* line)
{
    Tessel::warning("LKNET:%s\n", line ? line : "");
}

Tessel::Variant objectArg(NetworkItem* item)
{
    return Tessel::Variant(static_cast<Tessel::Object*>(item));
}

std::vector<Tessel::SharedPtr<NetworkItem>> snapshot(const NetworkItemCollection& items)
{
    std::vector<Tessel::SharedPtr<NetworkItem>> copy;
    for (int i = 0; i < items.countItems(); ++i)
        copy.emplace_back(items.getItemAt(i));
    return copy;
}
} // namespace

NetworkPresentationManager::NetworkPresentationManager(const std::string& name,
                                                       lknet::INetworkManager* network)
    : NetworkListener(name, network), idle([this] { onIdleTick(); })
{
    LKSetReportFunction(&reportLibraryText);
    collection = new NetworkItemCollection;
    addChild(collection);
    Tessel::ParamContainer& params = getParams();
    params.addCommand("Network", "Rescan All", "rescanAll", 1);
    errorMessage = params.addString("errorMessage", 2);
    errorState = params.addParam("errorState", 3);
    params.addCommand("Network", "Simulate Errors", "simulateErrors", 4);
}

NetworkPresentationManager::~NetworkPresentationManager()
{
    idle.stop();
    // Items may outlive the manager (someone else may hold them): they must not call it back.
    for (int i = 0; i < collection->countItems(); ++i)
        collection->getItemAt(i)->setOwner(nullptr);
    if (started)
    {
        // Never leave the library with pointers to a listener that is gone.
        network->removeNetworkListener(this);
        network->removeErrorReporter(this);
    }
}

std::string NetworkPresentationManager::itemNameFor(const ServerDescription& description)
{
    const std::string& serial = description.serialNumber;
    if (!serial.empty() && serial.find('/') == std::string::npos)
        return serial;
    return "server" + std::to_string(description.serverId);
}

void NetworkPresentationManager::startup()
{
    if (started || stopped)
        return;
    std::string computerName = LK::toAscii(Tessel::GetSystem()->getComputerName());
    network->configure(computerName.c_str());
    started = network->startup() == lknet::kOk;
    if (!started)
        return;
    network->addNetworkListener(this);
    network->addErrorReporter(this);
    idle.start(0, true);
}

void NetworkPresentationManager::shutdown()
{
    if (!started)
        return;
    for (const auto& item : snapshot(*collection))
    {
        signal(Tessel::Message("itemRemoved", {objectArg(item.get())}));
        item->detach(true);
    }
    for (const auto& item : snapshot(*collection))
    {
        item->setOwner(nullptr);
        removeChild(item.get());
    }
    collection->removeAll();
    collection->signal(Tessel::Message(Tessel::Messages::kChanged));
    network->removeNetworkListener(this);
    network->removeErrorReporter(this);
    idle.stop();
    network->process();
    network->shutdown();
    // A search still running ends here: its pending end would hold the manager past the library.
    Tessel::GetSignalHandler()->cancel(this);
    searching = false;
    started = false;
    stopped = true;
    propertyChanged("hasItems");
}

NetworkItem* NetworkPresentationManager::findItemByServerId(uint32_t serverId) const
{
    for (int i = 0; i < collection->countItems(); ++i)
    {
        NetworkItem* item = collection->getItemAt(i);
        if (item->getDescription() && item->getDescription()->getServerId() == serverId)
            return item;
    }
    return nullptr;
}

void NetworkPresentationManager::onServerAvailable(ServerDescription* description)
{
    // A report still queued when the manager shut down must not bring items back.
    if (!started)
        return;
    Tessel::AutoPtr<NetworkItem> item = createItem(description);
    if (!item)
        return;
    if (description)
    {
        // A second device announcing a serial number already listed gets a name of its own, so
        // its row and its path never reach the other device; it is marked as a duplicate.
        std::string name = itemNameFor(*description);
        if (findChild(name))
        {
            Tessel::warning("Two devices announce the serial number \"%s\"\n",
                            description->serialNumber.c_str());
            name += "#" + std::to_string(description->serverId);
            item->setDuplicate(true);
        }
        item->setName(name);
    }
    collection->add(item);
    addChild(item.detach());
    NetworkItem* added = collection->getItemAt(collection->countItems() - 1);
    added->setOwner(this);
    signal(Tessel::Message("itemAdded", {objectArg(added)}));
    propertyChanged("hasItems");
}

void NetworkPresentationManager::onServerUnavailable(uint32_t serverId)
{
    if (NetworkItem* item = findItemByServerId(serverId))
        removeItemDeferred(item);
}

void NetworkPresentationManager::removeItemDeferred(NetworkItem* item)
{
    if (!item->canRemove())
    {
        deferMessage(Tessel::Message("deleteItem", {objectArg(item)}), kRemoveRetryMs);
        return;
    }
    removeItem(item);
    propertyChanged("hasItems");
}

void NetworkPresentationManager::removeItem(NetworkItem* item)
{
    Tessel::SharedPtr<NetworkItem> keep(item);
    signal(Tessel::Message("itemRemoved", {objectArg(item)}));
    item->detach(false);
    collection->remove(item);
    item->setOwner(nullptr);
    removeChild(item);
}

void NetworkPresentationManager::onNetworkError(int code, const std::string& address, uint16_t port)
{
    if (code != lknet::kErrorConnectionRestored && code != lknet::kErrorConnectionLost)
        return;
    for (const auto& item : snapshot(*collection))
    {
        ServerDescription* description = item->getDescription();
        if (!description || description->address != address || description->port != port)
            continue;
        std::string device = description->name;
        std::string host = item->findParameter("hostname")->toString();
        if (!host.empty())
            device += " " + host;
        std::string text = kConnectivityMessage;
        text.replace(text.find("%(1)"), 4, device);
        errorMessage->setValue(Tessel::Variant(text), false);
        errorState->setValue(Tessel::Variant(1), false);
        propertyChanged("hasErrors");
        item->onError(code);
    }
}

void NetworkPresentationManager::rescan()
{
    network->resume(1);
    // The banner follows "hasErrors", so clearing the error is announced like raising it.
    const bool hadErrors = errorState->getValue().asInt() != 0;
    errorState->setValue(Tessel::Variant(0), false);
    if (hadErrors)
        propertyChanged("hasErrors");
    searching = true;
    rescanMessage = "Searching the network\u2026";
    deferMessage(Tessel::Message("rescanDone", {Tessel::Variant(int64_t(++searchGeneration))}),
                 kRescanWindowMs);
    propertyChanged("searching");
    propertyChanged("rescanMessage");
}

void NetworkPresentationManager::onIdleTick()
{
    if (!started)
        return;
    network->process();
    // An item's idle work may remove items (its own or others). The item at work is held; after a
    // removal the rest of the list waits for the next tick (idle work is periodic, and a removal
    // shifts the rows).
    const uint64_t removals = collection->getRemovalCount();
    for (int i = 0; i < collection->countItems() && collection->getRemovalCount() == removals; ++i)
    {
        Tessel::SharedPtr<NetworkItem> item(collection->getItemAt(i));
        item->onIdle();
    }
}

bool NetworkPresentationManager::acceptsCommandCategory(const std::string& category) const
{
    return category == "Network";
}

bool NetworkPresentationManager::onRescanAll(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        rescan();
    return true;
}

bool NetworkPresentationManager::onSimulateErrors(const Tessel::CommandMsg& msg)
{
    if (!msg.checkOnly)
        network->simulateErrors();
    return true;
}

bool NetworkPresentationManager::getProperty(const std::string& propertyName, Tessel::Variant& value) const
{
    if (propertyName == "hasItems")
    {
        value = Tessel::Variant(!collection->isEmpty());
        return true;
    }
    if (propertyName == "hasErrors")
    {
        value = Tessel::Variant(errorState->getValue().asInt() != 0);
        return true;
    }
    if (propertyName == "searching")
    {
        value = Tessel::Variant(searching);
        return true;
    }
    if (propertyName == "rescanMessage")
    {
        value = Tessel::Variant(rescanMessage);
        return true;
    }
    return NetworkListener::getProperty(propertyName, value);
}

void NetworkPresentationManager::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is("deleteItem"))
    {
        Tessel::Object* object = Tessel::unknownCast<Tessel::Object>(msg.getArg(0).asObject());
        NetworkItem* item = Tessel::classCast<NetworkItem>(object);
        if (item && collection->contains(item))
            removeItemDeferred(item);
        return;
    }
    if (msg.is("rescanDone"))
    {
        if (msg.getArg(0).asInt() != searchGeneration || !searching)
            return;
        searching = false;
        const int answered = collection->countItems();
        rescanMessage = answered == 0   ? std::string("No speaker answered")
                        : answered == 1 ? std::string("1 speaker answered")
                                        : std::to_string(answered) + " speakers answered";
        propertyChanged("searching");
        propertyChanged("rescanMessage");
        return;
    }
    NetworkListener::notify(subject, msg);
}

TESSEL_BEGIN_COMMANDS(NetworkPresentationManager)
TESSEL_COMMAND("Network", "Rescan All", NetworkPresentationManager::onRescanAll)
TESSEL_COMMAND("Network", "Simulate Errors", NetworkPresentationManager::onSimulateErrors)
TESSEL_END_COMMANDS(NetworkPresentationManager, NetworkListener)

} // namespace Vellaris::LK
