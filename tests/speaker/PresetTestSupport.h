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
#include "tessel/IStorageFilter.h"
#include "tests/common/SpeakerListFixture.h"

namespace PresetTest
{

// Path -> text of every storable parameter of `component` and below that `filter` lets through
// for storing (all when null).
std::map<std::string, std::string> storedValues(Tessel::Component& component, Tessel::IStorageFilter* filter);

class PresetFixture : public NetworkTest::SpeakerListFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Selects `item` as a click in the speaker list does (the inspector follows).
    void select(Vellaris::SpeakerNetworkItem* item);
    // Runs the command parameter `name` of `component` as the skin's button does.
    static void press(Tessel::Component* component, const std::string& name);
    static void type(Tessel::Component* component, const std::string& text);
    std::string speakerFolder() const;

    Vellaris::SpeakerInspector* inspector = nullptr;    // owned by the root component
    Vellaris::MasterInspector* master = nullptr;        // owned by the root component
};

} // namespace PresetTest
