// Undo and redo of what the user does to one speaker: edits, preset loads, resets and pastes, with
// the values that go to the speaker, changes that arrive from the speaker, and a speaker that
// leaves and comes back.
#include <string>

#include "protocol/ParamPackets.h"
#include "speaker/PresetListModel.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/UndoHistory.h"
#include "tests/speaker/PresetTestSupport.h"

namespace
{

using namespace PresetTest;
using Vellaris::SpeakerNetworkItem;

const std::string kVolume = "line/ch1/volume";
const std::string kThirdBandGain = "line/ch1/eq/eqgain3";

// The entries of `now` that differ from `then`, as "path: then -> now" lines.
std::string differences(const std::map<std::string, std::string>& then,
                        const std::map<std::string, std::string>& now)
{
    std::string text;
    for (const auto& [path, value] : now)
    {
        auto it = then.find(path);
        if (it == then.end() || it->second != value)
            text += path + ": " + (it == then.end() ? "-" : it->second) + " -> " + value + "\n";
    }
    return text;
}

class SpeakerUndo : public PresetFixture
{
protected:
    Tessel::UndoHistory& history() { return *Tessel::GetUndoHistory(); }
    // A drag of the parameter at `path` to `value`, as a fader does it.
    void drag(SpeakerNetworkItem* item, const std::string& path, double to)
    {
        Tessel::IParameter* p = param(item, path);
        p->beginEdit();
        p->setValue(Tessel::Variant(to), true);
        p->endEdit();
    }
    // The last normalised value sent to a speaker for `wirePath`, or -1.
    float lastSent(const std::string& wirePath) const
    {
        for (auto it = library.values.rbegin(); it != library.values.rend(); ++it)
            if (it->first == wirePath)
                return it->second;
        return -1;
    }
    // A value the speaker itself reports, as its "PV" arrives.
    void fromSpeaker(SpeakerNetworkItem* item, const std::string& wirePath, double value)
    {
        Tessel::IParameter* p = param(item, wirePath);
        Vellaris::LK::ParamValuePacket packet{};
        Vellaris::LK::buildValuePacket(packet, 1, 1, wirePath, 0,
                                       float(p->getValueNormalized(Tessel::Variant(value))));
        item->getRoot()->handlePacket(0, &packet.base.header);
    }
    void save(const std::string& name)
    {
        press(inspector, "savePreset");
        type(inspector, name);
        press(inspector, "okPreset");
    }
};

TEST_F(SpeakerUndo, AFaderDragIsOneStepNamedAfterTheSpeakerAndUndoReachesTheSpeaker)
{
    SpeakerNetworkItem* a = announce(1, "111", "TX20A");
    const double before = value(a, kVolume);
    drag(a, kVolume, -6);
    ASSERT_EQ(history().countUndoSteps(), 1u);
    EXPECT_EQ(history().getUndoName(), "Volume TX20A");
    library.values.clear();

    ASSERT_TRUE(history().undo());
    EXPECT_DOUBLE_EQ(value(a, kVolume), before);
    EXPECT_NEAR(lastSent("line/ch1/volume"), param(a, kVolume)->getNormalized(), 1e-6)
        << "the speaker follows";
    ASSERT_TRUE(history().redo());
    EXPECT_DOUBLE_EQ(value(a, kVolume), -6);
    EXPECT_EQ(history().countUndoSteps(), 1u) << "replay is not recorded again";
}

TEST_F(SpeakerUndo, ChangesFromTheSpeakerAreNotRecordedAndUndoStillRestoresThisDesksValue)
{
    SpeakerNetworkItem* a = announce(1, "111", "TX20A");
    const double before = value(a, kVolume);
    drag(a, kVolume, -6);
    platform.advance(2000); // past the guard that keeps echoes of a released fader away
    fromSpeaker(a, "line/ch1/volume", -20);
    ASSERT_NEAR(value(a, kVolume), -20, 0.01);
    EXPECT_EQ(history().countUndoSteps(), 1u) << history().getUndoName();

    history().undo();
    EXPECT_DOUBLE_EQ(value(a, kVolume), before);
    EXPECT_NE(history().getStatus().find("changed elsewhere"), std::string::npos) << history().getStatus();
}

TEST_F(SpeakerUndo, SelectionIsNotRecorded)
{
    SpeakerNetworkItem* a = announce(1, "111");
    select(a);
    a->setSelected(false, false);
    EXPECT_FALSE(history().canUndo()) << history().getUndoName();
}

TEST_F(SpeakerUndo, APresetLoadIsOneStepThatGivesBackEveryValue)
{
    SpeakerNetworkItem* a = announce(1, "111", "TX20A");
    SpeakerNetworkItem* b = announce(2, "222", "TX10A");
    param(a, kVolume)->setValue(Tessel::Variant(-7.5), true);
    param(a, kThirdBandGain)->setValue(Tessel::Variant(4.0), true);
    select(a);
    save("Hang");
    param(b, kVolume)->setValue(Tessel::Variant(-2.0), true);
    param(b, kThirdBandGain)->setValue(Tessel::Variant(-3.0), true);
    select(b);
    platform.advance(1000);
    const auto beforeLoad = storedValues(*b->getSpeakerComponent(), nullptr);
    const size_t steps = history().countUndoSteps();

    inspector->getPresetList()->clickCell(0, 0, {});
    press(inspector, "loadPreset");
    ASSERT_DOUBLE_EQ(value(b, kThirdBandGain), 4.0);
    ASSERT_EQ(history().countUndoSteps(), steps + 1);
    EXPECT_EQ(history().getUndoName(), "Load Preset TX10A");

    history().undo();
    EXPECT_EQ(differences(beforeLoad, storedValues(*b->getSpeakerComponent(), nullptr)), "");
    history().redo();
    EXPECT_DOUBLE_EQ(value(b, kVolume), -7.5);
    EXPECT_DOUBLE_EQ(value(b, kThirdBandGain), 4.0);
}

TEST_F(SpeakerUndo, ResetsAndPastesAreOneStepEach)
{
    SpeakerNetworkItem* a = announce(1, "111", "TX20A");
    SpeakerNetworkItem* b = announce(2, "222", "TX30A");
    param(a, kVolume)->setValue(Tessel::Variant(-4.0), true);
    param(a, "line/ch1/delay")->setValue(Tessel::Variant(12.0), true);
    param(b, kThirdBandGain)->setValue(Tessel::Variant(5.0), true);
    param(b, "line/ch1/notch/notchfreq1")->setValue(Tessel::Variant(2500.0), true);
    param(b, "line/ch1/delay")->setValue(Tessel::Variant(7.0), true);
    select(b);
    platform.advance(1000);
    const auto original = storedValues(*b->getSpeakerComponent(), nullptr);

    press(inspector, "resetEQ");
    EXPECT_EQ(history().getUndoName(), "Reset EQ TX30A");
    press(inspector, "resetNotch");
    EXPECT_EQ(history().getUndoName(), "Reset Notch TX30A");
    press(inspector, "resetSpeaker");
    EXPECT_EQ(history().getUndoName(), "Reset Speaker TX30A");
    history().undo();
    history().undo();
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/notch/notchfreq1"), 2500.0);
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/delay"), 7.0);
    EXPECT_NE(value(b, kThirdBandGain), 5.0) << "the EQ reset is still in place";
    history().undo();
    EXPECT_EQ(differences(original, storedValues(*b->getSpeakerComponent(), nullptr)), "");

    // A paste over b, undone: b has all it had.
    select(a);
    press(inspector, "copySpeaker");
    select(b);
    press(inspector, "pasteSpeaker");
    ASSERT_DOUBLE_EQ(value(b, "line/ch1/delay"), 12.0);
    EXPECT_EQ(history().getUndoName(), "Paste TX30A");
    history().undo();
    EXPECT_EQ(differences(original, storedValues(*b->getSpeakerComponent(), nullptr)), "");
    history().redo();
    EXPECT_DOUBLE_EQ(value(b, kVolume), -4.0);
}

TEST_F(SpeakerUndo, ASpeakerThatLeftIsFoundAgainWhenItComesBack)
{
    SpeakerNetworkItem* a = announce(1, "111", "TX20A");
    drag(a, kVolume, -9);
    withdraw(1);
    // Not in a venue: the step has nowhere to put the value and says so.
    history().undo();
    EXPECT_NE(history().getStatus().find("skipped: 111 is not there"), std::string::npos)
        << history().getStatus();

    SpeakerNetworkItem* back = announce(2, "111", "TX20A");
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(history().canRedo()) << "a speaker that shows up records nothing: "
                                     << history().getUndoName();
    fromSpeaker(back, "line/ch1/volume", -30);
    history().redo();
    EXPECT_DOUBLE_EQ(value(back, kVolume), -9)
        << "the new tree of the same serial number takes the step: " << history().getStatus();
}

} // namespace
