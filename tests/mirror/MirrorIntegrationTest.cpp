// A speaker mirror built from the component model, subscribed to a real tarnsim over loopback.

#include <gtest/gtest.h>

#include <cmath>

#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "protocol/ParamPath.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tests/tarnsim/SimulatorProcess.h"

using namespace TestSupport;
using namespace Vellaris::LK;
using Core::Portable::Attributes;

namespace
{

constexpr Milliseconds kLimit(10000);

// Compares every value of a simulator's "Synchronize" object with the mirror below `prefix`;
// returns the differences, one line each.
void compare(const Attributes& state, const std::string& prefix, Tessel::Component& root,
             std::vector<std::string>& differences, int& compared)
{
    if (const Attributes* values = state.getAttributes(Message::kValues))
    {
        for (const auto& entry : *values)
        {
            const std::string path = prefix + "/" + std::string(entry.name());
            // Meters and the temperature move by themselves between a snapshot and the mirror.
            if (path.find("meter") != std::string::npos || path.find("temperature") != std::string::npos)
                continue;
            Tessel::IParameter* param = root.lookupParameter(path);
            if (!param)
            {
                differences.push_back(path + ": missing in the mirror");
                continue;
            }
            ++compared;
            if (entry.value().isText())
            {
                if (param->toString() != entry.value().text())
                    differences.push_back(path + ": \"" + param->toString() + "\" against \"" +
                                          std::string(entry.value().text()) + "\"");
            }
            else if (std::fabs(param->getNormalized() - entry.value().toDouble()) > 1e-4)
                differences.push_back(path + ": " + std::to_string(param->getNormalized()) + " against " +
                                      std::to_string(entry.value().toDouble()));
        }
    }
    if (const Attributes* children = state.getAttributes(Message::kChildren))
        for (const auto& child : *children)
            if (const Attributes* content = child.value().attributes())
                compare(*content, prefix + "/" + std::string(child.name()), root, differences, compared);
}

} // namespace

TEST(MirrorWithSimulator, TakesTheWholeStateAndItsChangesComeBackAsEchoes)
{
    newDiscoveryScope();
    Tessel::HeadlessPlatform platform;
    platform.setTime(1000);
    Tessel::runInitializers();
    ASSERT_TRUE(Vellaris::registerSpeakerClasses());

    ServerWatcher watcher;
    SimulatorProcess sim({"TX40S"});
    auto server = watcher.waitFor("TX40S", kLimit);
    ASSERT_TRUE(server) << sim.output();

    // A plain client reads the simulator's own state for comparison.
    TestClient reader;
    reader.subscribe(server->handle);
    ASSERT_TRUE(pumpUntil([&] { return !reader.messages(Message::kSubscriptionReply).empty(); }, kLimit));
    const MessageAttributes state = reader.messages(Message::kSynchronize).at(0);

    Tessel::AutoPtr<SpeakerRootComponent> root = new SpeakerRootComponent;
    ASSERT_NE(root->getClient(), 0);
    // The mirror's idle tick (keep-alives) runs on the headless clock, which follows real time here.
    const auto began = Clock::now();
    auto idle = [&]
    {
        platform.setTime(1000 + std::chrono::duration_cast<Milliseconds>(Clock::now() - began).count());
        root->onIdle();
    };
    std::vector<std::string> differences;
    int compared = 0;
    auto mirrored = [&](const MessageAttributes& expected)
    {
        idle();
        differences.clear();
        compared = 0;
        compare(expected, "Speaker", *root, differences, compared);
        return differences.empty();
    };
    // A value from before the subscription that the speaker's state must replace.
    root->lookupParameter("Speaker/nickname")->fromString("Stale");
    EXPECT_FALSE(mirrored(state));
    root->connect(server->handle);
    EXPECT_TRUE(pumpUntil([&] { return mirrored(state); }, kLimit)) << ::testing::PrintToString(differences);
    EXPECT_GT(compared, 50);

    // Changes made in the mirror reach the speaker, which echoes them to every subscriber.
    root->lookupParameter("Speaker/nickname")->fromString("Mirror Left");
    Tessel::IParameter* contour = root->lookupParameter("Speaker/contour");
    ASSERT_NE(contour, nullptr);
    const int64_t newContour = contour->getValue().asInt() == 1 ? 2 : 1;
    contour->setValue(newContour);
    auto echoed = [&](const std::string& path, uint32_t type)
    {
        for (const Received* packet : reader.ofType(type))
            if (readTextField(packet->as<ParamPacketBase>().path, kPathSize) == path)
                return true;
        return false;
    };
    ASSERT_TRUE(pumpUntil(
        [&]
        {
            idle();
            return echoed("nickname", lknet::kPacketParamString) &&
                   echoed("contour", lknet::kPacketParamValue);
        },
        kLimit));
    // The mirror's own echo arrived too and changed nothing.
    pumpUntil(
        [&]
        {
            idle();
            return false;
        },
        Milliseconds(100));
    EXPECT_EQ(root->lookupParameter("Speaker/nickname")->toString(), "Mirror Left");
    EXPECT_EQ(contour->getValue().asInt(), newContour);

    // A fresh subscription sees the new values in the speaker's state.
    TestClient later;
    later.subscribe(server->handle);
    ASSERT_TRUE(pumpUntil(
        [&]
        {
            idle();
            return !later.messages(Message::kSubscriptionReply).empty();
        },
        kLimit));
    const MessageAttributes after = later.messages(Message::kSynchronize).at(0);
    EXPECT_TRUE(mirrored(after)) << ::testing::PrintToString(differences);
    EXPECT_EQ(after.getAttributes(Message::kValues)->getText("nickname"), "Mirror Left");

    root->disconnect(true);
    later.unsubscribe();
    reader.unsubscribe();
    pumpFor(Milliseconds(50));
}
