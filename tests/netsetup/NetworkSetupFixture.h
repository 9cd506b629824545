#pragma once

// The Wi-Fi setup over a speaker list fed by the stand-in network library, on the headless clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netsetup/NetworkSetupManager.h"
#include "protocol/MessageNames.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/CommandMsg.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/ListParam.h"
#include "tests/common/FakeLibrary.h"

namespace NetsetupTest
{

using NetworkTest::FakeLibrary;
using Vellaris::NetworkSetupManager;
using Vellaris::SpeakerNetworkItem;
using Vellaris::SpeakerNetworkManager;
using Vellaris::Wifi;

class Recorder : public Tessel::Object
{
public:
    std::vector<std::string> ids;
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override
    {
        ids.push_back(msg.getID() + (msg.getArgCount() ? " " + msg.getArg(0).asString() : ""));
    }
};

class NetworkSetup : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Vellaris::registerSpeakerClasses()); }

    NetworkSetup()
    {
        // As in the program: the setup exists before the speaker list.
        setup = NetworkSetupManager::create();
        speakers = new SpeakerNetworkManager(&library);
        Tessel::getRootComponent()->addChild(speakers);
        speakers->startup();
    }
    ~NetworkSetup() override { Tessel::destroyRootComponent(); }

    SpeakerNetworkItem* add(int server, const char* serial)
    {
        library.setDevice(server, "127.0.0.1", "", uint16_t(4000 + server));
        library.announce(server, "TX10A", "SPK", serial);
        platform.advance(0);
        return speakers->findItemBySerial(serial);
    }
    static void report(SpeakerNetworkItem* item, const std::vector<std::string>& entries)
    {
        Tessel::IParameter* list = item->getSpeakerComponent()->findParameter("networklist");
        ASSERT_TRUE(list);
        auto* original = dynamic_cast<Tessel::ListParam*>(list->getOriginal());
        ASSERT_TRUE(original);
        original->setEntries(entries);
    }
    // Lets the scheduled rebuild run.
    void settle() { platform.advance(NetworkSetupManager::kRebuildDelayMs + NetworkSetupManager::kTimerMs); }
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& wifi : setup->getWifis())
            result.push_back(wifi->name + (wifi->common ? " common" : ""));
        return result;
    }
    Tessel::IParameter* param(const char* name) const { return setup->findParameter(name); }
    std::string text(const char* name) const { return param(name)->getValue().asString(); }
    int64_t value(const char* name) const { return param(name)->getValue().asInt(); }
    bool property(const char* name) const
    {
        Tessel::Variant result;
        EXPECT_TRUE(setup->getProperty(name, result));
        return result.asInt() != 0;
    }
    std::vector<Vellaris::LK::MessageAttributes> joinRequests() const
    {
        std::vector<Vellaris::LK::MessageAttributes> found;
        for (const auto& message : library.messages)
            if (message.messageId() == Vellaris::LK::Message::kRequestNetworkChange)
                found.push_back(message);
        return found;
    }

    Tessel::HeadlessPlatform platform;
    FakeLibrary library;
    NetworkSetupManager* setup = nullptr;      // owned by the root component
    SpeakerNetworkManager* speakers = nullptr; // owned by the root component
};

} // namespace NetsetupTest
