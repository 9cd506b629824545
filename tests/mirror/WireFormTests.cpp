// Both wire forms of a speaker against the desk's mirror: a served tree built at its root (as
// tarnsim serves it, paths "line/ch1/volume") and one built below a top-level "Speaker" component
// (paths "Speaker/line/ch1/volume", state under "children" → "Speaker"). Packets travel in memory
// between the mirror and the simulator's server classes, byte for byte as the library carries
// them; the mirror learns the form from the first "Synchronize" and keeps to it both ways.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "mirror/ClientRootComponent.h"
#include "tarnsim/DummyComponent.h"
#include "tarnsim/ServerRootComponent.h"
#include "tarnsim/SpeakerDefinitions.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"
#include "tests/common/IdleNetworkManager.h"

namespace
{

constexpr int kServer = 3;
constexpr int kClient = 7;

using Form = Vellaris::LK::ClientRootComponent::WireForm;

// One record in flight: a fixed record's bytes, or a JSON record's header and its data.
struct InFlight
{
    std::vector<uint64_t> record; // 8-byte aligned storage for the record
    std::string data;             // "JM"/"ZM" data, NUL-terminated
    bool json = false;
};

class Wire
{
public:
    class End : public TestSupport::IdleNetworkManager, public lknet::IFileTransferManager
    {
    public:
        End(Wire& wire, bool desk) : wire(wire), desk(desk) {}
        int registerClient(int* handle, lknet::IEventHandler*) override
        {
            *handle = kClient;
            return 0;
        }
        int send(const lknet::Packet* packet, int) override
        {
            wire.carry(*packet, desk ? wire.toServer : wire.toDesk);
            return 0;
        }
        int handlePacket(int, const lknet::Packet*) override { return 0; }
        void cancelTransfers(int, int) override {}

    private:
        Wire& wire;
        bool desk;
    };

    End deskEnd{*this, true};
    End serverEnd{*this, false};
    std::deque<InFlight> toServer, toDesk;
    std::vector<std::string> serverPaths; // paths of the parameter packets the server received

    void carry(const lknet::Packet& packet, std::deque<InFlight>& queue)
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

    // Delivers everything in flight, both ways, until both directions are quiet.
    void pump(Vellaris::LK::ClientRootComponent& desk, Core::Portable::ServerRootComponent& server)
    {
        while (!toServer.empty() || !toDesk.empty())
        {
            while (!toServer.empty())
            {
                InFlight item = std::move(toServer.front());
                toServer.pop_front();
                const lknet::Packet* packet = open(item);
                if (!item.json && packet->size >= 16 + 128)
                    serverPaths.emplace_back(reinterpret_cast<const char*>(packet) + 16);
                server.server().handlePacket(kServer, packet);
            }
            while (!toDesk.empty())
            {
                InFlight item = std::move(toDesk.front());
                toDesk.pop_front();
                desk.handlePacket(kClient, open(item));
            }
        }
    }

private:
    static const lknet::Packet* open(InFlight& item)
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
};

// The emulated speaker's tree, served at the root or below a top-level "Speaker" component.
class ServedSpeaker : public Core::Portable::ServerRootComponent
{
public:
    ServedSpeaker(Wire::End& network, bool levelled) : ServerRootComponent(&network, &network)
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
        server().setHandle(kServer);
        prefix = levelled ? "Speaker/" : "";
    }
    Core::Portable::Parameter* param(const std::string& component, const char* name)
    {
        const std::string path = component.empty() ? prefix.substr(0, prefix.size() - 1) : prefix + component;
        Core::Portable::Component* owner = path.empty() ? this : findDescendant(path);
        return owner ? owner->findParameter(name) : nullptr;
    }
    std::string prefix;
};

struct FormCase
{
    bool levelled;
    Form expected;
};

class WireForms : public ::testing::TestWithParam<FormCase>
{
protected:
    static void SetUpTestSuite()
    {
        Tessel::runInitializers();
        ASSERT_TRUE(Vellaris::registerSpeakerClasses());
    }
    void SetUp() override
    {
        platform.setTime(50000);
        served = std::make_unique<ServedSpeaker>(wire.serverEnd, GetParam().levelled);
        served->param("", "nickname")->fromText("Balcony", false);
        served->param("line/ch1", "mute")->setValue(1.0f, false);
        desk = new Vellaris::LK::SpeakerRootComponent(&wire.deskEnd, &wire.deskEnd);
        desk->connect(kServer);
        pump();
    }
    void TearDown() override
    {
        desk = nullptr;
        served.reset();
    }
    void pump() { wire.pump(*desk, *served); }
    Tessel::IParameter* mirrored(const std::string& path) const
    {
        return desk->getSpeaker()->lookupParameter(path);
    }

    Tessel::HeadlessPlatform platform;
    Wire wire;
    std::unique_ptr<ServedSpeaker> served;
    Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent> desk;
};

} // namespace

TEST_P(WireForms, TheFirstSynchronizeDecidesTheFormAndFillsTheMirror)
{
    EXPECT_EQ(desk->getWireForm(), GetParam().expected);
    ASSERT_NE(mirrored("nickname"), nullptr);
    EXPECT_EQ(mirrored("nickname")->toString(), "Balcony");
    EXPECT_EQ(mirrored("line/ch1/mute")->getValue().asInt(), 1);
}

TEST_P(WireForms, ChangesTravelBothWaysInTheSpeakersForm)
{
    wire.serverPaths.clear();
    mirrored("line/ch1/mute")->setValue(Tessel::Variant(0LL), true);
    mirrored("nickname")->fromString("Stage left", true);
    pump();
    EXPECT_EQ(served->param("line/ch1", "mute")->getValue(), 0.0f);
    EXPECT_EQ(served->param("", "nickname")->text(), "Stage left");
    ASSERT_EQ(wire.serverPaths.size(), 2u);
    EXPECT_EQ(wire.serverPaths[0], served->prefix + "line/ch1/mute");
    EXPECT_EQ(wire.serverPaths[1], served->prefix + "nickname");

    // The speaker's own change (its echo path included) reaches the mirror.
    served->param("line/ch1", "mute")->setValue(1.0f, true);
    served->param("", "nickname")->fromText("Delay tower", true);
    pump();
    EXPECT_EQ(mirrored("line/ch1/mute")->getValue().asInt(), 1);
    EXPECT_EQ(mirrored("nickname")->toString(), "Delay tower");
}

TEST_P(WireForms, TheDesksSynchronizeReachesTheServedTree)
{
    mirrored("line/ch1/mute")->setValue(Tessel::Variant(0LL), false);
    mirrored("nickname")->fromString("Pushed", false);
    wire.toServer.clear();
    desk->pushValues();
    pump();
    EXPECT_EQ(served->param("line/ch1", "mute")->getValue(), 0.0f);
    EXPECT_EQ(served->param("", "nickname")->text(), "Pushed");
}

TEST_P(WireForms, ASecondSpeakerOnTheSameRootIsLearntAfresh)
{
    // Disconnecting forgets the form; the other form's speaker then decides it again.
    desk->disconnect(true);
    pump();
    EXPECT_EQ(desk->getWireForm(), Form::Unknown);
    ServedSpeaker other(wire.serverEnd, !GetParam().levelled);
    other.param("", "nickname")->fromText("Other", false);
    served.reset();
    desk->connect(kServer);
    wire.pump(*desk, other);
    EXPECT_EQ(desk->getWireForm(), GetParam().levelled ? Form::AtRoot : Form::Levelled);
    EXPECT_EQ(mirrored("nickname")->toString(), "Other");
    desk = nullptr;
}

INSTANTIATE_TEST_SUITE_P(BothForms, WireForms,
                         ::testing::Values(FormCase{false, Form::AtRoot}, FormCase{true, Form::Levelled}),
                         [](const ::testing::TestParamInfo<FormCase>& info)
                         { return info.param.levelled ? "BelowSpeaker" : "AtRoot"; });
