// Copy and paste of a speaker's settings: the context menu, the inspector's shortcuts, and what a
// paste carries and leaves alone.
#include "speaker/SpeakerClipboardItem.h"
#include "speaker/StorageFilter.h"
#include "tessel/ContextMenu.h"
#include "tessel/IParameter.h"
#include "tests/speaker/PresetTestSupport.h"

namespace
{

using namespace PresetTest;

class Clipboard : public PresetFixture
{
protected:
    void SetUp() override
    {
        PresetFixture::SetUp();
        a = announce(1, "111");
        b = announce(2, "222", "TX20A");
        ASSERT_TRUE(a && b);
        param(a, "line/ch1/volume")->setValue(Tessel::Variant(-11.0), true);
        param(a, "line/ch1/eq/eqgain2")->setValue(Tessel::Variant(3.5), true);
        param(a, "line/ch1/limit/threshold")->setValue(Tessel::Variant(-6.0), true);
        param(a, "line/ch1/geq/gain7")->setValue(Tessel::Variant(9.0), true);
        param(a, "line/ch1/name")->fromString("Main", true);
        param(a, "nickname")->fromString("Source", true);
        param(b, "nickname")->fromString("Target", true);
        param(b, "line/ch1/name")->fromString("Fill", true);
    }
    Vellaris::SpeakerNetworkItem* a = nullptr;
    Vellaris::SpeakerNetworkItem* b = nullptr;
};

TEST_F(Clipboard, APasteCarriesTheSettingsButKeepsNamesAndTheGraphicEqualiser)
{
    ASSERT_TRUE(Vellaris::SpeakerClipboardItem::copy(*a->getSpeakerComponent()));
    ASSERT_TRUE(Vellaris::SpeakerClipboardItem::paste(*b->getSpeakerComponent()));
    Vellaris::SpeakerClipboardFilter filter;
    EXPECT_EQ(storedValues(*b->getSpeakerComponent(), &filter),
              storedValues(*a->getSpeakerComponent(), &filter));
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/volume"), -11.0);
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/limit/threshold"), -6.0);
    EXPECT_EQ(param(b, "nickname")->toString(), "Target");
    EXPECT_EQ(param(b, "line/ch1/name")->toString(), "Fill");
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/geq/gain7"), 0.0);
}

TEST_F(Clipboard, APasteCarriesTheEqAndNotchSwitches)
{
    param(a, "line/ch1/eq/eqallon")->setValue(Tessel::Variant(1), true);
    param(a, "line/ch1/notch/notchallon")->setValue(Tessel::Variant(1), true);
    ASSERT_TRUE(Vellaris::SpeakerClipboardItem::copy(*a->getSpeakerComponent()));
    ASSERT_TRUE(Vellaris::SpeakerClipboardItem::paste(*b->getSpeakerComponent()));
    EXPECT_EQ(param(b, "line/ch1/eq/eqallon")->getValue().asInt(), 1);
    EXPECT_EQ(param(b, "line/ch1/notch/notchallon")->getValue().asInt(), 1);

    param(b, "line/ch1/eq/eqallon")->setValue(Tessel::Variant(0), true);
    ASSERT_TRUE(Vellaris::SpeakerClipboardItem::copy(*b->getSpeakerComponent()));
    ASSERT_TRUE(Vellaris::SpeakerClipboardItem::paste(*a->getSpeakerComponent()));
    EXPECT_EQ(param(a, "line/ch1/eq/eqallon")->getValue().asInt(), 0);
    EXPECT_EQ(param(a, "line/ch1/notch/notchallon")->getValue().asInt(), 1);
}

TEST_F(Clipboard, TheSpeakerContextMenuOffersCopyAndPasteOnceThereIsSomethingToPaste)
{
    Tessel::ContextMenu menu;
    ASSERT_EQ(menu.collect(b->getSpeakerComponent()), 2);
    EXPECT_EQ(menu.getEntry(0)->title, "Copy");
    EXPECT_EQ(menu.getEntry(0)->command.category, "Edit");
    EXPECT_TRUE(menu.getEntry(0)->enabled);
    EXPECT_EQ(menu.getEntry(1)->title, "Paste");
    EXPECT_FALSE(menu.getEntry(1)->enabled);

    ASSERT_EQ(menu.collect(a->getSpeakerComponent()), 2);
    EXPECT_TRUE(menu.select(0));
    ASSERT_EQ(menu.collect(b->getSpeakerComponent()), 2);
    EXPECT_TRUE(menu.getEntry(1)->enabled);
    EXPECT_TRUE(menu.select(1));
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/eq/eqgain2"), 3.5);
    EXPECT_EQ(param(b, "nickname")->toString(), "Target");
}

TEST_F(Clipboard, TheInspectorCopiesAndPastesTheSelectedSpeaker)
{
    press(inspector, "pasteSpeaker"); // nothing selected, nothing copied
    select(a);
    EXPECT_FALSE(inspector->interpretCommand(Tessel::CommandMsg("Edit", "Paste", true)));
    press(inspector, "copySpeaker");
    EXPECT_TRUE(Vellaris::SpeakerClipboardItem::canPaste());
    select(b);
    press(inspector, "pasteSpeaker");
    EXPECT_DOUBLE_EQ(value(b, "line/ch1/volume"), -11.0);
    EXPECT_EQ(param(b, "nickname")->toString(), "Target");
}

TEST(ClipboardItem, StartsWithRoomForAKilobyteAndRefusesToPasteWhenEmpty)
{
    Tessel::HeadlessPlatform platform;
    Tessel::AutoPtr<Vellaris::SpeakerClipboardItem> item = new Vellaris::SpeakerClipboardItem;
    EXPECT_TRUE(item->isEmpty());
    EXPECT_GE(item->getStream().getCapacity(), 1024u);
    Tessel::AutoPtr<Tessel::Component> component = new Tessel::Component("Speaker");
    EXPECT_FALSE(item->restore(*component));
}

} // namespace
