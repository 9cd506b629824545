#pragma once

// A venue over a speaker list fed by a stand-in network library: speakers come and go without
// processes, files go to a private documents folder, time runs on the headless clock.

#include <gtest/gtest.h>

#include <string>

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Application.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tests/network/FakeLibrary.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"

namespace VenueTest
{

class VenueFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Announces a speaker device and returns its item.
    Vellaris::SpeakerNetworkItem* announce(int server, const char* serial, const char* model = "TX10A");
    void withdraw(int server);
    // Places the speaker `serial` in `group` (default: the active room's first group).
    Vellaris::SpeakerPosition* place(const std::string& serial, Vellaris::SpeakerGroup* group = nullptr);
    Vellaris::SpeakerRoom* room() const { return venue->getActiveRoom(); }
    static Tessel::IParameter* param(Vellaris::SpeakerNetworkItem* item, const std::string& path);
    static double value(Vellaris::SpeakerNetworkItem* item, const std::string& path);

public:
    // The text of a file, "" when it cannot be read.
    static std::string readText(const std::string& path);

protected:
    // Any warning so far that contains `text`.
    bool warned(const std::string& text) const;

    // The library outlives the platform: speaker roots still held by posted messages are released
    // when the platform goes, and they unregister from the library then.
    NetworkTest::FakeLibrary library;
    Tessel::HeadlessPlatform platform;
    std::string documents;
    Vellaris::SpeakerNetworkManager* network = nullptr; // owned by the root component
    Vellaris::VenueManager* manager = nullptr;          // owned by the root component
    Vellaris::Venue* venue = nullptr;                   // owned by the manager
    Tessel::Component* inspector = nullptr;             // a stand-in "Inspector"
};

} // namespace VenueTest
