#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "tarnsim/SpeakerComponent.h"
#include "tests/protocol/FakeNetworkManager.h"
#include "tests/tarnsim/SimTestSupport.h"

#include <gtest/gtest.h>

using namespace Core::Portable;
using namespace Vellaris::LK;
using TestSupport::FakeFileTransferManager;
using TestSupport::FakeNetworkManager;
using TestSupport::ReportCapture;
using Vellaris::Tarn::SpeakerComponent;

namespace
{

constexpr uint32_t kServer = 7;

class Server : public ::testing::Test
{
protected:
    Server()
    {
        TestSupport::registerSimulatorFormatsOnce();
        speaker.server().setHandle(kServer);
        speaker.server().setClock([this] { return now; });
    }

    void deliverJson(const MessageAttributes& message, MessageEncoding encoding = MessageEncoding::Plain)
    {
        EncodedMessage encoded;
        ASSERT_TRUE(message.encode(encoded, encoding));
        speaker.server().handlePacket(static_cast<int>(kServer), encoded.packet());
    }
    void subscribe(uint32_t client, const char* name = "desk")
    {
        MessageAttributes message(Message::kSubscribe, client, kServer);
        message.setText(Message::kClientName, name);
        message.setText(Message::kClientType, "roomdesk");
        deliverJson(message);
    }
    void sendValue(uint32_t client, const char* path, float normalized)
    {
        ParamValuePacket packet;
        buildValuePacket(packet, client, kServer, path, 0, normalized);
        speaker.server().handlePacket(static_cast<int>(kServer), &packet.base.header);
    }
    void sendHeaderOnly(uint32_t type, uint32_t client, uint32_t size = 16)
    {
        FileDataPacket packet; // large enough for any header-only or file packet
        initHeader(packet.header, type, size, client, kServer);
        packet.requestWord = 0xABCD;
        speaker.server().handlePacket(static_cast<int>(kServer), &packet.header);
    }
    std::vector<const TestSupport::SentPacket*> valuesTo(uint32_t client, const char* path)
    {
        std::vector<const TestSupport::SentPacket*> found;
        for (const auto* packet : network.ofType(lknet::kPacketParamValue))
        {
            if (packet->header().destination == client && receivedPath(&packet->header()) == path)
                found.push_back(packet);
        }
        return found;
    }
    Parameter& param(const char* componentPath, const char* name)
    {
        return *speaker.findDescendant(componentPath)->findParameter(name);
    }

    ReportCapture reports;
    FakeNetworkManager network;
    FakeFileTransferManager files;
    SpeakerComponent speaker{&network, &files};
    int64_t now = 100000;
};

} // namespace

TEST_F(Server, SubscribeAnswersWithSynchronizeThenReply)
{
    subscribe(21);
    ASSERT_EQ(network.sent.size(), 2u);
    EXPECT_EQ(network.sent[0].type(), lknet::kPacketZipMessage);
    EXPECT_EQ(network.sent[0].header().source, kServer);
    EXPECT_EQ(network.sent[0].header().destination, 21u);
    EXPECT_EQ(network.sent[0].message().messageId(), "Synchronize");
    EXPECT_EQ(network.sent[1].type(), lknet::kPacketJsonMessage);
    EXPECT_EQ(network.sent[1].data, "{\"id\": \"SubscriptionReply\"}");
    EXPECT_EQ(ReportCapture::lines(), (std::vector<std::string>{"Client 21 attached to server 7"}));
    EXPECT_EQ(speaker.server().findSubscription(21)->clientName, "desk");

    subscribe(21, "renamed");
    EXPECT_EQ(speaker.server().subscriptions().size(), 1u) << "a second Subscribe reuses the subscription";
    EXPECT_EQ(speaker.server().findSubscription(21)->clientName, "renamed");
    EXPECT_EQ(network.ofType(lknet::kPacketZipMessage).size(), 2u);
    EXPECT_EQ(ReportCapture::lines().size(), 1u);

    subscribe(0);
    EXPECT_FALSE(speaker.server().findSubscription(0)) << "client id 0 never subscribes";
}

TEST_F(Server, SynchronizeHoldsTheTreeAtTheRoot)
{
    param("line/ch1", "delay").setEnabled(false);
    subscribe(21);
    const MessageAttributes sync = network.sent[0].message();
    EXPECT_FALSE(sync.contains("Speaker")) << "served at the root";
    const Attributes* values = sync.getAttributes(Message::kValues);
    ASSERT_TRUE(values);
    EXPECT_EQ(sync.at(1).name(), "values");
    EXPECT_EQ(sync.at(sync.count() - 1).name(), "children");
    EXPECT_TRUE(values->contains("clip"));
    EXPECT_FALSE(values->contains("networkstatus")) << "private parameters are left out";
    EXPECT_EQ(values->getText("model"), "");
    EXPECT_NEAR(values->getDouble("digitalin"), 1.0, 1e-9);

    const Attributes* strings = sync.getAttributes(Message::kStrings);
    ASSERT_TRUE(strings);
    EXPECT_EQ(strings->count(), 1) << "only contour publishes its entries";
    ASSERT_TRUE(strings->getQueue("contour"));
    EXPECT_EQ(strings->getQueue("contour")->count(), 3);
    EXPECT_FALSE(sync.contains(Message::kRanges));
    EXPECT_FALSE(sync.contains(Message::kStates)) << "nothing disabled at the root";

    const Attributes* line = sync.getAttributes(Message::kChildren)->getAttributes("line");
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->contains(Message::kValues));
    const Attributes* ch1 = line->getAttributes(Message::kChildren)->getAttributes("ch1");
    ASSERT_TRUE(ch1);
    const Attributes* states = ch1->getAttributes(Message::kStates);
    ASSERT_TRUE(states);
    EXPECT_EQ(states->count(), 1);
    EXPECT_EQ(states->getInt64("delay"), 1);
    EXPECT_FALSE(ch1->getAttributes(Message::kValues)->contains("amplevel1"));
    EXPECT_FALSE(ch1->getAttributes(Message::kValues)->contains("contourvolume"));
    const Attributes* children = ch1->getAttributes(Message::kChildren);
    ASSERT_TRUE(children);
    EXPECT_EQ(children->count(), 4);
    EXPECT_EQ(children->getAttributes("notch")->getAttributes(Message::kValues)->getDouble("notchq1", -1),
              0.0);
}

TEST_F(Server, ValueChangesEchoToEverySubscriberIncludingTheSender)
{
    subscribe(21);
    subscribe(22);
    network.sent.clear();
    sendValue(21, "line/ch1/volume", 0.5f);
    EXPECT_FLOAT_EQ(param("line/ch1", "volume").getNormalized(), 0.5f);
    ASSERT_EQ(valuesTo(21, "line/ch1/volume").size(), 1u);
    ASSERT_EQ(valuesTo(22, "line/ch1/volume").size(), 1u);
    EXPECT_EQ(valuesTo(22, "line/ch1/volume")[0]->as<ParamValuePacket>().normalized, 0.5f);
    EXPECT_EQ(valuesTo(22, "line/ch1/volume")[0]->header().source, kServer);

    network.sent.clear();
    ParamStringPacket text;
    buildStringPacket(text, 22, kServer, "nickname", 0, "Hall");
    speaker.server().handlePacket(7, &text.base.header);
    EXPECT_EQ(param("", "nickname").text(), "Hall");
    const auto echoes = network.ofType(lknet::kPacketParamString);
    ASSERT_EQ(echoes.size(), 2u);
    EXPECT_EQ(receivedText(&echoes[0]->header()), "Hall");
}

TEST_F(Server, PrivateDisabledUnknownAndUnsubscribedChangesAreDropped)
{
    subscribe(21);
    network.sent.clear();
    sendValue(21, "networkstatus", 1.0f);
    EXPECT_EQ(param("", "networkstatus").getValue(), 0.0f);
    param("line/ch1", "polarity").setEnabled(false);
    network.sent.clear();
    sendValue(21, "line/ch1/polarity", 1.0f);
    EXPECT_EQ(param("line/ch1", "polarity").getValue(), 0.0f);
    sendValue(21, "line/ch9/mute", 1.0f);
    sendValue(21, "Speaker/line/ch1/mute", 1.0f);
    sendValue(99, "line/ch1/mute", 1.0f);
    EXPECT_EQ(param("line/ch1", "mute").getValue(), 0.0f);
    EXPECT_TRUE(network.sent.empty()) << "nothing echoed, nothing answered";
}

TEST_F(Server, WithoutSubscribersChangesProduceNoPackets)
{
    param("line/ch1", "mute").setValue(1.0f, true);
    speaker.idle();
    EXPECT_TRUE(network.sent.empty());
}

TEST_F(Server, KeepAlivesHoldASubscriptionAndSilenceEndsIt)
{
    subscribe(21);
    subscribe(22);
    const int64_t start = now;
    for (; now < start + 30000; now += 20)
    {
        if ((now - start) % 1500 == 0)
            sendHeaderOnly(lknet::kPacketKeepAlive, 21);
        speaker.idle();
        if (!speaker.server().findSubscription(22))
            break;
    }
    const int64_t dropped = now - start;
    EXPECT_GE(dropped, 6000);
    EXPECT_LE(dropped, 7500);
    ASSERT_TRUE(speaker.server().findSubscription(21));
    EXPECT_EQ(ReportCapture::lines().back(), "Client 22 removed from server 7 - TIMED OUT!");
    const auto lost = network.ofType(lknet::kPacketJsonMessage);
    ASSERT_FALSE(lost.empty());
    EXPECT_EQ(lost.back()->data, "{\"id\": \"SubscriptionLost\"}");
    EXPECT_EQ(lost.back()->header().destination, 22u);
    EXPECT_EQ(files.cancelled, (std::vector<std::pair<int, int>>{{22, 1}}));

    for (const int64_t end = now + 60000; now < end; now += 20)
    {
        if ((now - start) % 1500 == 0)
            sendHeaderOnly(lknet::kPacketKeepAlive, 21);
        speaker.idle();
    }
    EXPECT_TRUE(speaker.server().findSubscription(21)) << "kept alive for a minute";
}

TEST_F(Server, UnsubscribeRemovesOnlyKnownClients)
{
    subscribe(21);
    ReportCapture::lines().clear();
    deliverJson(MessageAttributes(Message::kUnsubscribe, 30, kServer));
    EXPECT_TRUE(ReportCapture::lines().empty());
    deliverJson(MessageAttributes(Message::kUnsubscribe, 21, kServer));
    EXPECT_FALSE(speaker.server().hasSubscriptions());
    EXPECT_EQ(ReportCapture::lines(), (std::vector<std::string>{"Client 21 removed from server 7"}));
    EXPECT_EQ(files.cancelled, (std::vector<std::pair<int, int>>{{21, 0}}));
}

TEST_F(Server, FileRequestsAreAnsweredWithStatusThreeOrFour)
{
    sendHeaderOnly(lknet::kPacketFileRequest, 40, 20);
    subscribe(41);
    sendHeaderOnly(lknet::kPacketFileRequest, 41, 20);
    const auto replies = network.ofType(lknet::kPacketFileData);
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0]->as<FileDataPacket>().status, 4);
    EXPECT_EQ(replies[0]->header().destination, 40u);
    EXPECT_EQ(replies[0]->header().source, kServer);
    EXPECT_EQ(replies[0]->as<FileDataPacket>().requestWord, 0xABCDu);
    EXPECT_EQ(replies[1]->as<FileDataPacket>().status, 3);
    EXPECT_EQ(replies[1]->header().size, 4128u);

    // File data and acknowledgements go to the transfer manager and refresh.
    now += 5000;
    FileDataPacket data;
    initHeader(data.header, lknet::kPacketFileData, sizeof(data), 41, kServer);
    EXPECT_EQ(speaker.server().handlePacket(7, &data.header), 42);
    EXPECT_EQ(speaker.server().findSubscription(41)->lastSeen, now);
}

TEST_F(Server, MetersRunOnlyWhileSubscribedAndMuteSilencesThem)
{
    speaker.idle();
    EXPECT_EQ(network.meterCount(), 0);
    subscribe(21);
    network.sent.clear();
    for (int i = 0; i < 50; ++i)
        speaker.idle();
    EXPECT_EQ(network.meterCount(), 50);
    for (const auto& packet : network.sent)
    {
        if (!packet.meters)
            continue;
        const MeterPacket& meters = packet.as<MeterPacket>();
        EXPECT_EQ(packet.type(), lknet::kPacketMetersByte);
        EXPECT_EQ(meters.header.destination, 0u);
        EXPECT_EQ(meters.valueCount, 1);
        EXPECT_EQ(meters.groupCount, 0);
        EXPECT_LE(meters.values[0], static_cast<int>(0.1f * 255.0f));
    }
    EXPECT_FALSE(valuesTo(21, "line/ch1/meter").empty());

    sendValue(21, "line/ch1/mute", 1.0f);
    speaker.idle();
    network.sent.clear();
    for (int i = 0; i < 10; ++i)
        speaker.idle();
    EXPECT_EQ(network.meterCount(), 10);
    EXPECT_EQ(network.sent.back().as<MeterPacket>().values[0], 0);
    EXPECT_TRUE(valuesTo(21, "line/ch1/meter").empty()) << "a meter at rest sends no more values";
}

TEST_F(Server, RestoringUnderTheHoldSendsOneSynchronizePerSubscriber)
{
    subscribe(21);
    subscribe(22);
    network.sent.clear();
    Attributes state;
    state.setAttributes("line").setAttributes("ch1").setInt64("mute", 1);
    state.setText("nickname", "Hall");
    speaker.restoreState(&state);
    EXPECT_EQ(param("line/ch1", "mute").getValue(), 1.0f);
    EXPECT_EQ(param("", "nickname").text(), "Hall");
    ASSERT_EQ(network.sent.size(), 2u) << "no single changes, one Synchronize each";
    EXPECT_EQ(network.sent[0].header().destination, 21u);
    EXPECT_EQ(network.sent[1].header().destination, 22u);
    EXPECT_FALSE(speaker.server().isHeld());
}

TEST_F(Server, ClientSynchronizeAppliesValuesOfSubscribersOnly)
{
    MessageAttributes sync(Message::kSynchronize, 21, kServer);
    sync.setAttributes(Message::kChildren)
        .setAttributes("line")
        .setAttributes(Message::kChildren)
        .setAttributes("ch1")
        .setAttributes(Message::kValues)
        .setDouble("mute", 1.0);
    deliverJson(sync, MessageEncoding::Compressed);
    EXPECT_EQ(param("line/ch1", "mute").getValue(), 0.0f) << "no subscription, nothing applied";

    subscribe(21);
    Attributes& values = sync.setAttributes(Message::kValues);
    values.setText("nickname", "Stage left");
    values.setDouble("networkstatus", 1.0);
    values.setText("clip", "ignored");
    values.setAttributes("contour");
    deliverJson(sync, MessageEncoding::Compressed);
    EXPECT_EQ(param("line/ch1", "mute").getValue(), 1.0f);
    EXPECT_EQ(param("", "nickname").text(), "Stage left");
    EXPECT_EQ(param("", "networkstatus").getValue(), 0.0f);
}

TEST_F(Server, MessagesWithAUrlOrUnknownIdAreIgnored)
{
    subscribe(21);
    network.sent.clear();
    MessageAttributes request(Message::kRequestNetworkChange, 21, kServer);
    request.setText(Message::kUrl, "Speaker");
    deliverJson(request);
    MessageAttributes routed(Message::kSubscribe, 23, kServer);
    routed.setText(Message::kUrl, "line/ch1");
    deliverJson(routed);
    deliverJson(MessageAttributes("UpdateMenu", 21, kServer));
    EXPECT_TRUE(network.sent.empty());
    EXPECT_FALSE(speaker.server().findSubscription(23));
}
