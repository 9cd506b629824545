#include "tests/mirror/MirrorTestSupport.h"

#include "protocol/ParamPackets.h"
#include "tessel/ColorParam.h"
#include "tessel/ListParam.h"
#include "tessel/StringParam.h"

namespace MirrorTest
{

using namespace Vellaris::LK;
using Tessel::ParamFlags::kMutable;
using Tessel::ParamFlags::kPublic;

MirrorFixture::MirrorFixture()
{
    platform.setTime(kStart);
    root = new TestRoot(network, "Speaker");
    auto* speaker = new RemoteComponent;
    speaker->setName("Speaker");
    root->addChild(speaker);
    Tessel::ParamContainer& params = speaker->getParams();
    params.addFloat(-10, 10, "gain", 1)->setFlag(kPublic, true);
    params.addParam("mode", 2)->setFlag(kPublic, true);
    params.addInteger(0, 100, "count", 3)->setFlag(kPublic, true);
    params.addString("name", 4)->setFlag(kPublic, true);
    params.addFloat(0, 1, "hidden", 5);
    params.addColor("tint", 6)->setFlag(kPublic, true);

    auto* channel = new RemoteComponent;
    channel->setName("ch1");
    speaker->addChild(channel);
    channel->getParams().addFloat(0, 1, "level", 1)->setFlag(kPublic | kMutable, true);
    Tessel::ListParam* choices = channel->getParams().addList("choices", 2);
    choices->setEntries({"A", "B", "C"});
    choices->setFlag(kPublic | kMutable, true);
}

MirrorFixture::~MirrorFixture() = default;

void MirrorFixture::deliverValue(const std::string& wirePath, float normalized)
{
    ParamValuePacket packet;
    buildValuePacket(packet, kServer, FakeNetwork::kClientHandle, wirePath, 0, normalized);
    root->handlePacket(FakeNetwork::kClientHandle, &packet.base.header);
}

void MirrorFixture::deliverString(const std::string& wirePath, const std::string& text)
{
    ParamStringPacket packet;
    buildStringPacket(packet, kServer, FakeNetwork::kClientHandle, wirePath, 0, text);
    root->handlePacket(FakeNetwork::kClientHandle, &packet.base.header);
}

void MirrorFixture::deliverMessage(MessageAttributes& message, bool compressed)
{
    message.sourceId = kServer;
    message.destinationId = FakeNetwork::kClientHandle;
    EncodedMessage encoded;
    ASSERT_TRUE(message.encode(encoded, compressed ? MessageEncoding::Compressed : MessageEncoding::Plain));
    root->handlePacket(FakeNetwork::kClientHandle, encoded.packet());
}

} // namespace MirrorTest
