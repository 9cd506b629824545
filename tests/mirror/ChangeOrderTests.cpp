// The desk's changes against the speaker's news that is older than they are: a "Synchronize" the
// speaker built before it read a change, and the echo of an earlier value. Packets go between the
// mirror and the simulator's server classes in the order a connection keeps, each direction
// delivered when the test says, as a busy desk reads them late; both wire forms.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"
#include "tests/mirror/ServedSpeaker.h"

namespace
{

using MirrorTest::ServedSpeaker;
using MirrorTest::Wire;

class ChangeOrder : public ::testing::TestWithParam<bool>
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
        served = std::make_unique<ServedSpeaker>(wire.serverEnd, GetParam());
        served->param("line/ch1", "volume")->setValue(-30.0f, false);
        desk = new Vellaris::LK::SpeakerRootComponent(&wire.deskEnd, &wire.deskEnd);
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
    // A change as a control or the remote control makes it: one edit gesture.
    static void setInOneGesture(Tessel::IParameter* param, double value)
    {
        param->beginEdit();
        param->setValue(Tessel::Variant(value), true);
        param->endEdit();
    }
    // The speaker holds what the mirror shows.
    void expectSpeakerHolds(const char* component, const char* name)
    {
        const std::string path = std::string(component) + "/" + name;
        EXPECT_NEAR(served->param(component, name)->getNormalized(), mirrored(path)->getNormalized(), 1e-5)
            << path;
    }

    Tessel::HeadlessPlatform platform;
    Wire wire;
    std::unique_ptr<ServedSpeaker> served;
    Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent> desk;
};

} // namespace

// A speaker appears and the desk changes it at once (a venue recalling its settings, a remote
// control): the speaker answers the "Subscribe" with its state before it reads the changes.
TEST_P(ChangeOrder, ChangesMadeWhileTheFirstStateIsOnItsWayKeepTheirValue)
{
    served->param("line/ch1", "delay")->setEnabled(false);
    desk->connect(MirrorTest::kServedHandle);
    Tessel::IParameter* volume = mirrored("line/ch1/volume");
    setInOneGesture(volume, -9.0);
    mirrored("line/ch1/mute")->setValue(Tessel::Variant(1LL), true);
    mirrored("line/ch1/delay")->setValue(Tessel::Variant(5.0), true);

    wire.deliverToServer(*served);
    wire.deliverToDesk(*desk, 1); // the state, read before the changes
    EXPECT_NEAR(volume->getValue().asDouble(), -9.0, 1e-4);
    EXPECT_EQ(mirrored("line/ch1/mute")->getValue().asInt(), 1);
    // A disabled parameter refuses the change: the speaker's value stands.
    EXPECT_FALSE(mirrored("line/ch1/delay")->isEnabled());
    EXPECT_NEAR(mirrored("line/ch1/delay")->getNormalized(),
                served->param("line/ch1", "delay")->getNormalized(), 1e-5);

    pump();
    EXPECT_NEAR(volume->getValue().asDouble(), -9.0, 1e-4);
    expectSpeakerHolds("line/ch1", "volume");
    expectSpeakerHolds("line/ch1", "mute");
    expectSpeakerHolds("line/ch1", "delay");
}

// The connection came back (or the speaker had dropped the subscription): the desk subscribes
// again and changes a value before the answer arrives.
TEST_P(ChangeOrder, AStateAskedForBeforeAChangeDoesNotTakeItBack)
{
    desk->connect(MirrorTest::kServedHandle);
    pump();
    Tessel::IParameter* volume = mirrored("line/ch1/volume");
    setInOneGesture(volume, -12.0);
    pump();

    desk->reconnect();
    setInOneGesture(volume, -20.0);
    mirrored("line/ch1/mute")->setValue(Tessel::Variant(1LL), true);
    pump();
    EXPECT_NEAR(volume->getValue().asDouble(), -20.0, 1e-4);
    EXPECT_EQ(mirrored("line/ch1/mute")->getValue().asInt(), 1);
    expectSpeakerHolds("line/ch1", "volume");

    // Once answered, a state the speaker sends later is newer than the desk's change, and counts.
    served->server().holdWhile([&] { served->param("line/ch1", "volume")->setValue(-3.0f, true); });
    pump();
    EXPECT_GT(volume->getValue().asDouble(), -19.0);
    expectSpeakerHolds("line/ch1", "volume");
}

// Steps faster than the speaker's echoes (a held key, a wheel): the echo of an earlier step must
// neither show nor become the base of the next step.
TEST_P(ChangeOrder, TheEchoOfAnEarlierStepDoesNotTakeBackALaterOne)
{
    desk->connect(MirrorTest::kServedHandle);
    pump();
    Tessel::IParameter* volume = mirrored("line/ch1/volume");
    volume->setValue(Tessel::Variant(-12.0), true);
    pump();

    volume->setValue(Tessel::Variant(-11.0), true);
    volume->setValue(Tessel::Variant(-10.0), true);
    wire.deliverToServer(*served);
    wire.deliverToDesk(*desk, 1); // the echo of -11, while -10 is on its way
    EXPECT_NEAR(volume->getValue().asDouble(), -10.0, 1e-4);
    volume->setValue(Tessel::Variant(volume->getValue().asDouble() + 1), true);
    pump();
    EXPECT_NEAR(volume->getValue().asDouble(), -9.0, 1e-3);
    expectSpeakerHolds("line/ch1", "volume");
}

INSTANTIATE_TEST_SUITE_P(BothForms, ChangeOrder, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info)
                         { return info.param ? "BelowSpeaker" : "AtRoot"; });
