// The channel processing components: graphic equaliser signals and flags, the input channel's
// mute and the room's solo, and the speaker's composite equaliser hookup.
#include <gtest/gtest.h>

#include <vector>

#include "speaker/GEQComponent.h"
#include "speaker/InputComponent.h"
#include "speaker/VenueSide.h"
#include "tests/speaker/SpeakerTestSupport.h"

using namespace SpeakerTest;

namespace
{

// A venue side with an active room that records unsolo calls.
class FakeVenue : public Tessel::Component, public Vellaris::IVenueSide, public Vellaris::IActiveRoom
{
public:
    FakeVenue() : Component(kComponentName) {}
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Vellaris::IVenueSide)
        TESSEL_QUERY_INTERFACE(Vellaris::IActiveRoom)
        return Component::queryInterface(iid);
    }
    int retain() override { return Component::retain(); }
    int release() override { return Component::release(); }
    bool isShowingVenue() const override { return true; }
    bool isShowingNetwork() const override { return false; }
    IActiveRoom* getActiveRoom() const override { return const_cast<FakeVenue*>(this); }
    void removeSpeakerFromRooms(const std::string&) override {}
    void speakerGone(const std::string&, Vellaris::SpeakerNetworkItem*) override {}
    bool isLocked() const override { return false; }
    bool holdsSpeaker(const Vellaris::SpeakerComponent*) const override { return true; }
    void setSolo(Vellaris::SpeakerComponent*, bool) override {}
    void unsolo() override { ++unsolos; }

    int unsolos = 0;
};

class Processing : public SpeakerFixture
{
protected:
    Vellaris::GEQComponent* geq() const
    {
        return Tessel::classCast<Vellaris::GEQComponent>(speaker->lookupChild("line/ch1/geq"));
    }
};

} // namespace

TEST_F(Processing, GraphicEqualiserSignalsBandsOnlyForBandGains)
{
    ASSERT_TRUE(geq());
    Tessel::AutoPtr<MessageLog> log = new MessageLog;
    geq()->addObserver(log);
    param("line/ch1/geq/on")->setValue(1, false);
    param("line/ch1/geq/ston")->setValue(1, false);
    EXPECT_EQ(log->count("bandsChanged"), 0);
    param("line/ch1/geq/gain31")->setValue(3.0, false);
    param("line/ch1/geq/gain1")->setValue(-3.0, false);
    EXPECT_EQ(log->count("bandsChanged"), 2);
    geq()->removeObserver(log);
}

TEST_F(Processing, GraphicEqualiserMarksEveryParameterForTheViews)
{
    for (int i = 0; i < geq()->countParameters(); ++i)
        EXPECT_TRUE(geq()->getParameterAt(i)->isFlag(Tessel::ParamFlags::kViewHint))
            << geq()->getParameterAt(i)->getName();
    EXPECT_FALSE(param("line/ch1/eq/eqgain1")->isFlag(Tessel::ParamFlags::kViewHint));
}

TEST_F(Processing, GraphicEqualiserResponseFollowsItsBands)
{
    EXPECT_EQ(Vellaris::GEQComponent::getBandFrequency(0), 20.0f);
    EXPECT_EQ(Vellaris::GEQComponent::getBandFrequency(17), 1000.0f);
    EXPECT_STREQ(Vellaris::GEQComponent::getBandLabel(30), "20k");
    EXPECT_STREQ(Vellaris::GEQComponent::getBandLabel(31), "");
    Filtra::ResponseGrid grid;
    grid.prepare(20, 20000, 1024);
    std::vector<float> curve(1024, 5.0f);
    geq()->getResponse(grid, curve.data());
    for (float db : curve)
        EXPECT_EQ(db, 0.0f);
    param("line/ch1/geq/gain18")->setValue(6.0, false); // 1 kHz
    geq()->getResponse(grid, curve.data());
    int peak = 0;
    for (int i = 1; i < 1024; ++i)
        if (curve[size_t(i)] > curve[size_t(peak)])
            peak = i;
    EXPECT_NEAR(grid.getFrequency(peak), 1000.0f, 60.0f);
    EXPECT_NEAR(curve[size_t(peak)], 6.0f, 0.3f);
    EXPECT_NEAR(curve[0], 0.0f, 0.05f);
}

TEST_F(Processing, InputMuteReleasedByHandEndsTheRoomSolo)
{
    Tessel::AutoPtr<FakeVenue> venue = new FakeVenue;
    venue->retain();
    Tessel::getRootComponent()->addChild(venue);
    Tessel::IParameter* mute = param("line/ch1/mute");
    mute->setValue(1, false);
    mute->setValue(0); // a program's change, not a gesture
    EXPECT_EQ(venue->unsolos, 0);
    mute->setValue(1);
    mute->beginEdit();
    mute->setValue(1);
    EXPECT_EQ(venue->unsolos, 0) << "muting does not end the solo";
    mute->setValue(0);
    mute->endEdit();
    EXPECT_EQ(venue->unsolos, 1);
    mute->setValue(0, false); // an echo
    EXPECT_EQ(venue->unsolos, 1);
    Tessel::getRootComponent()->removeChild(venue);
}

TEST_F(Processing, InputMuteWithoutAVenueDoesNothingButReachesTheSpeaker)
{
    Tessel::IParameter* mute = param("line/ch1/mute");
    mute->setValue(1, false);
    mute->beginEdit();
    mute->setValue(0);
    mute->endEdit();
    EXPECT_EQ(sentValues("line/ch1/mute"), 1);
}

TEST_F(Processing, SpeakerHandsEqThenNotchToTheComposite)
{
    ASSERT_TRUE(composite());
    ASSERT_EQ(composite()->countMembers(), 2);
    EXPECT_EQ(composite()->getMember(0), eq());
    EXPECT_EQ(composite()->getMember(1), notch());
    EXPECT_EQ(composite()->getMember(2), nullptr);
    composite()->addMember(eq());
    EXPECT_EQ(composite()->countMembers(), 2) << "a member is added once";
    EXPECT_EQ(composite()->getDisplayRange().maxLevel, 15.0f);
    EXPECT_EQ(composite()->getEditorConstant(), 0);
}

TEST_F(Processing, AnEmptyCompositeHasNoBands)
{
    Tessel::AutoPtr<Vellaris::EqCompositeComponent> empty = new Vellaris::EqCompositeComponent;
    EXPECT_EQ(empty->getNumBands(), 0);
    float curve[4] = {1, 1, 1, 1};
    EXPECT_FALSE(empty->getBandCurve(curve, 0, 4));
    empty->setGain(0, 3.0f);
    empty->editBand(0, true);
    EXPECT_TRUE(empty->getSummedCurve(curve, 4));
    EXPECT_EQ(curve[0], 0.0f);
}

TEST_F(Processing, OutputLimiterAndMultiLimiterAreMirroredParts)
{
    EXPECT_STREQ(speaker->lookupChild("output/ch2")->getClassName(), "OutputComponent");
    EXPECT_STREQ(speaker->lookupChild("line/ch1/limit")->getClassName(), "LimiterComponent");
    EXPECT_STREQ(speaker->lookupChild("output/ch1/multilimiter")->getClassName(), "MultiLimiterComponent");
    param("line/ch1/limit/threshold")->setValue(-6.0);
    EXPECT_EQ(sentValues("line/ch1/limit/threshold"), 1);
    param("output/ch1/multilimiter/ratio")->setValue(4.0);
    EXPECT_EQ(sentValues("output/ch1/multilimiter/ratio"), 1);
}
