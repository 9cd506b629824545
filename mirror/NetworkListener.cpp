#include "mirror/NetworkListener.h"

#include <cstring>

#include "mirror/ServerDescription.h"
#include "tessel/ISignalHandler.h"
#include "tessel/Platform.h"

namespace Vellaris::LK
{

TESSEL_DEFINE_ABSTRACT_CLASS(NetworkListener, Tessel::Component, "NetworkListener")

NetworkListener::NetworkListener(const std::string& name, lknet::INetworkManager* network)
    : Component(name), network(network ? network : LKGetNetworkManager())
{
}

void NetworkListener::serverAvailable(int server, const lknet::ServerDescriptor* descriptor)
{
    lknet::ServerDescriptor empty;
    Tessel::AutoPtr<ServerDescription> description =
        ServerDescription::create(uint32_t(server), descriptor ? *descriptor : empty);
    lknet::DeviceInfo info; // size word set, the rest zeroed
    if (network->getDeviceInfo(&info, server) == lknet::kOk)
        description->setDeviceInfo(info);
    Tessel::GetSignalHandler()->post(
        this, Tessel::Message("serverAvailable",
                              {Tessel::Variant(static_cast<Tessel::Object*>(description.get()))}));
}

void NetworkListener::serverUnavailable(int server)
{
    Tessel::GetSignalHandler()->post(
        this, Tessel::Message("serverUnavailable", {Tessel::Variant((long long)server)}));
}

void NetworkListener::reportError(const lknet::NetworkError* error)
{
    if (!error)
        return;
    const void* end = std::memchr(error->address, '\0', sizeof error->address);
    std::string address(error->address,
                        end ? static_cast<const char*>(end) - error->address : sizeof error->address);
    Tessel::GetSignalHandler()->post(
        this, Tessel::Message("errorReported", {Tessel::Variant(error->code), Tessel::Variant(address),
                                                Tessel::Variant(error->port)}));
}

void NetworkListener::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is("serverAvailable"))
    {
        Tessel::Object* object = Tessel::unknownCast<Tessel::Object>(msg.getArg(0).asObject());
        onServerAvailable(Tessel::classCast<ServerDescription>(object));
    }
    else if (msg.is("serverUnavailable"))
    {
        const Tessel::Variant& id = msg.getArg(0);
        // An integer is used as it is, a floating number truncated, anything else means 0.
        uint32_t serverId = id.isNumeric() ? uint32_t(id.asInt()) : 0;
        onServerUnavailable(serverId);
    }
    else if (msg.is("errorReported"))
    {
        onNetworkError(int(msg.getArg(0).asInt()), msg.getArg(1).asString(),
                       uint16_t(msg.getArg(2).asInt() & 0xFFFF));
    }
    else
    {
        Component::notify(subject, msg);
    }
}

} // namespace Vellaris::LK
