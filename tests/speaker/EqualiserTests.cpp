// The equaliser engine over a speaker mirror built from the model: band layouts, the editor
// operations, the composite's index mapping, signals, the current band and the curve editor's
// gestures.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "speaker/CurveEditGesture.h"
#include "speaker/EqCurveView.h"
#include "tessel/AliasParam.h"
#include "tests/speaker/SpeakerTestSupport.h"

using namespace SpeakerTest;
namespace FilterKind = Filtra::FilterKind;

namespace
{
class Equaliser : public SpeakerFixture
{
};
} // namespace

TEST_F(Equaliser, ReadsTheBandLayoutsOfTheModel)
{
    ASSERT_TRUE(eq() && notch() && composite());
    EXPECT_EQ(eq()->getNumBands(), 8);
    EXPECT_EQ(eq()->getFilterKinds(), (std::vector<int32_t>{3, 8, 9, 6}));
    EXPECT_EQ(eq()->getBand(2)->freq.get(), param("line/ch1/eq/eqfreq3"));
    EXPECT_EQ(eq()->getBand(7)->active.get(), param("line/ch1/eq/eqbandon8"));
    EXPECT_EQ(eq()->getAllBandsSwitch(), param("line/ch1/eq/eqallon"));
    EXPECT_EQ(eq()->getDisplayRange().minLevel, -15.0f);
    EXPECT_EQ(notch()->getDisplayRange().minLevel, -48.0f);
    EXPECT_EQ(notch()->getBand(0)->type.get(), nullptr);
    EXPECT_EQ(notch()->getBand(0)->q.get(), nullptr) << "the layout names no notch Q";
    EXPECT_EQ(eq()->getEditorConstant(), -1);
    ASSERT_NE(param("line/ch1/eq/currentBand"), nullptr);
    EXPECT_EQ(param("line/ch1/eq/currentBand")->getMax().asInt(), 7);
    EXPECT_EQ(param("compeq/currentBand")->getMax().asInt(), 15);
    for (const char* alias : {"selectedType", "selectedFreq", "selectedGain", "selectedQ"})
        EXPECT_FALSE(eq()->findParameter(alias)->isFlag(Tessel::ParamFlags::kPublic)) << alias;
}

TEST_F(Equaliser, ReadsFollowTheParametersAndFallBackToTheDefaults)
{
    param("line/ch1/eq/eqtype3")->setValue(0, false);
    EXPECT_EQ(eq()->getType(2), FilterKind::kLowCut);
    param("line/ch1/eq/eqtype3")->setValue(3, false);
    EXPECT_EQ(eq()->getType(2), FilterKind::kPeaking);
    EXPECT_FLOAT_EQ(eq()->getFreq(2), 240.0f);
    EXPECT_NEAR(eq()->getQ(2), 0.71f, 1e-6f);
    // Notch bands take kind and Q from the layout's defaults.
    EXPECT_EQ(notch()->getType(0), FilterKind::kPeaking);
    EXPECT_FLOAT_EQ(notch()->getQ(0), 24.0f);
    // Out of range: the empty record, the defaults.
    EXPECT_EQ(eq()->getType(8), FilterKind::kLowShelf);
    EXPECT_FLOAT_EQ(eq()->getQ(-1), 0.7f);
    EXPECT_FLOAT_EQ(eq()->getFreq(99), 20.0f);
    EXPECT_FALSE(eq()->isActive(8));
    float curve[4];
    EXPECT_FALSE(eq()->getBandCurve(curve, 8, 4));
    EXPECT_FALSE(eq()->getBandCurve(curve, -1, 4));
}

TEST_F(Equaliser, WritesGoThroughTheParameterToTheSpeaker)
{
    eq()->setGain(2, 6.0f);
    EXPECT_DOUBLE_EQ(param("line/ch1/eq/eqgain3")->getValue().asDouble(), 6.0);
    EXPECT_EQ(sentValues("line/ch1/eq/eqgain3"), 1);
    eq()->setType(2, FilterKind::kHighShelf);
    EXPECT_EQ(param("line/ch1/eq/eqtype3")->getValue().asInt(), 2);
    eq()->setType(2, 30);
    EXPECT_EQ(param("line/ch1/eq/eqtype3")->getValue().asInt(), 0) << "a kind not in the list is index 0";
    eq()->setActive(2, true);
    EXPECT_TRUE(eq()->isActive(2));
    eq()->setGain(8, 3.0f); // out of range: nothing, no crash
    notch()->setQ(0, 3.0f); // no Q parameter: nothing
    EXPECT_FLOAT_EQ(notch()->getQ(0), 24.0f);
}

TEST_F(Equaliser, WritesAreSkippedOnReadOnlyOrDisabledParameters)
{
    Tessel::IParameter* gain = param("line/ch1/eq/eqgain3");
    gain->setFlag(Tessel::ParamFlags::kReadOnly, true);
    eq()->setGain(2, 6.0f);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), 0.0);
    gain->setFlag(Tessel::ParamFlags::kReadOnly, false);
    gain->enable(false);
    eq()->setGain(2, 6.0f);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), 0.0);
    EXPECT_EQ(sentValues("line/ch1/eq/eqgain3"), 0);
    gain->enable(true);
    eq()->setGain(2, 6.0f);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), 6.0);
}

TEST_F(Equaliser, CompositeMapsItsBandsOntoEqThenNotchAtTheSeams)
{
    Vellaris::EqCompositeComponent* comp = composite();
    ASSERT_EQ(comp->countMembers(), 2);
    EXPECT_EQ(comp->getNumBands(), 16);
    EXPECT_EQ(comp->getBand(7), eq()->getBand(7));
    EXPECT_EQ(comp->getBand(8), notch()->getBand(0));
    EXPECT_EQ(comp->getBand(9), notch()->getBand(1));
    EXPECT_EQ(comp->getBand(15), notch()->getBand(7));
    EXPECT_EQ(comp->getBand(16), nullptr);
    EXPECT_EQ(comp->getType(8), FilterKind::kPeaking) << "the notch's own defaults";
    EXPECT_FLOAT_EQ(comp->getQ(15), 24.0f);
    comp->setGain(9, -20.0f);
    EXPECT_DOUBLE_EQ(param("line/ch1/notch/notchgain2")->getValue().asDouble(), -20.0);
    comp->setFreq(7, 5000.0f);
    EXPECT_DOUBLE_EQ(param("line/ch1/eq/eqfreq8")->getValue().asDouble(), 5000.0);
    network.clear();
    comp->setGain(16, 3.0f);
    EXPECT_TRUE(network.sent.empty()) << "beyond all members a write does nothing";
    float composite[8], member[8];
    ASSERT_TRUE(comp->getBandCurve(composite, 9, 8));
    ASSERT_TRUE(notch()->getBandCurve(member, 1, 8));
    for (int i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(composite[i], member[i]);
}

TEST_F(Equaliser, BandChangesSignalTheLocalAndTheCompositeIndex)
{
    Tessel::AutoPtr<MessageLog> fromNotch = new MessageLog, fromComposite = new MessageLog;
    notch()->addObserver(fromNotch);
    composite()->addObserver(fromComposite);
    param("line/ch1/notch/notchgain3")->setValue(-6.0, false);
    EXPECT_EQ(fromNotch->bands, (std::vector<int64_t>{2}));
    EXPECT_EQ(fromComposite->bands, (std::vector<int64_t>{10}));
    param("line/ch1/eq/eqq8")->setValue(2.0, false);
    EXPECT_EQ(fromComposite->bands, (std::vector<int64_t>{10, 7}));
    param("line/ch1/eq/eqbandop1")->setValue(0, false);
    param("line/ch1/notch/notchq1")->setValue(24, false);
    EXPECT_EQ(fromComposite->bands.size(), 2u) << "parameters of no band are ignored";
    EXPECT_EQ(fromNotch->bands.size(), 1u);
    notch()->removeObserver(fromNotch);
    composite()->removeObserver(fromComposite);
}

TEST_F(Equaliser, CurrentBandPointsTheAliasesAndSignalsOnce)
{
    Tessel::AutoPtr<MessageLog> log = new MessageLog;
    eq()->addObserver(log);
    EXPECT_EQ(eq()->getCurrentBand(), -1);
    eq()->setCurrentBand(2);
    EXPECT_EQ(log->count("eqCurrentChanged"), 1);
    EXPECT_EQ(param("line/ch1/eq/currentBand")->getValue().asInt(), 2);
    auto* selectedFreq = dynamic_cast<Tessel::AliasParam*>(param("line/ch1/eq/selectedFreq"));
    ASSERT_TRUE(selectedFreq);
    EXPECT_EQ(selectedFreq->getTarget(), param("line/ch1/eq/eqfreq3"));
    eq()->setCurrentBand(2);
    EXPECT_EQ(log->count("eqCurrentChanged"), 1) << "the same band again does nothing";
    // A view writing the parameter selects too.
    param("line/ch1/eq/currentBand")->setValue(5);
    EXPECT_EQ(eq()->getCurrentBand(), 5);
    EXPECT_EQ(log->count("eqCurrentChanged"), 2);
    EXPECT_EQ(selectedFreq->getTarget(), param("line/ch1/eq/eqfreq6"));
    // Editing the alias edits the band, which reaches the speaker.
    network.clear();
    param("line/ch1/eq/selectedGain")->setValue(4.5);
    EXPECT_DOUBLE_EQ(param("line/ch1/eq/eqgain6")->getValue().asDouble(), 4.5);
    EXPECT_EQ(sentValues("line/ch1/eq/eqgain6"), 1);
    eq()->setCurrentBand(-1);
    EXPECT_EQ(selectedFreq->getTarget(), nullptr);
    // In the composite, a notch band has no type or Q to point at.
    composite()->setCurrentBand(9);
    auto* compType = dynamic_cast<Tessel::AliasParam*>(param("compeq/selectedType"));
    EXPECT_EQ(compType->getTarget(), nullptr);
    EXPECT_EQ(dynamic_cast<Tessel::AliasParam*>(param("compeq/selectedGain"))->getTarget(),
              param("line/ch1/notch/notchgain2"));
    eq()->removeObserver(log);
}

TEST_F(Equaliser, SummedCurveAddsActiveBandsAndIsFlatWhileSwitchedOff)
{
    eq()->setGain(2, 6.0f);
    eq()->setType(2, FilterKind::kPeaking);
    eq()->setActive(2, true);
    notch()->setGain(0, -12.0f);
    notch()->setActive(0, true);
    std::vector<float> sum(64);
    ASSERT_TRUE(composite()->getSummedCurve(sum.data(), 64));
    for (float db : sum)
        EXPECT_EQ(db, 0.0f) << "both all-bands switches are off";
    param("line/ch1/eq/eqallon")->setValue(1);
    ASSERT_TRUE(composite()->getSummedCurve(sum.data(), 64));
    std::vector<float> band(64);
    eq()->getBandCurve(band.data(), 2, 64);
    for (int i = 0; i < 64; ++i)
        EXPECT_NEAR(sum[size_t(i)], band[size_t(i)], 1e-4f);
    param("line/ch1/notch/notchallon")->setValue(1);
    std::vector<float> notchBand(64);
    notch()->getBandCurve(notchBand.data(), 0, 64);
    composite()->getSummedCurve(sum.data(), 64);
    EXPECT_NEAR(sum[10], band[10] + notchBand[10], 1e-4f);
    eq()->setActive(2, false);
    composite()->getSummedCurve(sum.data(), 64);
    EXPECT_NEAR(sum[10], notchBand[10], 1e-4f) << "a band that is off adds nothing";
}

TEST_F(Equaliser, CurveViewsAreMadeByNameAndFollowTheEqualiser)
{
    Tessel::AutoPtr<Tessel::Object> view = composite()->createView("CurveDisplay");
    ASSERT_TRUE(view);
    EXPECT_TRUE(Tessel::AutoPtr<Tessel::Object>(composite()->createView("CurveMicroDisplay")));
    EXPECT_TRUE(Tessel::AutoPtr<Tessel::Object>(composite()->createView("CurveSelectDisplay")));
    EXPECT_EQ(composite()->createView("GEQDisplay"), nullptr);
    Tessel::AutoPtr<MessageLog> log = new MessageLog;
    view->addObserver(log);
    param("line/ch1/eq/eqgain1")->setValue(2.0, false);
    param("line/ch1/notch/notchallon")->setValue(1, false);
    composite()->setCurrentBand(3);
    EXPECT_EQ(log->count("changed"), 3);
    view->removeObserver(log);
}

TEST_F(Equaliser, EditBandHoldsGainFrequencyAndQ)
{
    eq()->editBand(2, true);
    for (const char* name : {"eqgain3", "eqfreq3", "eqq3"})
        EXPECT_TRUE(param(std::string("line/ch1/eq/") + name)->isFlag(Tessel::ParamFlags::kEditing)) << name;
    EXPECT_FALSE(param("line/ch1/eq/eqtype3")->isFlag(Tessel::ParamFlags::kEditing));
    eq()->editBand(2, false);
    for (const char* name : {"eqgain3", "eqfreq3", "eqq3"})
        EXPECT_FALSE(param(std::string("line/ch1/eq/") + name)->isFlag(Tessel::ParamFlags::kEditing)) << name;
}

TEST_F(Equaliser, ADragIsExactlyOneEditGesturePerParameter)
{
    eq()->setType(3, FilterKind::kPeaking);
    notch()->setFreq(3, 2000.0f); // by default notch band 4 sits on eq band 4
    Tessel::AutoPtr<EditCounter> gain = new EditCounter(param("line/ch1/eq/eqgain4"));
    Tessel::AutoPtr<EditCounter> freq = new EditCounter(param("line/ch1/eq/eqfreq4"));
    Filtra::CurveEditGesture gesture(composite());
    float x = 0, y = 0;
    gesture.getHandle(3, x, y);
    EXPECT_EQ(gesture.hitBand(x + 0.001f, y, 0.02f, 0.04f), 3);
    network.clear();
    gesture.press(3, x, y, false);
    EXPECT_EQ(composite()->getCurrentBand(), 3);
    for (int step = 1; step <= 20; ++step)
        gesture.move(x + 0.01f * float(step), y - 0.01f * float(step));
    gesture.release();
    gesture.release();
    EXPECT_EQ(gain->begins, 1);
    EXPECT_EQ(gain->ends, 1);
    EXPECT_EQ(freq->begins, 1);
    EXPECT_EQ(freq->ends, 1);
    EXPECT_GT(eq()->getFreq(3), 480.0f);
    EXPECT_FLOAT_EQ(eq()->getGain(3), 0.2f * 30.0f) << "0.2 of the plot up on a 30 dB range";
    // Moves land on the grids, so a move within one step of the gain sends nothing new.
    EXPECT_GE(sentValues("line/ch1/eq/eqgain4"), 10) << "every new grid value reaches the speaker";
    EXPECT_LE(sentValues("line/ch1/eq/eqgain4"), 20);
    // An echo of the speaker during a drag would be held off: the parameters were being edited.
}

TEST_F(Equaliser, ADragLandsOnTheGridsOfFrequencyAndGain)
{
    eq()->setType(2, FilterKind::kPeaking);
    eq()->setFreq(2, 257.2f);
    eq()->setGain(2, 6.26f);
    Filtra::CurveEditGesture gesture(eq());
    float x = 0, y = 0;
    gesture.getHandle(2, x, y);
    gesture.press(2, x, y, false);
    for (int step = 1; step <= 15; ++step)
    {
        gesture.move(x + 0.0037f * float(step), y - 0.0041f * float(step));
        const float gain = eq()->getGain(2);
        EXPECT_FLOAT_EQ(gain * 2, std::round(gain * 2)) << "0.5 dB steps: " << gain;
        // Frequencies on the R40 series: three significant figures at most.
        const float freq = eq()->getFreq(2);
        const float scale = std::pow(10.0f, std::floor(std::log10(freq)) - 2);
        EXPECT_NEAR(freq / scale, std::round(freq / scale), 1e-3f) << freq;
    }
    gesture.move(x, y - 0.0041f, Vellaris::Dsp::StepSize::kShift);
    EXPECT_NEAR(eq()->getGain(2) * 10, std::round(eq()->getGain(2) * 10), 1e-3f) << "0.1 dB with Shift";
    EXPECT_FALSE(std::fabs(eq()->getGain(2) * 2 - std::round(eq()->getGain(2) * 2)) < 1e-3f)
        << "a fine step off the 0.5 dB grid: " << eq()->getGain(2);
    gesture.release();
}

TEST_F(Equaliser, WheelStepsQAndDoubleClickResetsTheBand)
{
    Filtra::CurveEditGesture gesture(eq());
    eq()->setQ(1, 0.71f);
    gesture.wheel(1, 1.0f);
    EXPECT_FLOAT_EQ(eq()->getQ(1), 1.0f) << "the next value of the Q list";
    gesture.wheel(1, 0.5f);
    EXPECT_FLOAT_EQ(eq()->getQ(1), 1.0f) << "half a step of a touchpad waits";
    gesture.wheel(1, 0.5f);
    EXPECT_FLOAT_EQ(eq()->getQ(1), 1.4f);
    gesture.wheel(1, 8.0f);
    EXPECT_FLOAT_EQ(eq()->getQ(1), 4.0f) << "held at the parameter's maximum";
    gesture.wheel(1, -2.0f);
    EXPECT_FLOAT_EQ(eq()->getQ(1), 2.0f);
    eq()->setGain(1, 9.0f);
    eq()->setFreq(1, 3000.0f);
    gesture.reset(1);
    EXPECT_DOUBLE_EQ(eq()->getGain(1), 0.0);
    EXPECT_FLOAT_EQ(eq()->getFreq(1), 120.0f);
    EXPECT_NEAR(eq()->getQ(1), 0.71f, 1e-6f);
    // Q mode: upward travel narrows.
    gesture.press(1, 0.5f, 0.5f, true);
    gesture.move(0.5f, 0.25f);
    gesture.release();
    EXPECT_FLOAT_EQ(eq()->getQ(1), 1.4f) << "twice as narrow, on the Q list";
}
