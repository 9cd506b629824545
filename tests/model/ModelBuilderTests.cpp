// Building component trees from hand-written documents: inheritance, loops, ids, loops over
// counters and parameters, class names and class data.

#include "ModelTestSupport.h"

using namespace modeltest;
using namespace Vellaris;

namespace
{

// A component class that keeps the class data it is given.
class RecordingComponent : public UniversalComponent
{
    TESSEL_DECLARE_CLASS(RecordingComponent)
public:
    void setClassData(const Tessel::Attributes& data) override
    {
        received = data;
        ++calls;
    }
    Tessel::Attributes received;
    int calls = 0;
};
TESSEL_DEFINE_CLASS(RecordingComponent, UniversalComponent)

// A class that can be created by name but is not a component.
class NotAComponent : public Tessel::Object
{
    TESSEL_DECLARE_CLASS(NotAComponent)
};
TESSEL_DEFINE_CLASS(NotAComponent, Tessel::Object)

const char* const kLists =
    "<lk:Parameters>"
    "<lk:ParamList id=\"Base\"><lk:Param id=\"base\"/></lk:ParamList>"
    "<lk:ParamList id=\"Own\" inherit=\"Base\"><lk:Param id=\"own\" flags=\"storable\"/>"
    "<lk:Param id=\"local\" flags=\"private\"/></lk:ParamList>"
    "</lk:Parameters>";

class ModelBuilder : public ModelTest
{
};

} // namespace

TEST_F(ModelBuilder, AncestorTemplatesAreBuiltFirst)
{
    loadBody(std::string(kLists) +
             "<lk:Templates>"
             "<lk:Template id=\"Child\" inherit=\"Parent\" paramlist=\"Own\"><lk:Component "
             "id=\"c\"/></lk:Template>"
             "<lk:Template id=\"Parent\" paramlist=\"Base\"><lk:Component id=\"p\"/></lk:Template>"
             "</lk:Templates>");
    UniversalComponent* built = build("Child");
    EXPECT_EQ(childNames(*built), (std::vector<std::string>{"p", "c"}));
    // "base" comes from Parent; Child's list brings "own", "local" and (inherited) "base" again,
    // which the component already has.
    EXPECT_EQ(paramNames(*built), (std::vector<std::string>{"base", "own", "local"}));
}

TEST_F(ModelBuilder, ALoopInTemplateInheritanceIsCutAtTheFirstRepeat)
{
    loadBody("<lk:Templates>"
             "<lk:Template id=\"A\" inherit=\"B\"><lk:Component id=\"a\"/></lk:Template>"
             "<lk:Template id=\"B\" inherit=\"A\"><lk:Component id=\"b\"/></lk:Template>"
             "</lk:Templates>");
    EXPECT_EQ(childNames(*build("A")), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(childNames(*build("B")), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ModelBuilder, ATemplateThatContainsItselfIsCutAndReported)
{
    loadBody("<lk:Templates><lk:Template id=\"T\"><lk:Component id=\"x\" template=\"T\"/></lk:Template>"
             "<lk:Template id=\"U\"><lk:Component id=\"y\" template=\"V\"/></lk:Template>"
             "<lk:Template id=\"V\"><lk:Component id=\"z\" template=\"U\"/></lk:Template></lk:Templates>");
    UniversalComponent* built = build("T");
    ASSERT_EQ(childNames(*built), (std::vector<std::string>{"x"}));
    EXPECT_EQ(built->getChild(0)->countChildren(), 0);
    built = build("U");
    EXPECT_EQ(built->lookupChild("y/z") != nullptr, true);
    EXPECT_EQ(built->lookupChild("y/z")->countChildren(), 0);
    EXPECT_EQ(countWarnings("loop cut"), 2);
}

TEST_F(ModelBuilder, MissingTemplatesAreReportedAndBuildNothing)
{
    loadBody("<lk:Templates><lk:Template id=\"T\"><lk:Component id=\"x\" template=\"Gone\"/></lk:Template>"
             "</lk:Templates>");
    EXPECT_FALSE(
        builder->buildTemplate(root = new UniversalComponent, "Absent", UniversalComponent::metaClass));
    EXPECT_EQ(root->countChildren(), 0);
    EXPECT_EQ(warnings(), (std::vector<std::string>{"LK Component template not found: Absent"}));
    UniversalComponent* built = build("T");
    EXPECT_EQ(childNames(*built), (std::vector<std::string>{"x"}));
    EXPECT_EQ(countWarnings("LK Component Template not found: Gone"), 1);
}

TEST_F(ModelBuilder, ASlashInAnIdBecomesADot)
{
    loadBody("<lk:Templates><lk:Template id=\"T\">"
             "<lk:Component id=\"left/right\" name=\"Left/Right\" group=\"Main/Sub\"/>"
             "</lk:Template></lk:Templates>");
    UniversalComponent* built = build("T");
    ASSERT_EQ(childNames(*built), (std::vector<std::string>{"left.right"}));
    EXPECT_EQ(built->getChild(0)->getTitle(), "Left/Right");
    EXPECT_EQ(built->getChild(0)->getGroup(), "Main/Sub");
}

TEST_F(ModelBuilder, ForEachRepeatsItsChildrenForEveryCounterValue)
{
    loadBody("<lk:Templates><lk:Template id=\"T\">"
             "<lk:foreach id=\"$i\" min=\"1\" max=\"3\"><lk:Component id=\"ch$i\" name=\"Channel "
             "$i\"/></lk:foreach>"
             "<lk:foreach id=\"$k\" min=\"-1.7\" max=\"0.9\"><lk:Component id=\"k$k\"/></lk:foreach>"
             "<lk:foreach id=\"$e\" min=\"2\" max=\"1\"><lk:Component id=\"never\"/></lk:foreach>"
             "</lk:Template></lk:Templates>");
    UniversalComponent* built = build("T");
    EXPECT_EQ(childNames(*built), (std::vector<std::string>{"ch1", "ch2", "ch3", "k-1", "k0"}));
    EXPECT_EQ(built->getChild(2)->getTitle(), "Channel 3");
}

TEST_F(ModelBuilder, NestedLoopVariablesExpandInnermostFirst)
{
    loadBody("<lk:Templates><lk:Template id=\"T\">"
             "<lk:foreach id=\"N\" min=\"1\" max=\"1\"><lk:foreach id=\"NN\" min=\"2\" max=\"2\">"
             "<lk:Component id=\"NN-N\"/></lk:foreach></lk:foreach>"
             "</lk:Template></lk:Templates>");
    EXPECT_EQ(childNames(*build("T")), (std::vector<std::string>{"2-1"}));
}

TEST_F(ModelBuilder, AnEndlessCounterStopsWithAReport)
{
    loadBody("<lk:Templates><lk:Template id=\"T\">"
             "<lk:foreach id=\"i\" min=\"0\" max=\"#FFFFFFFFFFFFFFFF\"/>"
             "</lk:Template></lk:Templates>");
    root = new UniversalComponent;
    EXPECT_FALSE(builder->buildTemplate(root, "T", UniversalComponent::metaClass));
    EXPECT_EQ(countWarnings("LK Component build stopped"), 1);
}

TEST_F(ModelBuilder, ForEachParamRepeatsForTheParametersOfAnotherComponent)
{
    loadBody(std::string(kLists) +
             "<lk:Templates>"
             "<lk:Template id=\"Inner\"><lk:Component id=\"ch1\" paramlist=\"Own\"/></lk:Template>"
             "<lk:Template id=\"T\"><lk:Component id=\"line\" template=\"Inner\"/>"
             "<lk:Component id=\"copies\"><lk:foreach id=\"$n\" min=\"1\" max=\"1\">"
             "<lk:foreachparam id=\"$p\" name=\"$title\" component=\"line/ch$n\" flags=\"storable private\">"
             "<lk:Component id=\"copy_$p\" name=\"$title of $p\"/></lk:foreachparam></lk:foreach>"
             "<lk:foreachparam id=\"@\" component=\"line/ch1\"><lk:Component id=\"all_@\"/></lk:foreachparam>"
             "<lk:foreachparam id=\"@\" component=\"line/none\"/>"
             "</lk:Component></lk:Template></lk:Templates>");
    UniversalComponent* built = build("T");
    Tessel::Component* copies = built->findChild("copies");
    ASSERT_TRUE(copies);
    EXPECT_EQ(childNames(*copies),
              (std::vector<std::string>{"copy_own", "copy_local", "all_own", "all_local", "all_base"}));
    EXPECT_EQ(countWarnings("line/none"), 1);
}

TEST_F(ModelBuilder, ComponentParametersComeFromItsListItsTemplatesListAndAnInlineList)
{
    loadBody(std::string(kLists) +
             "<lk:Templates>"
             "<lk:Template id=\"WithList\" paramlist=\"Base\"/>"
             "<lk:Template id=\"T\">"
             "<lk:Component id=\"listed\" paramlist=\"Own\" template=\"WithList\">"
             "<lk:ParamList starttag=\"50\"><lk:Param id=\"extra\"/></lk:ParamList></lk:Component>"
             "<lk:Component id=\"fromTemplate\" template=\"WithList\"/>"
             "</lk:Template></lk:Templates>");
    UniversalComponent* built = build("T");
    Tessel::Component* listed = built->findChild("listed");
    ASSERT_TRUE(listed);
    EXPECT_EQ(paramNames(*listed), (std::vector<std::string>{"own", "local", "base", "extra"}));
    EXPECT_EQ(listed->findParameter("extra")->getTag(), 50);
    EXPECT_EQ(paramNames(*built->findChild("fromTemplate")), (std::vector<std::string>{"base"}));
}

TEST_F(ModelBuilder, AnUnknownClassFallsBackToTheDefaultClassAfterOneReport)
{
    loadBody("<lk:Templates><lk:Template id=\"T\">"
             "<lk:Component id=\"a\" classname=\"NoSuchComponent\"/>"
             "<lk:Component id=\"b\" classname=\"NotAComponent\"/>"
             "<lk:Component id=\"c\" classname=\"RecordingComponent\"/>"
             "<lk:Component id=\"d\"/>"
             "</lk:Template></lk:Templates>");
    root = new UniversalComponent;
    builder->buildTemplate(root, "T", RecordingComponent::metaClass);
    ASSERT_EQ(root->countChildren(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(root->getChild(i)->getClassName(), "RecordingComponent") << i;
    EXPECT_EQ(warnings(), (std::vector<std::string>{"LK Component class not found: NoSuchComponent",
                                                    "LK Component class not found: NotAComponent"}));
}

TEST_F(ModelBuilder, WithoutClassNamesEveryComponentIsOfTheDefaultClassAndGetsNoClassData)
{
    loadBody(
        "<lk:Templates><lk:Template id=\"T\">"
        "<lk:Component id=\"a\" classname=\"RecordingComponent\"><lk:Data>{\"k\": 1}</lk:Data></lk:Component>"
        "</lk:Template></lk:Templates>");
    builder->setClassNamesAllowed(false);
    root = new UniversalComponent;
    builder->buildTemplate(root, "T", UniversalComponent::metaClass);
    ASSERT_EQ(root->countChildren(), 1);
    EXPECT_STREQ(root->getChild(0)->getClassName(), "UniversalComponent");
    EXPECT_TRUE(warnings().empty());
}

TEST_F(ModelBuilder, ClassDataComesFromTheNamedBlockOrAnInlineOne)
{
    loadBody(
        "<lk:Definitions><lk:Data id=\"Named\" type=\"application/json\">{\"numBands\": 8}</lk:Data>"
        "<lk:Data id=\"Broken\">{\"numBands\": </lk:Data>"
        "<lk:Data id=\"Text\" type=\"text/plain\">{\"numBands\": 3}</lk:Data>"
        "<lk:Data id=\"Empty\">{}</lk:Data></lk:Definitions>"
        "<lk:Templates><lk:Template id=\"T\">"
        "<lk:Component id=\"named\" classdata=\"Named\"><lk:Data>{\"inline\": 1}</lk:Data></lk:Component>"
        "<lk:Component id=\"inline\"><lk:Data>{\"inline\": 2}</lk:Data></lk:Component>"
        "<lk:Component id=\"broken\" classdata=\"Broken\"/>"
        "<lk:Component id=\"text\" classdata=\"Text\"/>"
        "<lk:Component id=\"empty\" classdata=\"Empty\"/>"
        "</lk:Template></lk:Templates>");
    root = new UniversalComponent;
    builder->buildTemplate(root, "T", RecordingComponent::metaClass);
    auto recorded = [this](const char* name)
    { return Tessel::classCast<RecordingComponent>(root->findChild(name)); };
    ASSERT_TRUE(recorded("named") && recorded("inline") && recorded("broken") && recorded("text"));
    EXPECT_EQ(recorded("named")->received.getInt("numBands"), 8);
    EXPECT_FALSE(recorded("named")->received.contains("inline"));
    EXPECT_EQ(recorded("inline")->received.getInt("inline"), 2);
    EXPECT_EQ(recorded("broken")->calls, 0);
    EXPECT_EQ(recorded("text")->calls, 0);
    EXPECT_EQ(recorded("empty")->calls, 0);
    EXPECT_EQ(warnings(), (std::vector<std::string>{"Failed to parse JSON data \"Broken\" from LK XML!"}));
}

TEST_F(ModelBuilder, ClassDataIsReadOncePerBlockAndItsNestedObjectsAreShared)
{
    loadBody("<lk:Definitions><lk:Data id=\"Layout\">{\"numBands\": 2, \"bands\": [{\"gain\": \"g1\"}, "
             "{\"gain\": \"g2\"}]}</lk:Data><lk:Data id=\"Broken\">{\"bands\": </lk:Data></lk:Definitions>"
             "<lk:Templates><lk:Template id=\"T\">"
             "<lk:Component id=\"eq\" classdata=\"Layout\"/>"
             "<lk:Component id=\"notch\"><lk:Data>{\"numBands\": 2, \"bands\": [{\"gain\": \"g1\"}, "
             "{\"gain\": \"g2\"}]}</lk:Data></lk:Component>"
             "<lk:Component id=\"broken\" classdata=\"Broken\"/>"
             "</lk:Template></lk:Templates>");
    Tessel::AutoPtr<UniversalComponent> first = new UniversalComponent;
    Tessel::AutoPtr<UniversalComponent> second = new UniversalComponent;
    builder->buildTemplate(first, "T", RecordingComponent::metaClass);
    builder->buildTemplate(second, "T", RecordingComponent::metaClass);
    auto recorded = [](UniversalComponent* in, const char* name)
    { return Tessel::classCast<RecordingComponent>(in->findChild(name)); };
    ASSERT_TRUE(recorded(first, "eq") && recorded(second, "eq") && recorded(first, "notch"));

    const Tessel::Attributes& mine = recorded(first, "eq")->received;
    const Tessel::Attributes& theirs = recorded(second, "eq")->received;
    EXPECT_EQ(mine.getInt("numBands"), 2);
    ASSERT_TRUE(mine.getList("bands"));
    EXPECT_EQ(mine.getList("bands"), theirs.getList("bands"));
    // The same text inline is the same block.
    EXPECT_EQ(recorded(first, "notch")->received.getList("bands"), mine.getList("bands"));
    EXPECT_TRUE(mine.equals(recorded(second, "notch")->received));
    // A block that does not parse is reported at every build and given to nobody.
    EXPECT_EQ(recorded(first, "broken")->calls, 0);
    EXPECT_EQ(countWarnings("Failed to parse JSON data \"Broken\""), 2);
}

TEST_F(ModelBuilder, WrappersAreTransparent)
{
    loadBody(
        "<lk:Templates><lk:Template id=\"T\"><group><lk:Component id=\"a\"><more><lk:Component id=\"b\"/>"
        "</more></lk:Component></group></lk:Template></lk:Templates>");
    UniversalComponent* built = build("T");
    EXPECT_TRUE(built->lookupChild("a/b"));
}

TEST_F(ModelBuilder, IdleTicksReachEveryUniversalChild)
{
    struct Counting : UniversalComponent
    {
        void idleTick() override
        {
            ++ticks;
            UniversalComponent::idleTick();
        }
        int ticks = 0;
    };
    Tessel::AutoPtr<UniversalComponent> top = new UniversalComponent;
    auto* middle = new UniversalComponent;
    auto* leaf = new Counting;
    top->addChild(middle);
    middle->addChild(leaf);
    top->idleTick();
    top->idleTick();
    EXPECT_EQ(leaf->ticks, 2);
}
