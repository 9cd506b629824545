#pragma once

// The inspectors over a speaker list fed by a stand-in network library and a venue with one
// active room: presets go to a private documents folder, time runs on the headless clock.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "speaker/MasterInspector.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerInspector.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IStorageFilter.h"
#include "tests/network/FakeLibrary.h"

namespace PresetTest
{

// Path -> text of every storable parameter of `component` and below that `filter` lets through
// for storing (all when null).
std::map<std::string, std::string> storedValues(Tessel::Component& component, Tessel::IStorageFilter* filter);

class PresetFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    Vellaris::SpeakerNetworkItem* announce(int server, const char* serial, const char* model = "TX10A");
    void withdraw(int server);
    // Selects `item` as a click in the speaker list does (the inspector follows).
    void select(Vellaris::SpeakerNetworkItem* item);
    static Tessel::IParameter* param(Vellaris::SpeakerNetworkItem* item, const std::string& path);
    static double value(Vellaris::SpeakerNetworkItem* item, const std::string& path);
    // Runs the command parameter `name` of `component` as the skin's button does.
    static void press(Tessel::Component* component, const std::string& name);
    static void type(Tessel::Component* component, const std::string& text);
    std::string speakerFolder() const;
    static std::string readText(const std::string& path);
    static void writeText(const std::string& path, const std::string& text);
    bool alerted(const std::string& text) const;

    NetworkTest::FakeLibrary library;
    Tessel::HeadlessPlatform platform;
    std::string documents;
    Vellaris::SpeakerNetworkManager* network = nullptr; // owned by the root component
    Vellaris::SpeakerInspector* inspector = nullptr;    // owned by the root component
    Vellaris::MasterInspector* master = nullptr;        // owned by the root component
};

} // namespace PresetTest
