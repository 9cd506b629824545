#include <gtest/gtest.h>

#include "tessel/HeadlessPlatform.h"
#include "tessel/ISignalHandler.h"
#include "tessel/Object.h"
#include "tessel/Platform.h"

using namespace Tessel;

namespace
{
class Receiver : public Object
{
public:
    static int alive;
    std::vector<std::string>* log;
    HeadlessPlatform* platform;

    Receiver(std::vector<std::string>* log, HeadlessPlatform* platform) : log(log), platform(platform)
    {
        ++alive;
    }
    void notify(ISubject* subject, const Message& msg) override
    {
        log->push_back(msg.getID() + "@" + std::to_string(platform->now()));
        if (msg.is("again"))
            deferMessage(Message("again"), 0);
    }

protected:
    ~Receiver() override { --alive; }
};
int Receiver::alive = 0;

// Removes another observer when notified.
class Remover : public Object
{
public:
    ISubject* subject = nullptr;
    IObserver* victim = nullptr;
    int calls = 0;
    void notify(ISubject*, const Message&) override
    {
        ++calls;
        subject->removeObserver(victim);
    }
};
} // namespace

TEST(PostedMessages, DeliverByDueTimeThenPostingOrder)
{
    HeadlessPlatform platform;
    std::vector<std::string> log;
    AutoPtr<Receiver> r = new Receiver(&log, &platform);
    ISignalHandler* signals = GetSignalHandler();
    signals->post(r, Message("late"), 30);
    signals->post(r, Message("first"), 5);
    signals->post(r, Message("second"), 5);
    signals->post(r, Message("now"), 0);
    platform.advance(100);
    EXPECT_EQ(log, (std::vector<std::string>{"now@0", "first@5", "second@5", "late@30"}));
}

TEST(PostedMessages, TargetStaysAliveUntilDelivered)
{
    HeadlessPlatform platform;
    std::vector<std::string> log;
    int before = Receiver::alive;
    Receiver* r = new Receiver(&log, &platform);
    r->deferMessage(Message("ping"), 20);
    r->release(); // the pending message keeps it
    EXPECT_EQ(Receiver::alive, before + 1);
    platform.advance(20);
    EXPECT_EQ(log, (std::vector<std::string>{"ping@20"}));
    EXPECT_EQ(Receiver::alive, before);
}

TEST(PostedMessages, RepostWithZeroDelayWaitsForTheNextTurn)
{
    HeadlessPlatform platform;
    std::vector<std::string> log;
    AutoPtr<Receiver> r = new Receiver(&log, &platform);
    r->deferMessage(Message("again"));
    platform.advance(0);
    EXPECT_EQ(log.size(), 1u); // not an endless loop inside one turn
    platform.advance(0);
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(GetSignalHandler()->cancel(r), 1);
}

TEST(PostedMessages, DroppedWithThePlatformReleasingTheirTargets)
{
    int before = Receiver::alive;
    std::vector<std::string> log;
    {
        HeadlessPlatform platform;
        Receiver* r = new Receiver(&log, &platform);
        r->deferMessage(Message("never"), 1000);
        r->release();
    }
    EXPECT_EQ(Receiver::alive, before);
    EXPECT_TRUE(log.empty());
}

TEST(PostedMessages, WakeFunctionHearsOfAnEarlierDueTime)
{
    PostedMessageQueue queue;
    std::vector<int64_t> wakes;
    queue.setWakeFunction([&](int64_t due) { wakes.push_back(due); });
    AutoPtr<Object> target = new Object;
    queue.post(target, Message("a"), 100);
    queue.post(target, Message("b"), 200);
    queue.post(target, Message("c"), 50);
    EXPECT_EQ(wakes, (std::vector<int64_t>{100, 50}));
    EXPECT_EQ(queue.nextDueTick(), 50);
    EXPECT_EQ(queue.runDue(150), 2);
    EXPECT_EQ(queue.count(), 1);
}

TEST(Signals, ObserversRemovedDuringDeliveryAreSkipped)
{
    AutoPtr<Object> subject = new Object;
    std::vector<std::string> log;
    HeadlessPlatform platform;
    AutoPtr<Remover> remover = new Remover;
    AutoPtr<Receiver> victim = new Receiver(&log, &platform);
    remover->subject = subject;
    remover->victim = victim;
    subject->addObserver(remover);
    subject->addObserver(victim);
    subject->addObserver(remover); // once only
    subject->signal(Message("changed"));
    EXPECT_EQ(remover->calls, 1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(subject->countObservers(), 1);
    subject->removeObserver(remover);
}

TEST(Signals, DeferredSignalReachesObserversOnTheNextTurn)
{
    HeadlessPlatform platform;
    std::vector<std::string> log;
    AutoPtr<Object> subject = new Object;
    AutoPtr<Receiver> r = new Receiver(&log, &platform);
    subject->addObserver(r);
    subject->deferSignal(Message("itemAdded"));
    EXPECT_TRUE(log.empty());
    platform.advance(0);
    EXPECT_EQ(log, (std::vector<std::string>{"itemAdded@0"}));
    subject->removeObserver(r);
}
