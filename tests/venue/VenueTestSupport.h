#pragma once

// A venue over a speaker list fed by a stand-in network library: speakers come and go without
// processes, files go to a private documents folder, time runs on the headless clock.

#include <gtest/gtest.h>

#include <string>

#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Application.h"
#include "tests/common/SpeakerListFixture.h"
#include "venue/SpeakerRoom.h"
#include "venue/Venue.h"
#include "venue/VenueManager.h"

namespace VenueTest
{

class VenueFixture : public NetworkTest::SpeakerListFixture
{
protected:
    void SetUp() override;

    // Places the speaker `serial` in `group` (default: the active room's first group).
    Vellaris::SpeakerPosition* place(const std::string& serial, Vellaris::SpeakerGroup* group = nullptr);
    Vellaris::SpeakerRoom* room() const { return venue->getActiveRoom(); }

    Vellaris::VenueManager* manager = nullptr;          // owned by the root component
    Vellaris::Venue* venue = nullptr;                   // owned by the manager
    Tessel::Component* inspector = nullptr;             // a stand-in "Inspector"
};

} // namespace VenueTest
