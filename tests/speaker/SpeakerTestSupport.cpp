#include "tests/speaker/SpeakerTestSupport.h"

#include "protocol/PacketRecords.h"
#include "speaker/SpeakerClasses.h"
#include "tessel/Initializer.h"

namespace SpeakerTest
{

void MessageLog::notify(Tessel::ISubject*, const Tessel::Message& msg)
{
    ids.push_back(msg.getID());
    if (msg.is("eqBandChanged"))
        bands.push_back(msg.getArg(0).asInt());
}

int MessageLog::count(const std::string& id) const
{
    return int(std::count(ids.begin(), ids.end(), id));
}

EditCounter::EditCounter(Tessel::IParameter* param) : param(param), controller(param->getController())
{
    param->connect(this, param->getTag());
}

EditCounter::~EditCounter()
{
    param->connect(controller, param->getTag());
}

void* EditCounter::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(Tessel::IParamObserver)
    return Object::queryInterface(iid);
}

void EditCounter::paramChanged(Tessel::IParameter* changed)
{
    if (auto* observer = Tessel::unknownCast<Tessel::IParamObserver>(controller))
        observer->paramChanged(changed);
}

void EditCounter::paramEdit(Tessel::IParameter* edited, bool begin)
{
    ++(begin ? begins : ends);
    if (auto* observer = Tessel::unknownCast<Tessel::IParamObserver>(controller))
        observer->paramEdit(edited, begin);
}

void SpeakerFixture::SetUpTestSuite()
{
    Tessel::runInitializers();
    ASSERT_TRUE(Vellaris::registerSpeakerClasses());
}

void SpeakerFixture::SetUp()
{
    platform.setTime(50000);
    root = new Vellaris::LK::SpeakerRootComponent(&network, &network);
    speaker = root->getSpeaker();
    root->connect(3);
    network.clear();
}

Vellaris::TarnEqComponent* SpeakerFixture::eq() const
{
    return Tessel::classCast<Vellaris::TarnEqComponent>(speaker->lookupChild("line/ch1/eq"));
}

Vellaris::TarnEqComponent* SpeakerFixture::notch() const
{
    return Tessel::classCast<Vellaris::TarnEqComponent>(speaker->lookupChild("line/ch1/notch"));
}

Vellaris::EqCompositeComponent* SpeakerFixture::composite() const
{
    return Tessel::classCast<Vellaris::EqCompositeComponent>(speaker->getCompositeEq());
}

int SpeakerFixture::sentValues(const std::string& wirePath) const
{
    int count = 0;
    for (const MirrorTest::SentPacket& packet : network.ofType(lknet::kPacketParamValue))
        if (packet.path == wirePath)
            ++count;
    return count;
}

} // namespace SpeakerTest
