// Three real simulators, each seeing its own Wi-Fi networks, against roomdesk's core with the
// Wi-Fi setup: the merged list, and a join that takes all three onto the chosen network.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "netsetup/NetworkSetupManager.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tessel/IParameter.h"
#include "tests/common/ChildProcess.h"
#include "roomctl/MirrorSession.h"

namespace
{

using NetworkTest::ChildProcess;
using Vellaris::NetworkSetupManager;
using Vellaris::SpeakerNetworkItem;
using Vellaris::Tools::MirrorSession;

constexpr int64_t kSeconds = 1000;
constexpr const char* kPassword = "pa55-w0rd-kept-secret";

struct Simulated
{
    const char* model;
    const char* serial;
    const char* networks;
};

const Simulated kSimulators[] = {
    {"TX10A", "123456789", "Venue<&#&>80<&#&>locked;Backstage<&#&>60<&#&>open;Cafe*Bar<&#&>30<&#&>open"},
    {"TX20A", "987654321", "Venue<&#&>55<&#&>locked;Backstage<&#&>70<&#&>open"},
    {"TX30A", "555555555", "Venue<&#&>90<&#&>locked;Office<&#&>40<&#&>locked;Backstage<&#&>65<&#&>open"},
};

std::unique_ptr<ChildProcess> startSimulator(const Simulated& simulated)
{
    ::setenv("TARNSIM_WIFI", simulated.networks, 1);
    auto process = std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{simulated.model});
    ::unsetenv("TARNSIM_WIFI");
    return process;
}

std::string speakerText(SpeakerNetworkItem* item, const char* name)
{
    Tessel::IParameter* param =
        item && item->getSpeakerComponent() ? item->getSpeakerComponent()->findParameter(name) : nullptr;
    return param ? param->getValue().asString() : std::string();
}

bool reportsNetworks(SpeakerNetworkItem* item)
{
    Tessel::IParameter* list = item && item->getSpeakerComponent()
                                   ? item->getSpeakerComponent()->findParameter("networklist")
                                   : nullptr;
    return list && list->countEntries() > 0 && !list->getEntry(0).empty();
}

TEST(WifiSetupWithSimulators, MergesTheirNetworksAndAJoinBringsAllThreeBackOnTheChosenOne)
{
    NetworkTest::useNewDiscoveryScope();
    MirrorSession session;
    ASSERT_TRUE(session.isStarted()) << session.getError();
    NetworkSetupManager* setup = NetworkSetupManager::create();

    std::vector<std::unique_ptr<ChildProcess>> simulators;
    for (const Simulated& simulated : kSimulators)
        simulators.push_back(startSimulator(simulated));

    auto allReport = [&]
    {
        for (const Simulated& simulated : kSimulators)
        {
            SpeakerNetworkItem* item = session.findSpeaker(simulated.serial);
            if (!MirrorSession::isSynchronized(item) || !reportsNetworks(item))
                return false;
        }
        return true;
    };
    ASSERT_TRUE(session.getPlatform().runUntil(allReport, 20 * kSeconds));
    // The list follows within the rebuild delay of the first report.
    ASSERT_TRUE(session.getPlatform().runUntil([&] { return setup->getWifis().size() == 4; },
                                               NetworkSetupManager::kRebuildDelayMs + 5 * kSeconds));

    std::vector<std::string> listed;
    for (const auto& wifi : setup->getWifis())
        listed.push_back(wifi->name + (wifi->common ? " common" : "") + (wifi->locked ? " locked" : "") +
                         " " + std::to_string(int(wifi->strength)));
    EXPECT_EQ(listed, (std::vector<std::string>{"Backstage common 60", "Venue common locked 55",
                                                "Office locked 40", "Cafe*Bar 30"}));

    Vellaris::WifiListModel& list = setup->getListModel();
    ASSERT_TRUE(list.clickRow(1, {}));
    ASSERT_EQ(setup->getJoinSsid(), "Venue");
    ASSERT_EQ(setup->findParameter("needsPassword")->getValue().asInt(), 1);
    setup->findParameter("password")->setValue(Tessel::Variant(kPassword));
    setup->findParameter("passwordJoin")->setValue(Tessel::Variant(1));

    for (auto& simulator : simulators)
    {
        ASSERT_TRUE(session.getPlatform().runUntil(
            [&] { return simulator->output().find("Back on the network") != std::string::npos; },
            15 * kSeconds))
            << simulator->output();
        EXPECT_NE(simulator->output().find("Joining Wi-Fi network \"Venue\""), std::string::npos);
    }
    auto allBack = [&]
    {
        for (const Simulated& simulated : kSimulators)
        {
            SpeakerNetworkItem* item = session.findSpeaker(simulated.serial);
            if (!MirrorSession::isSynchronized(item) || speakerText(item, "current_ssid") != "Venue")
                return false;
        }
        return true;
    };
    EXPECT_TRUE(session.getPlatform().runUntil(allBack, 20 * kSeconds));
    for (auto& simulator : simulators)
    {
        EXPECT_EQ(simulator->output().find(kPassword), std::string::npos) << simulator->output();
        EXPECT_EQ(simulator->errors().find(kPassword), std::string::npos);
    }
}

} // namespace
