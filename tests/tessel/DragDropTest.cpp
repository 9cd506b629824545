#include <gtest/gtest.h>

#include "tessel/Component.h"
#include "tessel/DragSession.h"

using namespace Tessel;

namespace
{
// A target that takes speaker drags only in its right half and records every call.
class Plan : public Object, public IDropTarget
{
public:
    explicit Plan(std::string name) : name(std::move(name)) {}
    std::vector<std::string>* log = nullptr;
    void* queryInterface(const UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(IDropTarget)
        return Object::queryInterface(iid);
    }
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }
    bool wants(const DragData& data, const DropPoint& point) const
    {
        return data.getAttributes().getString("kind") == "speaker" && point.x >= 50;
    }
    bool dragEnter(const DragData& data, const DropPoint& point) override
    {
        log->push_back(name + " enter");
        return wants(data, point);
    }
    bool dragOver(const DragData& data, const DropPoint& point) override
    {
        log->push_back(name + " over");
        return wants(data, point);
    }
    void dragLeave(const DragData&) override { log->push_back(name + " leave"); }
    bool drop(const DragData& data, const DropPoint& point) override
    {
        log->push_back(name + " drop");
        return wants(data, point);
    }
    std::string name;
};

class SpeakerList : public Object, public IDragSource
{
public:
    std::vector<std::string>* log = nullptr;
    void* queryInterface(const UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(IDragSource)
        return Object::queryInterface(iid);
    }
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }
    void dragEnded(const DragData& data, bool accepted) override
    {
        log->push_back(std::string(accepted ? "taken " : "not taken ") + std::to_string(data.countItems()));
    }
};

class DragDrop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plan->log = room->log = list->log = &log;
        data->getAttributes().setString("kind", "speaker");
        data->addItem(speaker);
        data->setImage("groupNode", 8, 8);
    }
    std::vector<std::string> log;
    AutoPtr<Plan> plan = new Plan("plan");
    AutoPtr<Plan> room = new Plan("room");
    AutoPtr<SpeakerList> list = new SpeakerList;
    AutoPtr<Component> speaker = new Component("speaker");
    AutoPtr<DragData> data = new DragData;
    DragSession session;
};
} // namespace

TEST_F(DragDrop, TargetsHearEnterOverLeaveAndDropInOrder)
{
    session.begin(list, data);
    ASSERT_TRUE(session.isActive());
    EXPECT_EQ(session.getData()->findItem<Component>(), speaker.get());
    EXPECT_EQ(session.getData()->findItem<IDropTarget>(), nullptr);
    EXPECT_EQ(session.getData()->getItem(0), static_cast<IUnknown*>(static_cast<Object*>(speaker.get())));
    EXPECT_FALSE(session.moveTo(plan, {10, 10})); // left half: refused
    EXPECT_TRUE(session.moveTo(plan, {60, 10}));
    EXPECT_TRUE(session.moveTo(room, {70, 10}));
    EXPECT_FALSE(session.moveTo(nullptr, {0, 0}));
    EXPECT_TRUE(session.finish(plan, {80, 20}));
    EXPECT_FALSE(session.isActive());
    EXPECT_EQ(log, (std::vector<std::string>{"plan enter", "plan over", "plan leave", "room enter",
                                             "room leave", "plan enter", "plan drop", "taken 1"}));
}

TEST_F(DragDrop, TheSourceHearsWhenNobodyTookTheDrag)
{
    session.begin(list, data);
    session.moveTo(plan, {60, 0});
    EXPECT_FALSE(session.finish(nullptr, {0, 0})); // let go outside every target
    EXPECT_EQ(log, (std::vector<std::string>{"plan enter", "plan leave", "not taken 1"}));

    log.clear();
    session.begin(list, data);
    EXPECT_FALSE(session.finish(plan, {10, 0})); // the target refuses at that point
    EXPECT_EQ(log, (std::vector<std::string>{"plan enter", "plan drop", "not taken 1"}));

    log.clear();
    session.begin(list, data);
    session.moveTo(room, {60, 0});
    session.cancel();
    session.cancel();
    EXPECT_FALSE(session.finish(room, {60, 0})); // nothing in progress
    EXPECT_EQ(log, (std::vector<std::string>{"room enter", "room leave", "not taken 1"}));
}

TEST_F(DragDrop, ANewDragEndsTheUnfinishedOneFirst)
{
    session.begin(list, data);
    session.moveTo(plan, {60, 0});
    AutoPtr<DragData> other = new DragData;
    session.begin(nullptr, other);
    EXPECT_EQ(log, (std::vector<std::string>{"plan enter", "plan leave", "not taken 1"}));
    EXPECT_EQ(session.getData(), other.get());
    EXPECT_EQ(data->getImage(), "groupNode");
}
