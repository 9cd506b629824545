#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IApplicationStartup.h"
#include "tessel/IGUI.h"
#include "tessel/IdleClient.h"
#include "tessel/Json.h"
#include "tessel/Parameter.h"
#include "tessel/Platform.h"

using namespace Tessel;

namespace
{
// Releases the subject that signals it: the subject must survive until its signal returns.
class Dropper : public Object
{
public:
    Object* held = nullptr;
    int calls = 0;
    void notify(ISubject* subject, const Message&) override
    {
        ++calls;
        subject->removeObserver(this);
        if (held)
        {
            Object* last = held;
            held = nullptr;
            last->release();
        }
    }
};

class CountingController : public Component
{
public:
    int changes = 0;
    void paramChanged(IParameter*) override { ++changes; }
};

class Startup : public Object, public IApplicationStartup
{
public:
    std::vector<std::string> log;
    bool succeed = true;
    IdleClient timer{[this]()
                     {
                         log.push_back("idle@" + std::to_string(GetSystemTicks()));
                         GetGUI()->quit(3);
                     }};

    bool startupApplication() override
    {
        log.push_back("startup");
        if (succeed)
            timer.start(50, false);
        return succeed;
    }
    void shutdownApplication() override { log.push_back("shutdown"); }
};
} // namespace

TEST(Lifetime, SubjectReleasedByItsObserverSurvivesItsSignal)
{
    Object* subject = new Object;
    AutoPtr<Dropper> first = new Dropper;
    AutoPtr<Dropper> second = new Dropper;
    first->held = subject;
    subject->addObserver(first);
    subject->addObserver(second);
    subject->signal(Message("changed")); // the last reference goes during delivery
    EXPECT_EQ(first->calls, 1);
    EXPECT_EQ(second->calls, 1);
}

TEST(Lifetime, ParameterOutlivingItsComponentForgetsTheController)
{
    AutoPtr<CountingController> component = new CountingController;
    Parameter* volume = component->getParams().addFloat(0, 1, "volume");
    SharedPtr<Parameter> kept(volume);
    volume->setValue(Variant(0.5));
    EXPECT_EQ(component->changes, 1);
    component = nullptr; // the component goes, a view still holds the parameter
    EXPECT_EQ(kept->getController(), nullptr);
    kept->setValue(Variant(0.7)); // must not reach the destroyed controller
    kept->beginEdit();
    kept->endEdit();
    EXPECT_DOUBLE_EQ(kept->getValue().asDouble(), 0.7);
}

TEST(Lifetime, SignalSlotsCallTheirFunctionUntilRemoved)
{
    AutoPtr<Component> owner = new Component("owner");
    AutoPtr<Parameter> param = Parameter::createFloat(0, 1, "p");
    int calls = 0;
    int id = owner->getSignalSlots().add(param, Messages::kChanged, [&](const Message&) { ++calls; });
    param->setValue(Variant(0.5));
    param->enable(false);
    param->signal(Message("other"));
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(owner->getSignalSlots().remove(id));
    param->setValue(Variant(0.6));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(param->countObservers(), 0);
    // A slot that removes itself while it runs.
    int self = 0;
    self = owner->getSignalSlots().add(param, "",
                                       [&](const Message&)
                                       {
                                           ++calls;
                                           owner->getSignalSlots().remove(self);
                                       });
    param->setValue(Variant(0.1));
    param->setValue(Variant(0.2));
    EXPECT_EQ(calls, 3);
}

TEST(Lifetime, SlotsGoWithTheirComponent)
{
    AutoPtr<Parameter> param = Parameter::createToggle("p");
    {
        AutoPtr<Component> owner = new Component("owner");
        owner->getSignalSlots().add(param, "", [](const Message&) {});
        EXPECT_EQ(param->countObservers(), 1);
    }
    EXPECT_EQ(param->countObservers(), 0);
    EXPECT_EQ(param->getRetainCount(), 1);
}

TEST(Component, TitleChangeSignalsPropertyChanged)
{
    AutoPtr<Component> c = new Component("c");
    std::vector<std::string> names;
    AutoPtr<Component> watcher = new Component("w");
    watcher->getSignalSlots().add(c, Messages::kPropertyChanged,
                                  [&](const Message& msg) { names.push_back(msg.getArg(0).asString()); });
    EXPECT_TRUE(c->setProperty("title", Variant("Main")));
    EXPECT_FALSE(c->setProperty("numChildren", Variant(3)));
    EXPECT_EQ(c->getTitle(), "Main");
    EXPECT_EQ(names, (std::vector<std::string>{"title"}));
}

TEST(HeadlessPlatform, EventLoopRunsStartupIdleWorkAndShutdown)
{
    HeadlessPlatform platform;
    AutoPtr<Startup> startup = new Startup;
    ASSERT_TRUE(GetGUI()->initialize({"roomdesk", "/restart"}, startup));
    EXPECT_EQ(GetGUI()->getArguments().size(), 2u);
    EXPECT_EQ(GetGUI()->runEventLoop(), 3);
    EXPECT_EQ(startup->log, (std::vector<std::string>{"startup", "idle@50", "shutdown"}));
}

TEST(HeadlessPlatform, FailedStartupEndsTheLoopAtOnce)
{
    HeadlessPlatform platform;
    AutoPtr<Startup> startup = new Startup;
    startup->succeed = false;
    GetGUI()->initialize({}, startup);
    EXPECT_EQ(GetGUI()->runEventLoop(), 1);
    EXPECT_EQ(startup->log, (std::vector<std::string>{"startup", "shutdown"}));
    EXPECT_EQ(platform.now(), 0);
}

TEST(Json, FailsWithoutAnInstalledCodec)
{
    ASSERT_EQ(getJsonCodec(), nullptr);
    Attributes result;
    std::string text;
    EXPECT_FALSE(JsonParse("{}", result));
    EXPECT_FALSE(JsonStringify(result, text));
}

namespace
{
class Listener : public Tessel::Object
{
public:
    std::vector<std::string> heard;
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override { heard.push_back(msg.getID()); }
};
} // namespace

TEST(ObserverLifetime, ADestroyedObserverLeavesEveryListItIsIn)
{
    Tessel::AutoPtr<Tessel::Object> first = new Tessel::Object;
    Tessel::AutoPtr<Tessel::Object> second = new Tessel::Object;
    auto* listener = new Listener;
    first->addObserver(listener);
    second->addObserver(listener);
    EXPECT_EQ(first->countObservers(), 1);
    listener->release();
    EXPECT_EQ(first->countObservers(), 0);
    EXPECT_EQ(second->countObservers(), 0);
    first->signal(Tessel::Message("changed")); // would call a dead observer before
}

TEST(ObserverLifetime, ObserversHearDestroyedWhenTheirSubjectGoesAndForgetIt)
{
    Tessel::AutoPtr<Listener> listener = new Listener;
    auto* subject = new Tessel::Object;
    subject->addObserver(listener.get());
    subject->release();
    EXPECT_EQ(listener->heard, std::vector<std::string>{"destroyed"});
    // The listener no longer counts the subject among those it observes: its own end is quiet.
}

TEST(ObserverLifetime, AnObserverRemovedDuringASignalIsNotCalledAfterItWent)
{
    Tessel::AutoPtr<Tessel::Object> subject = new Tessel::Object;
    auto* doomed = new Listener;
    class Killer : public Tessel::Object
    {
    public:
        Listener* victim = nullptr;
        void notify(Tessel::ISubject*, const Tessel::Message&) override
        {
            if (victim)
                std::exchange(victim, nullptr)->release();
        }
    };
    Tessel::AutoPtr<Killer> killer = new Killer;
    killer->victim = doomed;
    subject->addObserver(killer.get());
    subject->addObserver(doomed);
    subject->signal(Tessel::Message("changed")); // the killer runs first and destroys the other
    EXPECT_EQ(subject->countObservers(), 1);
}

TEST(ObserverLifetime, ManyObserversHearEachSignalOnceInTheOrderTheyWereAdded)
{
    // More observers than a delivery copies without allocating, removed and added again meanwhile.
    class Numbered : public Tessel::Object
    {
    public:
        Numbered(std::vector<int>& heard, int number) : heard(heard), number(number) {}
        void notify(Tessel::ISubject*, const Tessel::Message&) override { heard.push_back(number); }
        std::vector<int>& heard;
        int number;
    };
    std::vector<int> heard;
    Tessel::AutoPtr<Tessel::Object> subject = new Tessel::Object;
    std::vector<Tessel::AutoPtr<Numbered>> observers;
    for (int i = 0; i < 12; ++i)
    {
        observers.emplace_back(new Numbered(heard, i));
        subject->addObserver(observers.back().get());
    }
    subject->addObserver(observers[3].get()); // once only
    subject->removeObserver(observers[0].get());
    subject->removeObserver(observers[5].get());
    subject->addObserver(observers[0].get());
    subject->signal(Tessel::Message("changed"));
    EXPECT_EQ(heard, (std::vector<int>{1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 0}));
    EXPECT_EQ(subject->countObservers(), 11);
}

TEST(ObserverLifetime, AnObjectThatObservesAndIsObservedCleansBothSidesWhenItGoes)
{
    Tessel::AutoPtr<Tessel::Object> upstream1 = new Tessel::Object;
    Tessel::AutoPtr<Tessel::Object> upstream2 = new Tessel::Object;
    Tessel::AutoPtr<Listener> downstream1 = new Listener;
    Tessel::AutoPtr<Listener> downstream2 = new Listener;
    auto* middle = new Listener;
    upstream1->addObserver(middle);
    middle->addObserver(downstream1.get());
    upstream2->addObserver(middle);
    middle->addObserver(downstream2.get());
    middle->addObserver(middle); // its own observer too
    upstream1->signal(Tessel::Message("first"));
    upstream2->removeObserver(middle);
    upstream2->signal(Tessel::Message("second")); // no longer heard
    EXPECT_EQ(middle->heard, std::vector<std::string>{"first"});

    middle->release();
    EXPECT_EQ(downstream1->heard, std::vector<std::string>{"destroyed"});
    EXPECT_EQ(downstream2->heard, std::vector<std::string>{"destroyed"});
    EXPECT_EQ(upstream1->countObservers(), 0);
    EXPECT_EQ(upstream2->countObservers(), 0);
    upstream1->signal(Tessel::Message("changed")); // would call the dead one before
    // The downstream listeners forgot the subject: their own end is quiet.
}

TEST(ObserverLifetime, AnObserverAddedDuringASignalHearsOnlyTheNextOne)
{
    Tessel::AutoPtr<Tessel::Object> subject = new Tessel::Object;
    Tessel::AutoPtr<Listener> late = new Listener;
    class Adder : public Tessel::Object
    {
    public:
        Tessel::Object* subject = nullptr;
        Tessel::IObserver* late = nullptr;
        void notify(Tessel::ISubject*, const Tessel::Message&) override { subject->addObserver(late); }
    };
    Tessel::AutoPtr<Adder> adder = new Adder;
    adder->subject = subject.get();
    adder->late = late.get();
    subject->addObserver(adder.get());
    subject->signal(Tessel::Message("first"));
    subject->signal(Tessel::Message("second"));
    EXPECT_EQ(late->heard, std::vector<std::string>{"second"});
}
