#include "tests/mirror/ServedSpeaker.h"

#include <cstring>
#include <memory>

#include "mirror/ClientRootComponent.h"
#include "tarnsim/DummyComponent.h"
#include "tarnsim/SpeakerDefinitions.h"

namespace MirrorTest
{

namespace
{

const lknet::Packet* open(Wire::InFlight& item)
{
    auto* packet = reinterpret_cast<lknet::Packet*>(item.record.data());
    if (item.json)
    {
        auto* record = reinterpret_cast<lknet::JsonPacket*>(packet);
        record->data = item.data.c_str();
        record->length = static_cast<uint32_t>(item.data.size());
    }
    return packet;
}

} // namespace

void Wire::carry(const lknet::Packet& packet, std::deque<InFlight>& queue)
{
    InFlight item;
    if (packet.type == lknet::kPacketJsonMessage || packet.type == lknet::kPacketZipMessage)
    {
        const auto& record = reinterpret_cast<const lknet::JsonPacket&>(packet);
        item.json = true;
        item.data.assign(record.data, record.length);
        item.record.resize((sizeof(lknet::JsonPacket) + 7) / 8);
        std::memcpy(item.record.data(), &packet, sizeof(lknet::JsonPacket));
    }
    else
    {
        item.record.resize((packet.size + 7) / 8);
        std::memcpy(item.record.data(), &packet, packet.size);
    }
    queue.push_back(std::move(item));
}

void Wire::deliverToServer(Core::Portable::ServerRootComponent& server)
{
    while (!toServer.empty())
    {
        InFlight item = std::move(toServer.front());
        toServer.pop_front();
        const lknet::Packet* packet = open(item);
        if (!item.json && packet->size >= 16 + 128)
            serverPaths.emplace_back(reinterpret_cast<const char*>(packet) + 16);
        server.server().handlePacket(kServedHandle, packet);
    }
}

void Wire::deliverToDesk(Vellaris::LK::ClientRootComponent& desk, size_t count)
{
    for (; count > 0 && !toDesk.empty(); --count)
    {
        InFlight item = std::move(toDesk.front());
        toDesk.pop_front();
        desk.handlePacket(kDeskHandle, open(item));
    }
}

void Wire::pump(Vellaris::LK::ClientRootComponent& desk, Core::Portable::ServerRootComponent& server)
{
    while (!toServer.empty() || !toDesk.empty())
    {
        deliverToServer(server);
        deliverToDesk(desk);
    }
}

ServedSpeaker::ServedSpeaker(Wire::End& network, bool levelled) : ServerRootComponent(&network, &network)
{
    using Vellaris::Tarn::DummyComponent;
    namespace Definitions = Vellaris::Tarn::Definitions;
    Core::Portable::Component* top = this;
    if (levelled)
        top = addChild(std::make_unique<DummyComponent>("Speaker"));
    top->addParameters(Definitions::kSpeaker);
    Core::Portable::Component* line = top->addChild(std::make_unique<DummyComponent>("line"));
    Core::Portable::Component* channel = line->addChild(std::make_unique<DummyComponent>("ch1"));
    channel->addParameters(Definitions::kChannel);
    channel->addChild(std::make_unique<DummyComponent>("limit"))->addParameters(Definitions::kLimiter);
    channel->addChild(std::make_unique<DummyComponent>("eq"))->addParameters(Definitions::kEq8);
    server().setHandle(kServedHandle);
    prefix = levelled ? "Speaker/" : "";
}

Core::Portable::Parameter* ServedSpeaker::param(const std::string& component, const char* name)
{
    const std::string path = component.empty() ? prefix.substr(0, prefix.size() - 1) : prefix + component;
    Core::Portable::Component* owner = path.empty() ? this : findDescendant(path);
    return owner ? owner->findParameter(name) : nullptr;
}

} // namespace MirrorTest
