#include <gtest/gtest.h>
#include <map>

#include <cmath>

#include "protocol/PacketRecords.h"
#include "protocol/ParamPackets.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tests/mirror/FakeNetwork.h"

using namespace MirrorTest;
using Vellaris::SpeakerComponent;
using Vellaris::LK::SpeakerRootComponent;

namespace
{

// Counts "propertyChanged" messages by property name.
class PropertyWatcher : public Tessel::Object
{
public:
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override
    {
        if (msg.is(Tessel::Messages::kPropertyChanged))
            names.push_back(msg.getArg(0).asString());
    }
    std::vector<std::string> names;
};

class Speaker : public ::testing::Test
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
        root = new SpeakerRootComponent(&network, &network);
        speaker = root->getSpeaker();
        root->connect(3);
        network.clear();
    }

    Tessel::IParameter* param(const std::string& path) const { return speaker->lookupParameter(path); }
    bool command(const std::string& name, bool checkOnly = false)
    {
        return speaker->interpretCommand(Tessel::CommandMsg("Speaker", name, checkOnly));
    }
    double volume() const { return speaker->getVolume()->getValue().asDouble(); }

    Tessel::HeadlessPlatform platform;
    FakeNetwork network;
    Tessel::AutoPtr<SpeakerRootComponent> root;
    SpeakerComponent* speaker = nullptr;
};

} // namespace

TEST(SpeakerStep, SnapsToTheStepGridBeforeStepping)
{
    EXPECT_NEAR(SpeakerComponent::stepValue(0.1, 0.2, true), 0.4, 1e-9);
    EXPECT_NEAR(SpeakerComponent::stepValue(-0.3, 0.2, false), -0.6, 1e-9);
    EXPECT_NEAR(SpeakerComponent::stepValue(0.0, 0.5, false), -0.5, 1e-9);
    EXPECT_NEAR(SpeakerComponent::stepValue(2.04, 0.1, true), 2.1, 1e-9);
    EXPECT_NEAR(SpeakerComponent::stepValue(-0.3f, 0.2, false), -0.6, 1e-6) << "single-precision input";
}

TEST_F(Speaker, IsBuiltFromTheModelBelowAnEmptyRoot)
{
    EXPECT_EQ(root->getName(), "");
    EXPECT_EQ(speaker->getName(), "Speaker");
    EXPECT_EQ(root->countChildren(), 1);
    ASSERT_NE(speaker->getVolume(), nullptr);
    EXPECT_NE(speaker->getThreshold(), nullptr);
    EXPECT_NE(speaker->getCompositeEq(), nullptr);
    EXPECT_NE(root->lookupParameter("Speaker/line/ch1/volume"), nullptr);
    EXPECT_TRUE(speaker->isKindOfType("Speaker"));
    EXPECT_TRUE(speaker->acceptsCommandCategory("Speaker"));
    for (const char* name : {"selected", "temperature", "elastic", "solo", "thermalstate", "id", "volumeUp",
                             "volumeDown", "volumeUnity", "delayUp", "delayDown", "threshUp", "threshDown"})
        EXPECT_NE(speaker->findParameter(name), nullptr) << name;
    EXPECT_EQ(SpeakerComponent::getContextMenuItems().size(), 2u);
}

TEST_F(Speaker, EveryTaggedParameterIsFoundByItsOwnTag)
{
    // The local parameters must not take tags the model gives the speaker's own parameters
    // ("statusled1" and "statusled2" hold 100 and 101).
    std::map<int32_t, std::string> seen;
    for (int i = 0; i < speaker->countParameters(); ++i)
    {
        Tessel::IParameter* p = speaker->getParameterAt(i);
        if (p->getTag() == 0)
            continue;
        auto [at, fresh] = seen.emplace(p->getTag(), p->getName());
        EXPECT_TRUE(fresh) << p->getName() << " and " << at->second << " share tag " << p->getTag();
        EXPECT_EQ(speaker->getParameterByTag(p->getTag()), p) << p->getName();
    }
    EXPECT_EQ(speaker->getParameterByTag(100), speaker->findParameter("statusled1"));
}

TEST_F(Speaker, LocalParametersCarryTheirFlags)
{
    using namespace Tessel::ParamFlags;
    EXPECT_TRUE(param("solo")->isFlag(kPublic));
    EXPECT_TRUE(param("solo")->isFlag(kStorable));
    for (const char* local : {"elastic", "thermalstate", "id", "selected", "temperature"})
        EXPECT_FALSE(param(local)->isFlag(kPublic)) << local;
    EXPECT_FALSE(param("comments")->isFlag(kStorable));
    EXPECT_TRUE(param("nickname")->isFlag(kStorable));
    EXPECT_TRUE(param("networklist")->isFlag(kViewHint));
    EXPECT_TRUE(param("current_ssid")->isFlag(kViewHint));
    EXPECT_DOUBLE_EQ(param("elastic")->getMin().asDouble(), -84.0 - 94.0);
    EXPECT_DOUBLE_EQ(param("elastic")->getMax().asDouble(), 10.0 + 94.0);
}

TEST_F(Speaker, VolumeStepsSnapAndStopAtTheRange)
{
    speaker->getVolume()->setValue(0.1, false);
    EXPECT_TRUE(command("Increase Volume"));
    EXPECT_NEAR(volume(), 0.4, 1e-9);
    speaker->getVolume()->setValue(-0.3, false);
    EXPECT_TRUE(command("Decrease Volume"));
    EXPECT_NEAR(volume(), -0.6, 1e-9);
    speaker->getVolume()->setValue(10.0, false);
    EXPECT_TRUE(command("Increase Volume"));
    EXPECT_DOUBLE_EQ(volume(), 10.0);
    EXPECT_TRUE(command("Volume Unity", true));
    EXPECT_DOUBLE_EQ(volume(), 10.0) << "a check-only command changes nothing";
    EXPECT_TRUE(command("Volume Unity"));
    EXPECT_DOUBLE_EQ(volume(), 0.0);
}

TEST_F(Speaker, DelayAndThresholdStepsAndTheirCommandParameters)
{
    speaker->getDelay()->setValue(2.04, false);
    param("delayUp")->setValue(1);
    EXPECT_NEAR(speaker->getDelay()->getValue().asDouble(), 2.1, 1e-9);
    speaker->getThreshold()->setValue(-3.2, false);
    EXPECT_TRUE(command("Decrease Threshold"));
    EXPECT_NEAR(speaker->getThreshold()->getValue().asDouble(), -3.5, 1e-9);
    EXPECT_TRUE(command("Increase Threshold"));
    EXPECT_NEAR(speaker->getThreshold()->getValue().asDouble(), -3.0, 1e-9);
}

TEST_F(Speaker, ThermalStateFollowsTheCelsiusTemperature)
{
    Tessel::IParameter* celsius = param("temperature_c");
    Tessel::IParameter* state = param("thermalstate");
    celsius->setValue(64, false);
    EXPECT_DOUBLE_EQ(state->getValue().asDouble(), 0.0);
    celsius->setValue(65, false);
    EXPECT_DOUBLE_EQ(state->getValue().asDouble(), 0.5);
    celsius->setValue(70, false);
    EXPECT_DOUBLE_EQ(state->getValue().asDouble(), 0.5);
    celsius->setValue(71, false);
    EXPECT_DOUBLE_EQ(state->getValue().asDouble(), 1.0);
}

TEST_F(Speaker, PropertiesFollowModelNetworksAndOptionCard)
{
    Tessel::AutoPtr<PropertyWatcher> watcher = new PropertyWatcher;
    speaker->addObserver(watcher);
    Tessel::Variant value;

    EXPECT_FALSE(speaker->isSubWoofer());
    param("model")->fromString("Tarn TX40S rev B", false);
    ASSERT_TRUE(speaker->getProperty("isSubWoofer", value));
    EXPECT_EQ(value.asInt(), 1);

    EXPECT_FALSE(speaker->anyWifiVisible()) << "an empty network list";
    param("networklist")->appendEntry("");
    EXPECT_FALSE(speaker->anyWifiVisible()) << "an empty first entry";
    param("networklist")->clearEntries();
    param("networklist")->appendEntry("Venue-5G");
    ASSERT_TRUE(speaker->getProperty("anyWifiVisible", value));
    EXPECT_EQ(value.asInt(), 1);

    EXPECT_FALSE(speaker->isCorra());
    param("optioncard")->setValue(1, false);
    EXPECT_TRUE(speaker->isCorra());
    param("current_ssid")->fromString("Venue-5G", false);

    speaker->removeObserver(watcher);
    auto count = [&](const std::string& name)
    { return std::count(watcher->names.begin(), watcher->names.end(), name); };
    EXPECT_EQ(count("isSubWoofer"), 1);
    EXPECT_GE(count("anyWifiVisible"), 3);
    EXPECT_EQ(count("isCorra"), 1);
}

TEST_F(Speaker, ElasticShadowsTheVolumeAndKeepsItsOffsetBeyondTheRange)
{
    Tessel::IParameter* elastic = param("elastic");
    speaker->getVolume()->setValue(-6.0, false); // as the speaker's value arrives
    EXPECT_DOUBLE_EQ(elastic->getValue().asDouble(), -6.0);

    elastic->setValue(14.0); // a group move past the top
    EXPECT_DOUBLE_EQ(volume(), 10.0);
    EXPECT_DOUBLE_EQ(elastic->getValue().asDouble(), 14.0);
    elastic->setValue(12.0); // still past the top: the volume does not move
    EXPECT_DOUBLE_EQ(volume(), 10.0);
    EXPECT_DOUBLE_EQ(elastic->getValue().asDouble(), 12.0);
    elastic->setValue(4.0);
    EXPECT_DOUBLE_EQ(volume(), 4.0);

    speaker->getVolume()->setValue(-20.0, false);
    EXPECT_DOUBLE_EQ(elastic->getValue().asDouble(), -20.0);
}

TEST_F(Speaker, SubwooferGetsItsRestoredContourBackButAFreshMirrorKeepsTheSpeakers)
{
    Tessel::IParameter* contour = param("contour");
    contour->setValue(2, false);
    param("model")->fromString("TX40S", false);
    EXPECT_EQ(contour->getValue().asInt(), 2) << "nothing was restored";

    contour->setValue(1, false);
    speaker->restoreFinished();
    contour->setValue(0, false);
    param("model")->fromString("TX10A", false);
    EXPECT_EQ(contour->getValue().asInt(), 0);
    network.clear();
    param("model")->fromString("TX40S", false);
    EXPECT_EQ(contour->getValue().asInt(), 1);
    ASSERT_EQ(network.sent.size(), 1u);
    EXPECT_EQ(network.sent[0].path, "contour");
}

TEST_F(Speaker, PublicChangesTravelWithoutTheSpeakerLevelAndStampLastChange)
{
    EXPECT_EQ(root->lastChange(), 0);
    param("nickname")->fromString("Left Fill");
    ASSERT_EQ(network.sent.size(), 1u);
    EXPECT_EQ(network.sent[0].path, "nickname");
    EXPECT_EQ(network.sent[0].text, "Left Fill");
    EXPECT_EQ(root->lastChange(), 50000);

    platform.setTime(51000);
    param("selected")->setValue(1); // alias of wink: public but not storable
    ASSERT_EQ(network.sent.size(), 2u);
    EXPECT_EQ(network.sent[1].path, "wink");
    EXPECT_EQ(root->lastChange(), 50000);

    {
        Vellaris::LK::ParamValuePacket packet;
        Vellaris::LK::buildValuePacket(
            packet, 3, 7, "line/ch1/volume", 0,
            float(speaker->getVolume()->getValueNormalized(Tessel::Variant(-12.0))));
        root->handlePacket(7, &packet.base.header);
        EXPECT_NEAR(volume(), -12.0, 1e-3);
    }
}

TEST_F(Speaker, MeterValuesReachTheBallisticsOfTheirView)
{
    Vellaris::LK::MeterPacket packet;
    Vellaris::LK::buildByteMeterPacket(packet, 3, 0x6C657673);
    packet.valueCount = 3;
    packet.groupCount = 2;
    packet.groups[0] = {0, 0, 1}; // the input
    packet.groups[1] = {4, 1, 2}; // outputs 1 and 2
    packet.values[0] = 255;
    packet.values[1] = 64;
    packet.values[2] = 0;
    root->handlePacket(7, &packet.header);
    EXPECT_FLOAT_EQ(speaker->getViewBallistics(0).getDisplayed(), 1.0f) << "raw value without a view";
    EXPECT_NEAR(speaker->getViewBallistics(1).getDisplayed(), 64 / 255.0, 1e-6);

    Filtra::MeterView* view = speaker->getMeterView(1);
    ASSERT_NE(view, nullptr);
    platform.setTime(60000); // everything has decayed
    speaker->idleTick();
    root->handlePacket(7, &packet.header);
    const float expected = view->markPosition(float(20 * std::log10(64 / 255.0)));
    EXPECT_NEAR(speaker->getViewBallistics(1).getDisplayed(), expected, 1e-5);
    speaker->idleTick();
    EXPECT_NEAR(view->getLevel(), expected, 1e-5);
    EXPECT_NEAR(view->getLevelDb(), 20 * std::log10(64 / 255.0), 0.01);
}

TEST_F(Speaker, GainReductionMetersHangFromTheTop)
{
    Vellaris::LK::MeterPacket packet;
    Vellaris::LK::buildByteMeterPacket(packet, 3, Vellaris::LK::kMeterKindGainReduction);
    packet.valueCount = 5;
    packet.groupCount = 1;
    packet.groups[0] = {4, 0, 5};
    for (int i = 0; i < 5; ++i)
        packet.values[i] = 255;
    packet.values[1] = 128; // about -6 dB on output 2
    root->handlePacket(7, &packet.header);
    Filtra::MeterIdleBallistics& second = speaker->getPeakReduction(1);
    ASSERT_TRUE(second.isBound());
    EXPECT_TRUE(second.isInverted());
    const double decibels = 20 * std::log10(128 / 255.0);
    EXPECT_NEAR(second.getDisplayed(), (decibels + 12) / 12, 1e-5);
    EXPECT_NEAR(root->lookupParameter("Speaker/output/ch2/gr_peakmeter")->getValue().asDouble(), decibels,
                1e-3);
    EXPECT_FLOAT_EQ(speaker->getRmsReduction(1).getDisplayed(), 1.0f) << "meter id 0 was not sent";

    platform.setTime(50000 + 300);
    speaker->idleTick();
    EXPECT_FLOAT_EQ(second.getDisplayed(), 1.0f) << "back at rest after the decay time";
}

TEST_F(Speaker, ReductionDisplaysShowTheOutputsGainReductionAsADepthFromTheTop)
{
    Tessel::AutoPtr<Tessel::Object> second = speaker->createView("ReductionDisplay2");
    ASSERT_NE(second.get(), nullptr);
    EXPECT_EQ(speaker->createView("ReductionDisplay0"), nullptr);
    EXPECT_EQ(speaker->createView("ReductionDisplay5"), nullptr);
    auto read = [&](const char* name)
    {
        Tessel::Variant value;
        EXPECT_TRUE(second->getProperty(name, value)) << name;
        return value.asDouble();
    };
    EXPECT_DOUBLE_EQ(read("level"), 0.0) << "no reduction at rest";
    EXPECT_DOUBLE_EQ(read("peak"), -1.0);

    // About 6 dB of reduction on output 2 (and none on the others), as a gain-reduction packet
    // brings it; the output level meters are not involved.
    Vellaris::LK::MeterPacket packet;
    Vellaris::LK::buildByteMeterPacket(packet, 3, Vellaris::LK::kMeterKindGainReduction);
    packet.valueCount = 4;
    packet.groupCount = 1;
    packet.groups[0] = {4, 0, 4};
    for (int i = 0; i < 4; ++i)
        packet.values[i] = 255;
    packet.values[1] = 128;
    struct ChangeCount : Tessel::Object
    {
        int changes = 0;
        void notify(Tessel::ISubject*, const Tessel::Message& msg) override
        {
            changes += msg.is(Tessel::Messages::kChanged) ? 1 : 0;
        }
    } log;
    second->addObserver(&log);
    root->handlePacket(7, &packet.header);
    speaker->idleTick();
    const double decibels = 20 * std::log10(128 / 255.0);
    EXPECT_NEAR(read("reductionDb"), decibels, 1e-3);
    EXPECT_NEAR(read("level"), -decibels / 12, 1e-3) << "a depth of half the 12 dB range";
    EXPECT_GE(log.changes, 1);
    EXPECT_DOUBLE_EQ(speaker->getMeterView(2)->getLevel(), 0.0f) << "the output's level meter stays";

    // Back to no reduction once the decay time has passed.
    platform.setTime(50000 + 300);
    speaker->idleTick();
    EXPECT_DOUBLE_EQ(read("level"), 0.0);
    second->removeObserver(&log);
}

TEST_F(Speaker, MeterDisplayViewsExistForIndexesZeroToFour)
{
    Tessel::AutoPtr<Tessel::Object> first = speaker->createView("MeterDisplay0");
    Tessel::AutoPtr<Tessel::Object> last = speaker->createView("MeterDisplay4");
    EXPECT_NE(first.get(), nullptr);
    EXPECT_NE(last.get(), nullptr);
    EXPECT_EQ(speaker->createView("MeterDisplay5"), nullptr);
    EXPECT_EQ(speaker->createView("MeterDisplay"), nullptr);
    EXPECT_EQ(speaker->createView("CurveDisplay"), nullptr);
    Tessel::Variant index;
    ASSERT_TRUE(last->getProperty("index", index));
    EXPECT_EQ(index.asInt(), 4);
}

// --- The meters' idle task -------------------------------------------------------------------

namespace
{

// Counts "changed" from one subject (a meter view: one per repaint of the meter).
class ChangeCounter : public Tessel::Object
{
public:
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override
    {
        if (msg.is(Tessel::Messages::kChanged))
            ++count;
    }
    int count = 0;
};

void sendInputLevel(SpeakerRootComponent& root, uint8_t value)
{
    Vellaris::LK::MeterPacket packet;
    Vellaris::LK::buildByteMeterPacket(packet, 3, 0);
    packet.valueCount = 1;
    packet.groupCount = 1;
    packet.groups[0] = {0, 0, 1}; // the input
    packet.values[0] = value;
    root.handlePacket(7, &packet.header);
}

} // namespace

TEST_F(Speaker, MetersAreOnTheIdleListOnlyWhileTheyMove)
{
    Filtra::MeterView* view = speaker->getMeterView(0);
    ASSERT_NE(view, nullptr);
    platform.advance(10000); // the new view's meter settles
    ASSERT_FALSE(speaker->isMeterTaskRunning());
    const int resting = platform.getIdleTasks().count();

    sendInputLevel(*root, 200);
    EXPECT_TRUE(speaker->isMeterTaskRunning()) << "a value wakes the meters";
    EXPECT_EQ(platform.getIdleTasks().count(), resting + 1);
    sendInputLevel(*root, 100);
    EXPECT_EQ(platform.getIdleTasks().count(), resting + 1) << "joined once";

    platform.advance(1000);
    EXPECT_TRUE(speaker->isMeterTaskRunning()) << "still falling, the peak still held";
    EXPECT_GT(view->getLevel(), 0.0f);

    // Decay (3 s over the scale, approached ever more slowly) and the 3 s hold run out.
    platform.advance(40000);
    EXPECT_FALSE(speaker->isMeterTaskRunning());
    EXPECT_EQ(platform.getIdleTasks().count(), resting);
    EXPECT_LE(view->getLevel(), Filtra::MeterIdleBallistics::kRestMargin)
        << "the last step published the resting level";
    EXPECT_LE(view->getPeak(), Filtra::MeterIdleBallistics::kRestMargin);

    sendInputLevel(*root, 50);
    EXPECT_TRUE(speaker->isMeterTaskRunning()) << "and the next value wakes them again";
}

TEST_F(Speaker, MetersWithoutAViewDoNotKeepTheIdleTaskBusy)
{
    sendInputLevel(*root, 200); // no meter view asked for: nobody looks at the level
    EXPECT_FALSE(speaker->isMeterTaskRunning());

    Vellaris::LK::MeterPacket reduction;
    Vellaris::LK::buildByteMeterPacket(reduction, 3, Vellaris::LK::kMeterKindGainReduction);
    reduction.valueCount = 1;
    reduction.groupCount = 1;
    reduction.groups[0] = {4, 0, 1};
    reduction.values[0] = 128;
    root->handlePacket(7, &reduction.header);
    EXPECT_TRUE(speaker->isMeterTaskRunning()) << "gain reduction moves its parameters";
    platform.advance(20000);
    EXPECT_FALSE(speaker->isMeterTaskRunning());
    EXPECT_FLOAT_EQ(speaker->getPeakReduction(0).getDisplayed(), 1.0f);
}

TEST_F(Speaker, ABurstOfMeterPacketsIsOneRepaintShowingTheLoudest)
{
    Filtra::MeterView* view = speaker->getMeterView(0);
    ASSERT_NE(view, nullptr);
    platform.advance(10000);
    Tessel::AutoPtr<ChangeCounter> counter = new ChangeCounter;
    view->addObserver(counter);

    // Several frames of one speaker arriving in one read of its socket.
    for (uint8_t value : {40, 90, 250, 60, 120})
        sendInputLevel(*root, value);
    EXPECT_EQ(counter->count, 0) << "packets only move the model";
    platform.advance(0);
    EXPECT_EQ(counter->count, 1);
    EXPECT_NEAR(view->getLevelDb(), 20 * std::log10(250 / 255.0), 0.05);
    platform.advance(0);
    EXPECT_EQ(counter->count, 1) << "no time passed, nothing moved";
    view->removeObserver(counter);
}
