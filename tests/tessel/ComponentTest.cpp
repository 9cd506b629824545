#include <gtest/gtest.h>

#include "tessel/AttributeList.h"
#include "tessel/Component.h"
#include "tessel/Parameter.h"

using namespace Tessel;

namespace
{
// Builds  root(empty name) / Speaker / line / ch1  with a "volume" parameter on ch1.
struct Tree
{
    AutoPtr<Component> root = new Component("");
    Component* speaker = new Component("Speaker");
    Component* line = new Component("line");
    Component* ch1 = new Component("ch1");
    Parameter* volume;

    Tree()
    {
        root->addChild(speaker);
        speaker->addChild(line);
        line->addChild(ch1);
        volume = ch1->getParams().addFloat(-80, 10, "volume", 1);
        root->getParams().addParam("power", 2);
    }
};

class Lifetime : public Component
{
public:
    Lifetime(const std::string& name, std::vector<std::string>& log) : Component(name), log(log) {}
    bool initialize(IUnknown* context) override
    {
        log.push_back("init " + getName());
        return Component::initialize(context);
    }
    bool terminate() override
    {
        bool ok = Component::terminate();
        log.push_back("term " + getName());
        return ok;
    }

protected:
    ~Lifetime() override { log.push_back("gone " + getName()); }

private:
    std::vector<std::string>& log;
};
} // namespace

TEST(Component, PathsStopBeforeAnEmptyNamedAncestor)
{
    Tree tree;
    EXPECT_EQ(tree.ch1->getComponentPath(), "Speaker/line/ch1");
    EXPECT_EQ(tree.ch1->getParameterPath(tree.volume), "Speaker/line/ch1/volume");
    EXPECT_EQ(tree.root->getComponentPath(), "");
    // The parameter of a component with an empty name is the bare name.
    EXPECT_EQ(tree.root->getParameterPath(tree.root->findParameter("power")), "power");
}

TEST(Component, PathsLeaveOutTheProcessRoot)
{
    Component* app = new Component("Application");
    ASSERT_TRUE(getRootComponent()->addChild(app));
    Component* child = new Component("x");
    app->addChild(child);
    EXPECT_EQ(getRootComponent()->getName(), "root");
    EXPECT_EQ(child->getComponentPath(), "Application/x");
    EXPECT_EQ(getRootComponent()->lookupChild("Application/x"), child);
    destroyRootComponent();
    EXPECT_EQ(getRootComponent()->countChildren(), 0);
    destroyRootComponent();
}

TEST(Component, FindsDescendantsAndParametersByPath)
{
    Tree tree;
    EXPECT_EQ(tree.root->lookupChild("Speaker/line/ch1"), tree.ch1);
    EXPECT_EQ(tree.root->lookupChild(""), tree.root.get());
    EXPECT_EQ(tree.root->lookupChild("Speaker/nothing"), nullptr);
    EXPECT_EQ(tree.root->lookupChild("Speaker//line"), nullptr);
    EXPECT_EQ(tree.root->lookupParameter("Speaker/line/ch1/volume"), static_cast<IParameter*>(tree.volume));
    EXPECT_EQ(tree.speaker->lookupParameter("line/ch1/volume"), static_cast<IParameter*>(tree.volume));
    EXPECT_EQ(tree.root->lookupParameter("power")->getTag(), 2);
    EXPECT_EQ(tree.root->lookupParameter("Speaker/line/ch1/missing"), nullptr);
    EXPECT_EQ(tree.speaker->findChild("line"), tree.line);
}

TEST(Component, AnswersItsPropertiesAndMethods)
{
    Tree tree;
    tree.speaker->setTitle("Main speaker");
    Variant v;
    ASSERT_TRUE(tree.speaker->getProperty("title", v));
    EXPECT_EQ(v.asString(), "Main speaker");
    ASSERT_TRUE(tree.speaker->getProperty("numChildren", v));
    EXPECT_EQ(v.asInt(), 1);
    ASSERT_TRUE(tree.line->getProperty("parent", v));
    EXPECT_EQ(v.asInterface<Object>(), static_cast<Object*>(tree.speaker));
    ASSERT_TRUE(tree.line->getProperty("children", v));
    ASSERT_NE(v.asInterface<AttributeList>(), nullptr);
    EXPECT_EQ(v.asInterface<AttributeList>()->count(), 1);
    EXPECT_FALSE(tree.line->getProperty("hasItems", v));
    Variant result;
    ASSERT_TRUE(
        tree.root->invokeMethod(result, Message("findParameter", {Variant("Speaker/line/ch1/volume")})));
    EXPECT_EQ(result.asInterface<IParameter>(), static_cast<IParameter*>(tree.volume));
}

TEST(Component, OwnsItsChildrenAndReleasesThemInReverseOrder)
{
    std::vector<std::string> log;
    {
        AutoPtr<Lifetime> parent = new Lifetime("parent", log);
        parent->addChild(new Lifetime("a", log));
        parent->addChild(new Lifetime("b", log));
        EXPECT_TRUE(parent->initialize(nullptr));
        parent->terminate();
        Component* a = parent->findChild("a");
        a->retain();
        EXPECT_TRUE(parent->removeChild(a));
        EXPECT_EQ(a->getParent(), nullptr);
        EXPECT_FALSE(parent->addChild(parent)); // never its own child
        a->release();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"init parent", "init a", "init b", "term b", "term a",
                                             "term parent", "gone a", "gone parent", "gone b"}));
}

TEST(Component, RefusesAChildThatAlreadyHasAParent)
{
    Tree tree;
    EXPECT_FALSE(tree.root->addChild(tree.line));
    EXPECT_EQ(tree.line->getParent(), tree.speaker);
}
