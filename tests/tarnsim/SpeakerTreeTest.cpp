#include "tarnsim/SpeakerComponent.h"
#include "tarnsim/SpeakerDefinitions.h"
#include "tests/tarnsim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Core::Portable;
using Vellaris::Tarn::SpeakerComponent;
namespace Defs = Vellaris::Tarn::Definitions;

namespace
{

const ParamDefinition* record(const ParamDefinitionList& list, const char* name)
{
    for (int i = 0; i < list.count; ++i)
    {
        if (std::strcmp(list.items[i].name, name) == 0)
            return &list.items[i];
    }
    return nullptr;
}

} // namespace

TEST(SpeakerTree, HasTheChannelParametersOnlyAndNoOutput)
{
    TestSupport::registerSimulatorFormatsOnce();
    SpeakerComponent speaker(nullptr, nullptr);
    EXPECT_EQ(speaker.name(), "");
    EXPECT_EQ(speaker.parameters().size(), 36u);
    ASSERT_EQ(speaker.children().size(), 1u);
    EXPECT_EQ(speaker.children()[0]->name(), "line");
    EXPECT_FALSE(speaker.findChild("output"));
    Component* ch1 = speaker.findDescendant("line/ch1");
    ASSERT_TRUE(ch1);
    EXPECT_EQ(ch1->parameters().size(), 14u);
    EXPECT_FALSE(ch1->findParameter("amplevel1"));
    const char* blocks[] = {"limit", "eq", "notch", "geq"};
    const size_t counts[] = {3, 49, 33, 34};
    ASSERT_EQ(ch1->children().size(), 4u);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(ch1->children()[i]->name(), blocks[i]);
        EXPECT_EQ(ch1->children()[i]->parameters().size(), counts[i]);
    }
    EXPECT_EQ(speaker.muteParameter(), ch1->findParameter("mute"));
    EXPECT_EQ(speaker.meterParameter(), ch1->findParameter("meter"));
    EXPECT_EQ(ch1->paramPath(*ch1->findParameter("mute")), "line/ch1/mute");
    EXPECT_EQ(speaker.paramPath(*speaker.findParameter("clip")), "clip");
}

TEST(SpeakerDefinitions, RecordsResolveTheModelDocuments)
{
    // Spot checks of what the generator has to resolve: tags with starttag and
    // explicit tags, named ranges with own overrides, int rounding, list sizes.
    const ParamDefinition* led = record(Defs::kSpeaker, "statusled2");
    ASSERT_TRUE(led);
    EXPECT_EQ(led->tag, 101);
    EXPECT_EQ(record(Defs::kSpeaker, "networksetupmode")->tag, 34);
    const ParamDefinition* celsius = record(Defs::kSpeaker, "temperature_c");
    EXPECT_EQ(celsius->type, ParamDefinition::kInteger);
    EXPECT_EQ(celsius->min, -18.0f);
    EXPECT_EQ(celsius->max, 100.0f);
    EXPECT_EQ(celsius->defaultValue, 17.0f);
    EXPECT_STREQ(celsius->formatterName, "celsius");
    const ParamDefinition* contour = record(Defs::kSpeaker, "contour");
    EXPECT_EQ(contour->flags, ParamDefinition::kStorable | ParamDefinition::kMutable);
    EXPECT_STREQ(contour->listTexts[2], "Floor Monitor");
    EXPECT_STREQ(record(Defs::kSpeaker, "optioncard")->listTexts[0], "Glint");
    EXPECT_EQ(record(Defs::kSpeaker, "networklist")->max, 0.0f);

    const ParamDefinition* freq3 = record(Defs::kEq8, "eqfreq3");
    EXPECT_EQ(freq3->defaultValue, 240.0f);
    EXPECT_STREQ(freq3->curveName, "log");
    EXPECT_STREQ(freq3->formatterName, "freq");
    EXPECT_EQ(record(Defs::kEq8, "eqtype8")->max, 3.0f);
    EXPECT_EQ(record(Defs::kEq8, "eqtype8")->defaultValue, 2.0f);
    EXPECT_EQ(record(Defs::kEq8, "eqq1")->curveMid, 0.71f);
    EXPECT_EQ(record(Defs::kEq8, "eqallon")->flags, 0u);
    EXPECT_EQ(record(Defs::kNotchEq, "notchfreq8")->tag, 46);
    EXPECT_EQ(record(Defs::kGEQ, "gain31")->tag, 30);
    EXPECT_EQ(record(Defs::kGEQ, "gain1")->flags, ParamDefinition::kStorable | ParamDefinition::kBipolar);
    EXPECT_EQ(record(Defs::kChannel, "volume")->curveMid, -9.0f);
    EXPECT_EQ(record(Defs::kChannel, "contourpolarity")->flags, ParamDefinition::kPrivate);
    EXPECT_EQ(record(Defs::kChannel, "delay")->step, 0.002f);
    EXPECT_EQ(record(Defs::kLimiter, "limiteron")->tag, 0);

    int mutableCount = 0;
    for (const ParamDefinitionList* list :
         {&Defs::kSpeaker, &Defs::kChannel, &Defs::kLimiter, &Defs::kEq8, &Defs::kNotchEq, &Defs::kGEQ})
    {
        for (int i = 0; i < list->count; ++i)
            mutableCount += (list->items[i].flags & ParamDefinition::kMutable) ? 1 : 0;
    }
    EXPECT_EQ(mutableCount, 1) << "only contour publishes its range";
}
