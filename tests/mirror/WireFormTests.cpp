// Both wire forms of a speaker against the desk's mirror: a served tree built at its root (as
// tarnsim serves it, paths "line/ch1/volume") and one built below a top-level "Speaker" component
// (paths "Speaker/line/ch1/volume", state under "children" → "Speaker"). Packets travel in memory
// between the mirror and the simulator's server classes, byte for byte as the library carries
// them; the mirror learns the form from the first "Synchronize" and keeps to it both ways.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mirror/ClientRootComponent.h"
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
using Form = Vellaris::LK::ClientRootComponent::WireForm;

struct FormCase
{
    bool levelled;
    Form expected;
};

class WireForms : public ::testing::TestWithParam<FormCase>
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
        served = std::make_unique<ServedSpeaker>(wire.serverEnd, GetParam().levelled);
        served->param("", "nickname")->fromText("Balcony", false);
        served->param("line/ch1", "mute")->setValue(1.0f, false);
        desk = new Vellaris::LK::SpeakerRootComponent(&wire.deskEnd, &wire.deskEnd);
        desk->connect(MirrorTest::kServedHandle);
        pump();
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

    Tessel::HeadlessPlatform platform;
    Wire wire;
    std::unique_ptr<ServedSpeaker> served;
    Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent> desk;
};

} // namespace

TEST_P(WireForms, TheFirstSynchronizeDecidesTheFormAndFillsTheMirror)
{
    EXPECT_EQ(desk->getWireForm(), GetParam().expected);
    ASSERT_NE(mirrored("nickname"), nullptr);
    EXPECT_EQ(mirrored("nickname")->toString(), "Balcony");
    EXPECT_EQ(mirrored("line/ch1/mute")->getValue().asInt(), 1);
}

TEST_P(WireForms, ChangesTravelBothWaysInTheSpeakersForm)
{
    wire.serverPaths.clear();
    mirrored("line/ch1/mute")->setValue(Tessel::Variant(0LL), true);
    mirrored("nickname")->fromString("Stage left", true);
    pump();
    EXPECT_EQ(served->param("line/ch1", "mute")->getValue(), 0.0f);
    EXPECT_EQ(served->param("", "nickname")->text(), "Stage left");
    ASSERT_EQ(wire.serverPaths.size(), 2u);
    EXPECT_EQ(wire.serverPaths[0], served->prefix + "line/ch1/mute");
    EXPECT_EQ(wire.serverPaths[1], served->prefix + "nickname");

    // The speaker's own change (its echo path included) reaches the mirror.
    served->param("line/ch1", "mute")->setValue(1.0f, true);
    served->param("", "nickname")->fromText("Delay tower", true);
    pump();
    EXPECT_EQ(mirrored("line/ch1/mute")->getValue().asInt(), 1);
    EXPECT_EQ(mirrored("nickname")->toString(), "Delay tower");
}

TEST_P(WireForms, TheDesksSynchronizeReachesTheServedTree)
{
    mirrored("line/ch1/mute")->setValue(Tessel::Variant(0LL), false);
    mirrored("nickname")->fromString("Pushed", false);
    wire.toServer.clear();
    desk->pushValues();
    pump();
    EXPECT_EQ(served->param("line/ch1", "mute")->getValue(), 0.0f);
    EXPECT_EQ(served->param("", "nickname")->text(), "Pushed");
}

TEST_P(WireForms, ASecondSpeakerOnTheSameRootIsLearntAfresh)
{
    // Disconnecting forgets the form; the other form's speaker then decides it again.
    desk->disconnect(true);
    pump();
    EXPECT_EQ(desk->getWireForm(), Form::Unknown);
    ServedSpeaker other(wire.serverEnd, !GetParam().levelled);
    other.param("", "nickname")->fromText("Other", false);
    served.reset();
    desk->connect(MirrorTest::kServedHandle);
    wire.pump(*desk, other);
    EXPECT_EQ(desk->getWireForm(), GetParam().levelled ? Form::AtRoot : Form::Levelled);
    EXPECT_EQ(mirrored("nickname")->toString(), "Other");
    desk = nullptr;
}

INSTANTIATE_TEST_SUITE_P(BothForms, WireForms,
                         ::testing::Values(FormCase{false, Form::AtRoot}, FormCase{true, Form::Levelled}),
                         [](const ::testing::TestParamInfo<FormCase>& info)
                         { return info.param.levelled ? "BelowSpeaker" : "AtRoot"; });
