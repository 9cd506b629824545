// A room as a control surface: volume steps and the wheel, mute all, solo, the lock, the master
// equaliser, the room meter and the mode label.
#include "speaker/VenueSide.h"
#include "tessel/ISubject.h"
#include "tests/venue/VenueTestSupport.h"
#include "venue/MasterComponent.h"
#include "venue/ScrollWheelComponent.h"
#include "venue/SpeakerGroup.h"

using Vellaris::SpeakerNetworkItem;
using Vellaris::SpeakerRoom;
using VenueTest::VenueFixture;

namespace
{

// Counts the edit gestures a parameter's controller sees, passing everything on.
class EditWatch : public Tessel::Object, public Tessel::IParamObserver
{
public:
    explicit EditWatch(Tessel::IParameter* param) : param(param), controller(param->getController())
    {
        param->connect(static_cast<Tessel::IParamObserver*>(this), param->getTag());
    }
    ~EditWatch() override { param->connect(controller, param->getTag()); }
    void* queryInterface(const Tessel::UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(Tessel::IParamObserver)
        return Object::queryInterface(iid);
    }
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }
    void paramChanged(Tessel::IParameter* changed) override
    {
        if (auto* next = Tessel::unknownCast<Tessel::IParamObserver>(controller))
            next->paramChanged(changed);
    }
    void paramEdit(Tessel::IParameter* edited, bool begin) override
    {
        ++(begin ? begins : ends);
        if (auto* next = Tessel::unknownCast<Tessel::IParamObserver>(controller))
            next->paramEdit(edited, begin);
    }
    int begins = 0;
    int ends = 0;

private:
    Tessel::IParameter* param;
    Tessel::IUnknown* controller;
};

} // namespace

class RoomControl : public VenueFixture
{
protected:
    void SetUp() override
    {
        VenueFixture::SetUp();
        a = announce(1, "A");
        b = announce(2, "B");
        c = announce(3, "C");
        for (const char* serial : {"A", "B", "C"})
            place(serial);
    }
    static Tessel::IParameter* volume(SpeakerNetworkItem* item) { return param(item, "line/ch1/volume"); }
    static Tessel::IParameter* mute(SpeakerNetworkItem* item) { return param(item, "line/ch1/mute"); }
    Tessel::IParameter* roomParam(const char* name) const { return room()->findParameter(name); }

    SpeakerNetworkItem* a = nullptr;
    SpeakerNetworkItem* b = nullptr;
    SpeakerNetworkItem* c = nullptr;
};

TEST_F(RoomControl, VolumeUpMovesEverySpeakerWhileOneCanStillRiseAndKeepsTheOffset)
{
    const double max = volume(a)->getMax().asDouble();
    volume(a)->setValue(max);
    volume(b)->setValue(max - 3);
    volume(c)->setValue(max - 10);
    EditWatch watch(volume(b));
    room()->findParameter("roomVolumeUp")->setValue(1);
    EXPECT_DOUBLE_EQ(volume(a)->getValue().asDouble(), max);
    EXPECT_DOUBLE_EQ(value(a, "elastic"), max + 1);
    EXPECT_DOUBLE_EQ(volume(b)->getValue().asDouble(), max - 2);
    EXPECT_EQ(watch.begins, 1);
    EXPECT_EQ(watch.ends, 1);
    EXPECT_FALSE(volume(b)->isFlag(Tessel::ParamFlags::kEditing));

    // Coming back down, the speaker that hit the top keeps its distance to the others.
    room()->findParameter("roomVolumeDown")->setValue(1);
    room()->findParameter("roomVolumeDown")->setValue(1);
    EXPECT_DOUBLE_EQ(volume(a)->getValue().asDouble(), max - 1);
    EXPECT_DOUBLE_EQ(volume(b)->getValue().asDouble(), max - 4);
}

TEST_F(RoomControl, VolumeUpWithEverySpeakerAtTheTopChangesNothingAndLeavesNoEditOpen)
{
    const double max = volume(a)->getMax().asDouble();
    for (SpeakerNetworkItem* item : {a, b, c})
        volume(item)->setValue(max);
    EditWatch watch(volume(c));
    room()->stepVolume(1.0f);
    for (SpeakerNetworkItem* item : {a, b, c})
        EXPECT_DOUBLE_EQ(value(item, "elastic"), max);
    EXPECT_EQ(watch.begins, 1);
    EXPECT_EQ(watch.ends, 1);
    EXPECT_TRUE(room()->interpretCommand(Tessel::CommandMsg("Room", "Volume Down", true)));
    EXPECT_DOUBLE_EQ(value(a, "elastic"), max) << "a command asked only changes nothing";
}

TEST_F(RoomControl, WheelStepsTheRoomAgainstItsTravelAndRecentresNearTheEnds)
{
    Vellaris::ScrollWheelComponent* wheel = room()->getWheel();
    Tessel::IParameter* scroll = Tessel::getRootComponent()->lookupParameter(
        "VenueManager/activeVenue/activeRoom/VolumeWheel/scrollParam");
    ASSERT_EQ(scroll, wheel->getScrollParam());
    volume(a)->setValue(-20.0);
    const int64_t middle = scroll->getMax().asInt() / 2;
    scroll->setValue(Tessel::Variant((long long)(middle + 1000)));
    EXPECT_DOUBLE_EQ(value(a, "elastic"), -21.0);
    scroll->setValue(Tessel::Variant((long long)(middle + 500)));
    EXPECT_DOUBLE_EQ(value(a, "elastic"), -20.5);

    // Dragged close to the top, it only goes back to the middle once the drag ends.
    const int64_t nearTop = scroll->getMax().asInt() - 10;
    scroll->beginEdit();
    scroll->setValue(Tessel::Variant((long long)nearTop));
    EXPECT_TRUE(wheel->isRecentring());
    EXPECT_EQ(scroll->getValue().asInt(), nearTop);
    const double afterDrag = value(a, "elastic");
    scroll->endEdit();
    EXPECT_FALSE(wheel->isRecentring());
    EXPECT_EQ(scroll->getValue().asInt(), middle);
    EXPECT_EQ(wheel->getLastPosition(), middle);
    EXPECT_DOUBLE_EQ(value(a, "elastic"), afterDrag) << "recentring moves no speaker";
}

TEST_F(RoomControl, MuteAllRestoresOnlyTheSpeakersItMuted)
{
    EXPECT_TRUE(roomParam("muteAll")->isEnabled());
    mute(b)->setValue(1);
    roomParam("muteAll")->setValue(1);
    for (SpeakerNetworkItem* item : {a, b, c})
        EXPECT_EQ(mute(item)->getValue().asInt(), 1);
    roomParam("muteAll")->setValue(0);
    EXPECT_EQ(mute(a)->getValue().asInt(), 0);
    EXPECT_EQ(mute(b)->getValue().asInt(), 1);
    EXPECT_EQ(mute(c)->getValue().asInt(), 0);
}

TEST_F(RoomControl, SoloMutesTheOthersClearsMuteAllQuietlyAndEndsThroughTheSpeaker)
{
    roomParam("muteAll")->setValue(1);
    Tessel::IParameter* solo = param(b, "solo");
    ASSERT_TRUE(solo->isEnabled());
    solo->setValue(1);
    EXPECT_EQ(mute(a)->getValue().asInt(), 1);
    EXPECT_EQ(mute(b)->getValue().asInt(), 0);
    EXPECT_EQ(mute(c)->getValue().asInt(), 1);
    EXPECT_EQ(roomParam("muteAll")->getValue().asInt(), 0);
    EXPECT_EQ(param(a, "solo")->getValue().asInt(), 0);

    solo->setValue(0);
    for (SpeakerNetworkItem* item : {a, b, c})
        EXPECT_EQ(mute(item)->getValue().asInt(), 0);
}

TEST_F(RoomControl, UnmutingASpeakerByHandEndsTheRoomSolo)
{
    param(a, "solo")->setValue(1);
    ASSERT_EQ(mute(b)->getValue().asInt(), 1);
    Tessel::IParameter* muted = mute(c);
    muted->beginEdit();
    muted->setValue(0);
    muted->endEdit();
    EXPECT_EQ(mute(b)->getValue().asInt(), 0);
    EXPECT_EQ(param(a, "solo")->getValue().asInt(), 0);
    EXPECT_EQ(Vellaris::findActiveRoom(), static_cast<Vellaris::IActiveRoom*>(room()));
}

TEST_F(RoomControl, JoiningSpeakerTakesTheMasterEqualiserAndTheMuteAll)
{
    Tessel::Component* geq = room()->getMaster()->getGeq();
    ASSERT_NE(geq, nullptr);
    geq->findParameter("gain7")->setValue(4.0);
    roomParam("muteAll")->setValue(1);
    SpeakerNetworkItem* d = announce(4, "D");
    EXPECT_EQ(mute(d)->getValue().asInt(), 0);
    place("D");
    EXPECT_DOUBLE_EQ(value(d, "line/ch1/geq/gain7"), 4.0);
    EXPECT_EQ(mute(d)->getValue().asInt(), 1);
    EXPECT_TRUE(param(d, "solo")->isEnabled());
    roomParam("muteAll")->setValue(0);
    EXPECT_EQ(mute(d)->getValue().asInt(), 0);
}

TEST_F(RoomControl, MasterEqualiserReachesEverySpeakerAndSwitchesOnWhenABandIsEdited)
{
    Tessel::Component* geq = room()->getMaster()->getGeq();
    Tessel::IParameter* on = geq->getParameterByTag(Vellaris::MasterComponent::kOnTag);
    EXPECT_EQ(on->getValue().asInt(), 1);
    on->setValue(0);
    for (SpeakerNetworkItem* item : {a, b, c})
        EXPECT_EQ(value(item, "remote_geq_on"), 0);
    platform.setTime(5000);
    geq->findParameter("gain20")->setValue(-6.0);
    for (SpeakerNetworkItem* item : {a, b, c})
        EXPECT_DOUBLE_EQ(value(item, "line/ch1/geq/gain20"), -6.0);
    EXPECT_EQ(on->getValue().asInt(), 1);
    EXPECT_EQ(room()->getLastChange(), 5000);
}

TEST_F(RoomControl, BrowserTakesTheLockAndGivesItBackAcrossRoomSwitches)
{
    Tessel::IParameter* view = roomParam("viewNetwork");
    Tessel::IParameter* locked = roomParam("locked");
    ASSERT_EQ(view->getValue().asInt(), 1);
    EXPECT_FALSE(locked->isEnabled()) << "the browser is shown in a new room";
    view->setValue(0);
    ASSERT_TRUE(locked->isEnabled());
    locked->setValue(1);
    EXPECT_TRUE(room()->isLocked());

    // Switching to another room and back keeps a lock set while the browser was closed.
    SpeakerRoom* first = room();
    venue->newRoom(true);
    venue->setActiveRoom(first);
    EXPECT_TRUE(first->isLocked());
    EXPECT_TRUE(locked->isEnabled());

    view->setValue(1);
    EXPECT_FALSE(room()->isLocked());
    EXPECT_FALSE(locked->isEnabled());
    view->setValue(0);
    EXPECT_TRUE(room()->isLocked());
}

TEST_F(RoomControl, MeterShowsTheLoudestSpeakerAfterTheVolumesSettle)
{
    Tessel::IParameter* meter = roomParam("maxVolume");
    EXPECT_DOUBLE_EQ(meter->getMax().asDouble(), volume(a)->getMax().asDouble()) << "the volume's range";
    volume(a)->setValue(-30.0);
    volume(b)->setValue(-4.0);
    volume(c)->setValue(-12.0);
    platform.advance(Vellaris::SpeakerRoom::kMeterDelayMs);
    EXPECT_NEAR(meter->getNormalized(), volume(b)->getNormalized(), 1e-9);
    EXPECT_EQ(meter->toString(), volume(b)->toString());

    for (const char* serial : {"A", "B", "C"})
        manager->removeSpeakerFromRooms(serial);
    platform.advance(Vellaris::SpeakerRoom::kMeterDelayMs);
    EXPECT_DOUBLE_EQ(meter->getNormalized(), 0.0);
    EXPECT_FALSE(roomParam("muteAll")->isEnabled());
    Tessel::Variant empty;
    ASSERT_TRUE(room()->getProperty("roomempty", empty));
    EXPECT_EQ(empty.asInt(), 1);
}

TEST_F(RoomControl, MeterIsReplacedOnceByOneShapedLikeTheFirstSpeakersVolume)
{
    SpeakerRoom* fresh = venue->newRoom(true);
    Tessel::SharedPtr<Tessel::IParameter> before = Tessel::retained(fresh->findParameter("maxVolume"));
    SpeakerNetworkItem* d = announce(4, "D");
    place("D");
    Tessel::IParameter* meter = fresh->findParameter("maxVolume");
    ASSERT_NE(meter, before.get()) << "a new parameter";
    EXPECT_EQ(meter->getTag(), SpeakerRoom::kMaxVolumeTag);
    EXPECT_EQ(fresh->getParameterByTag(SpeakerRoom::kMaxVolumeTag), meter);
    EXPECT_DOUBLE_EQ(meter->getMin().asDouble(), volume(d)->getMin().asDouble());
    EXPECT_EQ(meter->getCurve(), volume(d)->getCurve());
    announce(5, "E");
    place("E");
    EXPECT_EQ(fresh->findParameter("maxVolume"), meter) << "only the first speaker replaces it";
}

TEST_F(RoomControl, SpeakerThatLeavesIsNoLongerSoloableOrMoved)
{
    const double before = value(b, "elastic");
    Tessel::SharedPtr<SpeakerNetworkItem> gone(a);
    withdraw(1);
    EXPECT_FALSE(param(gone.get(), "solo")->isEnabled());
    room()->stepVolume(-1.0f);
    EXPECT_DOUBLE_EQ(value(b, "elastic"), before - 1);
    EXPECT_EQ(room()->speakerCount(), 2);
}

TEST_F(RoomControl, ModeLabelFollowsTheInspectors)
{
    Tessel::IParameter* label = roomParam("roomLabel");
    EXPECT_EQ(label->toString(), "Monitor Mode");
    inspector->findParameter("showSpeakerProps")->setValue(1);
    inspector->signal(Tessel::Message("SpeakerProps"));
    EXPECT_EQ(label->toString(), "Speaker Edit");
    roomParam("viewRoomInspector")->setValue(1);
    EXPECT_EQ(label->toString(), "Group Edit");
    roomParam("closeInspector")->setValue(1);
    EXPECT_EQ(roomParam("viewRoomInspector")->getValue().asInt(), 0);
    EXPECT_EQ(inspector->findParameter("showSpeakerProps")->getValue().asInt(), 0);
    EXPECT_EQ(label->toString(), "Monitor Mode");
}
