#include "core/Zlib.h"
#include "formats/CurveRegistry.h"
#include "protocol/MessageAttributes.h"
#include "protocol/MessageNames.h"
#include "protocol/MeterPackets.h"
#include "protocol/NormalizedValue.h"
#include "protocol/ParamPackets.h"
#include "protocol/ParamPath.h"
#include "protocol/SynchronizeSender.h"
#include "tests/protocol/FakeNetworkManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

using namespace Vellaris::LK;
using TestSupport::FakeNetworkManager;

namespace
{

MessageAttributes synchronizeWithChildren(int count)
{
    MessageAttributes message(Message::kSynchronize, 3, 11);
    message.setAttributes(Message::kValues).setDouble("clip", 0.0);
    Core::Portable::Attributes& children = message.setAttributes(Message::kChildren);
    for (int i = 0; i < count; ++i)
        children.setAttributes("child" + std::to_string(i)).setAttributes(Message::kValues).setInt64("v", i);
    return message;
}

std::vector<std::string> childNames(const MessageAttributes& message)
{
    std::vector<std::string> names;
    if (const auto* children = message.getAttributes(Message::kChildren))
    {
        for (const auto& child : *children)
            names.emplace_back(child.name());
    }
    return names;
}

} // namespace

TEST(PacketRecords, HeaderAndPathAreFilledAndCut)
{
    ParamValuePacket packet;
    const std::string longPath(200, 'p');
    buildValuePacket(packet, 5, 6, longPath, kParamFlagDisabled, 0.25f);
    EXPECT_EQ(packet.base.header.type, 0x5056u);
    EXPECT_EQ(packet.base.header.size, 152u);
    EXPECT_EQ(packet.base.header.source, 5u);
    EXPECT_EQ(packet.base.header.destination, 6u);
    EXPECT_EQ(std::strlen(packet.base.path), 127u);
    EXPECT_EQ(packet.base.flags, 1);
    float value;
    std::memcpy(&value, reinterpret_cast<const char*>(&packet) + 148, 4);
    EXPECT_EQ(value, 0.25f);
}

TEST(PacketRecords, TextFieldsAreCutAndUnterminatedFieldsReadSafely)
{
    ParamStringPacket packet;
    buildStringPacket(packet, 1, 2, "nickname", 0, std::string(400, 'x'));
    EXPECT_EQ(std::strlen(packet.text), 255u);
    EXPECT_EQ(receivedText(&packet.base.header).size(), 255u);

    std::memset(packet.base.path, 'a', sizeof(packet.base.path)); // no terminator
    EXPECT_EQ(receivedPath(&packet.base.header).size(), 128u);

    ParamRangePacket range;
    buildRangePacket(range, 1, 2, "x", 0, 0.5f, -1, 1, 0.3f, 0, "", std::string(40, 'u'));
    EXPECT_EQ(range.curveMid, 0.0f) << "no curve: curve fields stay zero";
    EXPECT_EQ(std::strlen(range.units), 31u);
}

TEST(PacketRecords, ShortPacketsGiveNoPath)
{
    lknet::Packet header;
    initHeader(header, lknet::kPacketParamValue, 16, 1, 2);
    EXPECT_TRUE(receivedPath(&header).empty());
}

TEST(ParamPath, SplitsAtTheLastSlash)
{
    SplitPath split = splitParamPath("line/ch1/eq/eqgain1");
    EXPECT_EQ(split.component, "line/ch1/eq");
    EXPECT_EQ(split.parameter, "eqgain1");
    split = splitParamPath("clip");
    EXPECT_EQ(split.component, "");
    EXPECT_EQ(split.parameter, "clip");
    EXPECT_EQ(splitComponentPath("line/ch1"), (std::vector<std::string_view>{"line", "ch1"}));
    EXPECT_EQ(splitComponentPath("line//ch1").size(), 3u) << "an empty name must not match anything";
}

TEST(NormalizedValue, EmptyRangeSendsZeroAndMapsBackToMin)
{
    EXPECT_EQ(toNormalized(24.0f, 24.0f, 24.0f, nullptr), 0.0f);
    EXPECT_EQ(receiveNormalized(0.7f, 24.0f, 24.0f, nullptr, ValueKind::Float), 24.0f);
}

TEST(NormalizedValue, WholeNumbersSurviveTheFloatRoundTrip)
{
    // Every value of the model's integer ranges comes back as itself.
    const struct
    {
        float min, max;
    } ranges[] = {{-18, 100}, {0, 212}, {0, 4096}, {0, 65}, {0, 2}};
    for (const auto& range : ranges)
    {
        for (float value = range.min; value <= range.max; value += 1.0f)
        {
            const float normalized = toNormalized(value, range.min, range.max, nullptr);
            ASSERT_EQ(receiveNormalized(normalized, range.min, range.max, nullptr, ValueKind::Integer), value)
                << "range " << range.min << ".." << range.max;
        }
    }
}

TEST(NormalizedValue, FractionsAwayFromWholeNumbersAreDropped)
{
    EXPECT_EQ(wholeFromNormalizedValue(12.9995f), 13.0f);
    EXPECT_EQ(wholeFromNormalizedValue(12.7f), 12.0f);
    EXPECT_EQ(wholeFromNormalizedValue(-3.5f), -3.0f);
    EXPECT_EQ(receiveNormalized(2.0f, 0, 10, nullptr, ValueKind::Float), 10.0f) << "receiver clamps";
    EXPECT_EQ(receiveNormalized(-1.0f, 0, 10, nullptr, ValueKind::Float), 0.0f);
    EXPECT_EQ(receiveNormalized(0.3f, 0, 1, nullptr, ValueKind::Toggle), 1.0f);
    EXPECT_EQ(receiveNormalized(0.0f, 0, 1, nullptr, ValueKind::Toggle), 0.0f);
    EXPECT_EQ(receiveNormalized(NAN, 0, 10, nullptr, ValueKind::Float), 0.0f);
}

TEST(NormalizedValue, UsesTheCurveWhenThereIsOne)
{
    Core::CurveRegistry curves;
    auto log = curves.createCurve("log");
    ASSERT_TRUE(log);
    log->setRange(20.0f, 20000.0f, 0.0f);
    const float n = toNormalized(2000.0f, 20.0f, 20000.0f, log.get());
    EXPECT_NE(n, (2000.0f - 20.0f) / (20000.0f - 20.0f));
    EXPECT_NEAR(fromNormalized(n, 20.0f, 20000.0f, log.get()), 2000.0f, 0.5f);
}

TEST(MessageAttributes, NameComesFirstAndIdsTravelInTheHeader)
{
    MessageAttributes message;
    message.setText(Message::kClientName, "desk");
    message.setMessageId(Message::kSubscribe);
    message.sourceId = 4;
    message.destinationId = 8;
    EXPECT_EQ(message.toJson(), "{\"id\": \"Subscribe\",\"clientName\": \"desk\"}");

    EncodedMessage encoded;
    ASSERT_TRUE(message.encode(encoded, MessageEncoding::Plain));
    const lknet::Packet* packet = encoded.packet();
    EXPECT_EQ(packet->type, lknet::kPacketJsonMessage);
    EXPECT_EQ(packet->size, sizeof(lknet::JsonPacket));
    EXPECT_EQ(packet->source, 4u);
    EXPECT_EQ(packet->destination, 8u);

    MessageAttributes decoded;
    ASSERT_TRUE(decoded.decode(packet));
    EXPECT_EQ(decoded.messageId(), "Subscribe");
    EXPECT_EQ(decoded.sourceId, 4u);
    EXPECT_EQ(decoded.destinationId, 8u);
}

TEST(MessageAttributes, CompressedMessagesRoundTripAndNormalisedFloatsSurvive)
{
    MessageAttributes message(Message::kSynchronize, 1, 2);
    const float normalized = 0.3f;
    Core::Portable::Attributes& values = message.setAttributes(Message::kValues);
    values.setDouble("volume", normalized);
    values.setText("nickname", "Joe's");
    EncodedMessage encoded;
    ASSERT_TRUE(message.encode(encoded, MessageEncoding::Compressed));
    EXPECT_EQ(encoded.packet()->type, lknet::kPacketZipMessage);
    EXPECT_EQ(static_cast<unsigned char>(encoded.data()[0]), 0x78) << "zlib header";

    MessageAttributes decoded;
    ASSERT_TRUE(decoded.decode(encoded.packet()));
    const auto* read = decoded.getAttributes(Message::kValues);
    ASSERT_TRUE(read);
    EXPECT_EQ(static_cast<float>(read->getDouble("volume")), normalized);
    EXPECT_EQ(read->getText("nickname"), "Joe's");
    EXPECT_NE(message.toJson().find("Joe\\'s"), std::string::npos);
}

TEST(MessageAttributes, RefusesBombsBrokenDataAndForeignPackets)
{
    // 20 MiB of spaces compress to almost nothing but inflate past the bound.
    std::string huge = "{\"id\": \"Synchronize\"" + std::string(20u << 20, ' ') + "}";
    std::string compressed;
    ASSERT_TRUE(Core::Zlib::compress(huge, compressed));
    MessageAttributes decoded;
    EXPECT_FALSE(decoded.decodeData(compressed.data(), compressed.size(), MessageEncoding::Compressed));
    EXPECT_FALSE(decoded.decodeData("garbage", 7, MessageEncoding::Compressed));

    lknet::Packet keepAlive;
    initHeader(keepAlive, lknet::kPacketKeepAlive, 16, 1, 2);
    EXPECT_FALSE(decoded.decode(&keepAlive));
}

TEST(MessageAttributes, BrokenTextKeepsWhatWasReadBeforeTheError)
{
    const std::string text = "{\"id\": \"Subscribe\", \"clientName\": \"x\", oops";
    MessageAttributes decoded;
    EXPECT_TRUE(decoded.decodeData(text.data(), text.size(), MessageEncoding::Plain));
    EXPECT_EQ(decoded.messageId(), "Subscribe");
    EXPECT_EQ(decoded.getText("clientName"), "x");
}

TEST(SynchronizeSender, SendsOneCompressedMessageWhenItFits)
{
    FakeNetworkManager network;
    int after = 0;
    EXPECT_EQ(sendSynchronize(network, synchronizeWithChildren(5), [&] { ++after; }),
              SynchronizeResult::Whole);
    ASSERT_EQ(network.sent.size(), 1u);
    EXPECT_EQ(network.sent[0].type(), lknet::kPacketZipMessage);
    EXPECT_EQ(network.sent[0].header().source, 3u);
    EXPECT_EQ(network.sent[0].header().destination, 11u);
    EXPECT_EQ(after, 1);
}

TEST(SynchronizeSender, TooLargeWithFiveChildrenSplitsIntoTwoHalves)
{
    FakeNetworkManager network;
    bool first = true;
    network.answer = [&](const lknet::Packet*)
    {
        const int result = first ? lknet::kErrorTooLarge : 0;
        first = false;
        return result;
    };
    int after = 0;
    EXPECT_EQ(sendSynchronize(network, synchronizeWithChildren(5), [&] { ++after; }),
              SynchronizeResult::Split);
    ASSERT_EQ(network.sent.size(), 3u);
    EXPECT_EQ(after, 3);
    const MessageAttributes firstHalf = network.sent[1].message();
    const MessageAttributes secondHalf = network.sent[2].message();
    EXPECT_EQ(network.sent[1].type(), lknet::kPacketZipMessage);
    EXPECT_EQ(network.sent[2].type(), lknet::kPacketZipMessage);
    EXPECT_EQ(childNames(firstHalf), (std::vector<std::string>{"child0", "child1"}));
    EXPECT_TRUE(firstHalf.contains(Message::kValues));
    EXPECT_EQ(childNames(secondHalf), (std::vector<std::string>{"child2", "child3", "child4"}));
    EXPECT_EQ(secondHalf.count(), 2) << "the second part holds only id and children";
    EXPECT_EQ(secondHalf.messageId(), "Synchronize");
    EXPECT_EQ(network.sent[2].header().destination, 11u);
}

TEST(SynchronizeSender, TooLargeWithTwoChildrenFallsBackToABareMessage)
{
    FakeNetworkManager network;
    bool first = true;
    network.answer = [&](const lknet::Packet*)
    {
        const int result = first ? lknet::kErrorTooLarge : 0;
        first = false;
        return result;
    };
    EXPECT_EQ(sendSynchronize(network, synchronizeWithChildren(2)), SynchronizeResult::Fallback);
    ASSERT_EQ(network.sent.size(), 2u);
    EXPECT_EQ(network.sent[1].type(), lknet::kPacketJsonMessage);
    EXPECT_EQ(network.sent[1].data, "{\"id\": \"Synchronize\"}");
}

TEST(SynchronizeSender, BothHalvesRefusedFallsBackOnce)
{
    FakeNetworkManager network;
    network.answer = [](const lknet::Packet* packet)
    { return packet->type == lknet::kPacketZipMessage ? lknet::kErrorTooLarge : 0; };
    EXPECT_EQ(sendSynchronize(network, synchronizeWithChildren(6)), SynchronizeResult::Fallback);
    ASSERT_EQ(network.sent.size(), 4u) << "whole, two halves, bare; nothing split further";
    EXPECT_EQ(network.sent[3].type(), lknet::kPacketJsonMessage);
}

TEST(MeterPackets, GroupsAreReadWithinTheValuesThePacketHolds)
{
    MeterPacket packet;
    buildByteMeterPacket(packet, 1, kMeterKindGainReduction);
    packet.valueCount = 3;
    packet.groupCount = 2;
    packet.groups[0] = {5, 0, 2};
    packet.groups[1] = {9, 2, 4}; // claims more than there is
    packet.values[0] = 255;
    packet.values[1] = 0;
    packet.values[2] = 51;
    std::vector<std::tuple<int, int, uint32_t, float>> seen;
    const int count = readMeterPacket(&packet.header, [&](int id, int index, uint32_t kind, float value)
                                      { seen.emplace_back(id, index, kind, value); });
    EXPECT_EQ(count, 3);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_tuple(5, 0, kMeterKindGainReduction, 1.0f));
    EXPECT_EQ(seen[2], std::make_tuple(9, 0, kMeterKindGainReduction, 0.2f));

    packet.header.type = lknet::kPacketMetersShort;
    packet.valueCount = 1;
    packet.groupCount = 1;
    packet.groups[0] = {3, 0, 1};
    const uint16_t half = 32768;
    std::memcpy(packet.values, &half, 2);
    float value = -1;
    EXPECT_EQ(readMeterPacket(&packet.header, [&](int, int, uint32_t, float v) { value = v; }), 1);
    EXPECT_NEAR(value, 0.5f, 1e-4f);

    packet.groupCount = 0;
    EXPECT_EQ(readMeterPacket(&packet.header, {}), 0) << "no groups, no meter";
    packet.header.size = 100;
    EXPECT_EQ(readMeterPacket(&packet.header, {}), 0);
}

TEST(MeterPackets, ListEntriesSplitAtLineFeeds)
{
    EXPECT_EQ(splitListEntries("Normal\nLBR Source\nFloor Monitor"),
              (std::vector<std::string>{"Normal", "LBR Source", "Floor Monitor"}));
    EXPECT_EQ(splitListEntries(""), (std::vector<std::string>{""}));
}
