#include "core/AttributeQueue.h"
#include "protocol/MessageNames.h"
#include "tests/mirror/MirrorTestSupport.h"

using namespace MirrorTest;
using namespace Vellaris::LK;
using Core::Portable::Attributes;

namespace
{

class Synchronize : public MirrorFixture
{
protected:
    void SetUp() override { root->connect(kServer); }

    // A speaker's "Synchronize": values of the speaker's root and of "ch1".
    MessageAttributes speakerState()
    {
        MessageAttributes sync(Message::kSynchronize);
        Attributes& values = sync.setAttributes(Message::kValues);
        values.setDouble("gain", 0.25);
        values.setInt64("mode", 1);
        values.setText("name", "Balcony");
        values.setDouble("hidden", 1.0);
        values.setInt64("tint", 0x80FF0000);
        Attributes& channel = sync.setAttributes(Message::kChildren).setAttributes("ch1");
        Attributes& channelValues = channel.setAttributes(Message::kValues);
        channelValues.setDouble("level", 0.5);
        channelValues.setDouble("choices", 1.0);
        return sync;
    }
};

} // namespace

TEST_F(Synchronize, AppliesValuesTextsAndColoursRecursivelyWithoutSendingThem)
{
    MessageAttributes sync = speakerState();
    network.clear();
    deliverMessage(sync, true);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), -5.0);
    EXPECT_EQ(param("Speaker/mode")->getValue().asInt(), 1);
    EXPECT_EQ(param("Speaker/name")->toString(), "Balcony");
    EXPECT_EQ(param("Speaker/tint")->getValue().asInt(), 0x80FF0000);
    EXPECT_DOUBLE_EQ(param("Speaker/ch1/level")->getValue().asDouble(), 0.5);
    EXPECT_EQ(param("Speaker/ch1/choices")->toString(), "C");
    EXPECT_TRUE(network.sent.empty());
}

TEST_F(Synchronize, PrivateEntriesChangeNothing)
{
    MessageAttributes sync = speakerState();
    Attributes& states = sync.setAttributes(Message::kStates);
    states.setInt64("hidden", 1);
    deliverMessage(sync);
    EXPECT_DOUBLE_EQ(param("Speaker/hidden")->getValue().asDouble(), 0.0);
    EXPECT_TRUE(param("Speaker/hidden")->isEnabled());
}

TEST_F(Synchronize, StatesDisableAndALaterSynchronizeWithoutTheEntryEnablesAgain)
{
    MessageAttributes sync = speakerState();
    sync.setAttributes(Message::kStates).setInt64("gain", 1);
    deliverMessage(sync);
    EXPECT_FALSE(param("Speaker/gain")->isEnabled());
    EXPECT_TRUE(param("Speaker/mode")->isEnabled());

    MessageAttributes again = speakerState();
    deliverMessage(again);
    EXPECT_TRUE(param("Speaker/gain")->isEnabled());
}

TEST_F(Synchronize, MutableRangesAndEntriesAreReplacedBeforeTheValue)
{
    MessageAttributes sync = speakerState();
    Attributes* channel = sync.getAttributes(Message::kChildren)->getAttributes("ch1");
    Attributes& range = channel->setAttributes(Message::kRanges).setAttributes("level");
    range.setDouble(Message::kMin, -40.0);
    range.setDouble(Message::kMax, 0.0);
    range.setText(Message::kDef, "not a number"); // counts as 0
    Core::Portable::AttributeQueue& entries = channel->setAttributes(Message::kStrings).setQueue("choices");
    entries.append().setText("Low");
    entries.append().setText("High");
    deliverMessage(sync, true);

    Tessel::IParameter* level = param("Speaker/ch1/level");
    EXPECT_DOUBLE_EQ(level->getMin().asDouble(), -40.0);
    EXPECT_DOUBLE_EQ(level->getMax().asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(level->getDefaultValue().asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(level->getValue().asDouble(), -20.0);
    Tessel::IParameter* choices = param("Speaker/ch1/choices");
    ASSERT_EQ(choices->countEntries(), 2);
    EXPECT_EQ(choices->toString(), "High");
}

TEST_F(Synchronize, RangesOfParametersThatAreNotMutableStay)
{
    MessageAttributes sync = speakerState();
    Attributes& range = sync.setAttributes(Message::kRanges).setAttributes("gain");
    range.setDouble(Message::kMin, 0.0);
    range.setDouble(Message::kMax, 1.0);
    deliverMessage(sync);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getMax().asDouble(), 10.0);
}

TEST_F(Synchronize, PushValuesSendsPublicValuesBelowTheSpeakerLevelCompressed)
{
    param("Speaker/gain")->setValue(5.0, false);
    param("Speaker/name")->fromString("Desk", false);
    network.clear();
    root->pushValues();
    ASSERT_EQ(network.sent.size(), 1u);
    EXPECT_EQ(network.sent[0].type, lknet::kPacketZipMessage);
    const MessageAttributes& sync = network.sent[0].message;
    EXPECT_EQ(sync.messageId(), Message::kSynchronize);
    const Attributes* values = sync.getAttributes(Message::kValues);
    ASSERT_NE(values, nullptr);
    EXPECT_DOUBLE_EQ(values->getDouble("gain"), 0.75);
    EXPECT_EQ(values->getText("name"), "Desk");
    EXPECT_FALSE(values->contains("hidden"));
    EXPECT_TRUE(values->find("tint")->isInteger());
    const Attributes* children = sync.getAttributes(Message::kChildren);
    ASSERT_NE(children, nullptr);
    EXPECT_TRUE(children->getAttributes("ch1")->getAttributes(Message::kValues)->contains("level"));
    EXPECT_FALSE(sync.contains("strings"));
}

// The speaker answers a "Subscribe" with its state as it was when it read it: what the desk sent
// after the "Subscribe" is newer, what it sent before is in the answer.
TEST_F(Synchronize, OnlyChangesSentAfterTheSubscribeOutliveItsAnswer)
{
    param("Speaker/gain")->setValue(5.0);
    param("Speaker/name")->fromString("Desk");
    MessageAttributes sync = speakerState();
    deliverMessage(sync, true);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), 5.0);
    EXPECT_EQ(param("Speaker/name")->toString(), "Desk");
    EXPECT_EQ(param("Speaker/mode")->getValue().asInt(), 1) << "not changed by the desk";
    MessageAttributes reply(Message::kSubscriptionReply);
    deliverMessage(reply);

    // Sent before the next "Subscribe": the answer holds the speaker's word on it.
    param("Speaker/gain")->setValue(7.0);
    MessageAttributes lost(Message::kSubscriptionLost);
    deliverMessage(lost);
    MessageAttributes again = speakerState();
    deliverMessage(again, true);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), -5.0);
    EXPECT_EQ(param("Speaker/name")->toString(), "Balcony");
}

TEST_F(Synchronize, TheDesksWholeStatePushedBeforeTheAnswerOutlivesIt)
{
    param("Speaker/gain")->setValue(5.0, false);
    param("Speaker/name")->fromString("Desk", false);
    root->pushValues();
    MessageAttributes sync = speakerState();
    deliverMessage(sync, true);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), 5.0);
    EXPECT_EQ(param("Speaker/name")->toString(), "Desk");
    EXPECT_EQ(param("Speaker/mode")->getValue().asInt(), 0) << "pushed as well";

    MessageAttributes reply(Message::kSubscriptionReply);
    deliverMessage(reply);
    MessageAttributes later = speakerState();
    deliverMessage(later, true);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), -5.0);
    EXPECT_EQ(param("Speaker/mode")->getValue().asInt(), 1);
}
