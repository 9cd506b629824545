#include <gtest/gtest.h>

#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/ClassFactory.h"
#include "tessel/Component.h"
#include "tessel/Initializer.h"
#include "tessel/Parameter.h"
#include "tessel/SharedPtr.h"
#include "tessel/TextVariables.h"
#include "tessel/UID.h"

using namespace Tessel;

namespace
{
class Speaker : public Component
{
    TESSEL_DECLARE_CLASS(Speaker)
public:
    static int alive;
    Speaker() { ++alive; }

protected:
    ~Speaker() override { --alive; }
};
int Speaker::alive = 0;
TESSEL_DEFINE_CLASS_NAMED(Speaker, Component, "TestSpeakerComponent")

class Woofer : public Speaker
{
    TESSEL_DECLARE_CLASS(Woofer)
};
TESSEL_DEFINE_CLASS_NAMED(Woofer, Speaker, "TestWooferComponent")
} // namespace

TEST(UID, FormatsUpperCaseAndParsesEitherCase)
{
    UID uid{0x0123abcd, 0x4567, 0x89ef, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};
    EXPECT_EQ(uid.toString(), "{0123ABCD-4567-89EF-0123-456789ABCDEF}");
    UID parsed;
    ASSERT_TRUE(parsed.fromString("{0123abcd-4567-89ef-0123-456789abcdef}"));
    EXPECT_EQ(parsed, uid);
}

TEST(UID, RejectsMalformedTextAndKeepsValue)
{
    UID uid = UID::generate();
    UID before = uid;
    for (const char* bad :
         {"", "{}", "0123ABCD-4567-89EF-0123-456789ABCDEF", "{0123ABCD-4567-89EF-0123-456789ABCDEG}",
          "{0123ABCD4567-89EF-0123-456789ABCDEF0}", "{0123ABCD-4567-89EF-0123-456789ABCDEF}x"})
    {
        EXPECT_FALSE(uid.fromString(bad)) << bad;
        EXPECT_EQ(uid, before);
    }
}

TEST(UID, GeneratedIdentifiersDifferAndRoundTrip)
{
    UID a = UID::generate();
    UID b = UID::generate();
    EXPECT_NE(a, b);
    UID back;
    ASSERT_TRUE(back.fromString(a.toString()));
    EXPECT_EQ(back, a);
}

TEST(Unknown, CountStartsAtOneAndLastReleaseDestroys)
{
    int before = Speaker::alive;
    Speaker* speaker = new Speaker;
    EXPECT_EQ(speaker->getRetainCount(), 1);
    {
        SharedPtr<Speaker> held(speaker);
        EXPECT_EQ(speaker->getRetainCount(), 2);
    }
    EXPECT_EQ(speaker->release(), 0);
    EXPECT_EQ(Speaker::alive, before);
}

TEST(Unknown, QueryInterfaceAnswersImplementedInterfacesOnly)
{
    AutoPtr<Component> component = new Component("c");
    EXPECT_NE(component->queryInterface(IParamObserver::kIID), nullptr);
    EXPECT_NE(component->queryInterface(ISubject::kIID), nullptr);
    EXPECT_EQ(component->queryInterface(IParameter::kIID), nullptr);
    IUnknown* unknown = static_cast<Object*>(component.get());
    EXPECT_EQ(unknownCast<ICommandHandler>(unknown), static_cast<ICommandHandler*>(component.get()));
}

TEST(ClassFactory, CreatesRegisteredClassesByName)
{
    Object* object = ClassFactory::createObject("TestWooferComponent");
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->getClassName(), "TestWooferComponent");
    EXPECT_NE(classCast<Woofer>(object), nullptr);
    object->release();
    EXPECT_EQ(ClassFactory::createObject("NoSuchClass"), nullptr);
}

TEST(ClassFactory, IsKindOfWalksTheParentChain)
{
    AutoPtr<Woofer> woofer = new Woofer;
    EXPECT_TRUE(woofer->isKindOf(Speaker::metaClass));
    EXPECT_TRUE(woofer->isKindOf(Component::metaClass));
    EXPECT_TRUE(woofer->isKindOf(Object::metaClass));
    EXPECT_TRUE(woofer->getMetaClass().isKindOf("Component"));
    AutoPtr<Speaker> speaker = new Speaker;
    EXPECT_FALSE(speaker->isKindOf(Woofer::metaClass));
    EXPECT_EQ(classCast<Woofer>(speaker.get()), nullptr);
    AutoPtr<Parameter> param = Parameter::createToggle("p");
    EXPECT_FALSE(param->isKindOf(Component::metaClass));
}

namespace
{
std::vector<std::string> initOrder;
bool initLate()
{
    initOrder.push_back("late");
    return true;
}
bool initEarly()
{
    initOrder.push_back("early");
    return true;
}
bool initFailing()
{
    initOrder.push_back("failing");
    return false;
}
Initializer lateInit("TestLate", 1000, &initLate);
Initializer failingInit("TestFailing", 950, &initFailing);
Initializer earlyInit("TestEarly", 100, &initEarly);
} // namespace

TEST(Initializer, RunsOnceInAscendingOrderAfterFailures)
{
    initOrder.clear();
    EXPECT_FALSE(runInitializers()); // one of them fails
    EXPECT_EQ(initOrder, (std::vector<std::string>{"early", "failing", "late"}));
    EXPECT_TRUE(runInitializers()); // nothing left to run
    EXPECT_EQ(initOrder.size(), 3u);
    // The framework's own initializer has run and registered its classes.
    EXPECT_NE(ClassFactory::findClass("Component"), nullptr);
    EXPECT_NE(ClassFactory::findClass("ListParam"), nullptr);
}

TEST(Variant, ConvertsBetweenNumbersAndTexts)
{
    EXPECT_EQ(Variant(3.9).asInt(), 3);
    EXPECT_EQ(Variant(-3.9).asInt(), -3);
    EXPECT_EQ(Variant("42").asInt(), 42);
    EXPECT_DOUBLE_EQ(Variant("2.5").asDouble(), 2.5);
    EXPECT_EQ(Variant("abc").asInt(), 0);
    EXPECT_EQ(Variant(0.1).asString(), "0.1");
    EXPECT_EQ(Variant((long long)-7).asString(), "-7");
    EXPECT_EQ(Variant(2) == Variant(2.0), true);
    EXPECT_EQ(Variant("2") == Variant(2), false);
    EXPECT_EQ(Variant(1e300).asInt(), INT64_MAX);
}

TEST(Variant, TypeCodeSitsInLowBitsBesideFlags)
{
    Variant v(5);
    v.setFlags(0x30);
    EXPECT_EQ(v.getType(), Variant::kInt);
    EXPECT_EQ(v.getFlags(), 0x30);
    EXPECT_EQ(Variant(std::string("x")).getType(), 3);
    EXPECT_EQ(Variant().getType(), 0);
}

TEST(Variant, HoldsAReferenceToItsObject)
{
    Attributes* attributes = new Attributes;
    {
        Variant v(static_cast<IUnknown*>(attributes));
        Variant copy = v;
        EXPECT_EQ(attributes->getRetainCount(), 3);
        copy = Variant(1);
        EXPECT_EQ(attributes->getRetainCount(), 2);
    }
    EXPECT_EQ(attributes->release(), 0);
}

TEST(Attributes, KeepsInsertionOrderAndReplacesInPlace)
{
    AutoPtr<Attributes> a = new Attributes;
    a->setInt("b", 1);
    a->setString("a", "x");
    a->setInt("b", 2);
    ASSERT_EQ(a->count(), 2);
    EXPECT_EQ(a->keyAt(0), "b");
    EXPECT_EQ(a->getInt("b"), 2);
    EXPECT_EQ(a->getString("b", "fallback"), "fallback");
    Attributes* nested = a->newAttributes("child");
    nested->setFloat("min", -3.5);
    AttributeList* list = a->newList("items");
    list->append(Variant("one"));
    list->appendAttributes()->setInt("k", 1);

    Attributes copy(*a);
    EXPECT_TRUE(copy.equals(*a));
    nested->setFloat("min", -4);
    EXPECT_TRUE(copy.equals(*a)); // nested objects are shared by the copy
    EXPECT_DOUBLE_EQ(a->getAttributes("child")->getFloat("min"), -4);
    EXPECT_EQ(a->getList("items")->attributesAt(1)->getInt("k"), 1);
    EXPECT_TRUE(a->remove("a"));
    EXPECT_FALSE(copy.equals(*a));
}

TEST(TextVariables, ExpandsPublishedNamesLongestFirst)
{
    TextVariables vars;
    vars.set("APPNAME", "Ambrel");
    vars.set("APP", "short");
    vars.set("COPYYEAR", "2014");
    EXPECT_EQ(vars.expand("About $APPNAME"), "About Ambrel");
    EXPECT_EQ(vars.expand("$APP and $APPNAMES"), "short and AmbrelS");
    EXPECT_EQ(vars.expand("(c) $COPYYEAR $UNKNOWN $"), "(c) 2014 $UNKNOWN $");
    EXPECT_EQ(vars.expand("no variables"), "no variables");
    vars.set("LOOP", "$LOOP");
    EXPECT_EQ(vars.expand("$LOOP"), "$LOOP"); // values are not expanded again
}
