// Reading model documents: the root element, includes, attribute limits, numbers, bad input.

#include <filesystem>
#include <fstream>

#include "ModelTestSupport.h"
#include "model/ModelSyntax.h"

using namespace modeltest;
using namespace Vellaris;

namespace
{

class ModelLoader : public ModelTest
{
protected:
    ModelLoader()
    {
        folder = std::filesystem::path(::testing::TempDir()) /
                 ("model-loader-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder / "dsp");
    }
    ~ModelLoader() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const std::string& body)
    {
        const std::filesystem::path path = folder / name;
        std::ofstream(path) << document(body);
        return path.string();
    }

    ComponentModel& model() { return builder->getModel(); }

    std::filesystem::path folder;
};

std::string stringList(const std::string& id, const std::string& text)
{
    return "<lk:Definitions><lk:StringList id=\"" + id + "\"><lk:String text=\"" + text +
           "\"/></lk:StringList></lk:Definitions>";
}

std::string firstEntry(const ComponentModel& model, const std::string& id)
{
    const StringListNode* list = model.findStringList(id);
    if (!list || list->getChildren().empty())
        return "(none)";
    return static_cast<const StringNode&>(*list->getChildren().front()).text;
}

} // namespace

TEST_F(ModelLoader, RefusesADocumentWhoseRootIsNotAComponentModelAndKeepsTheOldOne)
{
    loadBody(stringList("Kept", "old"));
    EXPECT_FALSE(model().loadFromMemory("<lk:Templates/>", "x.xml"));
    EXPECT_FALSE(model().loadFromMemory("<lk:ComponentModel><unclosed></lk:ComponentModel>", "y.xml"));
    EXPECT_FALSE(model().loadFromMemory("", "z.xml"));
    EXPECT_EQ(countWarnings("LK Component model not loaded"), 3);
    EXPECT_EQ(firstEntry(model(), "Kept"), "old");
}

TEST_F(ModelLoader, ReportsAMissingFile)
{
    EXPECT_FALSE(builder->load((folder / "absent.xml").string()));
    EXPECT_EQ(countWarnings("absent.xml"), 1);
    EXPECT_FALSE(model().isLoaded());
}

TEST_F(ModelLoader, IncludesResolveRelativeToTheIncludingDocumentAndTheMainDocumentWins)
{
    write("dsp/part.xml", stringList("Shared", "from part") + stringList("PartOnly", "part") +
                              "<xi:include href=\"never.xml\"/>");
    write("dsp/never.xml", stringList("Nested", "followed"));
    const std::string main =
        write("main.xml", "<xi:include href=\"dsp/part.xml\"/>" + stringList("Shared", "from main"));
    ASSERT_TRUE(builder->load(main));
    EXPECT_EQ(firstEntry(model(), "Shared"), "from main");
    EXPECT_EQ(firstEntry(model(), "PartOnly"), "part");
    EXPECT_EQ(firstEntry(model(), "Nested"), "(none)"); // an included document's includes are not followed
    EXPECT_TRUE(warnings().empty());
}

TEST_F(ModelLoader, AFailedIncludeSkipsTheRemainingOnes)
{
    write("a.xml", stringList("A", "a"));
    write("c.xml", stringList("C", "c"));
    const std::string main = write("main.xml", "<xi:include href=\"a.xml\"/><xi:include href=\"b.xml\"/>"
                                               "<xi:include href=\"c.xml\"/>");
    ASSERT_TRUE(builder->load(main));
    EXPECT_EQ(firstEntry(model(), "A"), "a");
    EXPECT_EQ(firstEntry(model(), "C"), "(none)");
    EXPECT_EQ(countWarnings("b.xml"), 1);
}

TEST_F(ModelLoader, SectionsAreMadeOnFirstLookupWhenTheDocumentLacksThem)
{
    loadBody("");
    EXPECT_EQ(model().findTemplate("Any"), nullptr);
    ASSERT_NE(model().getTemplates(), nullptr);
    EXPECT_EQ(model().getTemplates(), model().getTemplates());
    EXPECT_TRUE(model().getTemplates()->getChildren().empty());
}

TEST_F(ModelLoader, CutsAttributesToTheirLimits)
{
    const std::string long200(200, 'x');
    loadBody("<lk:Definitions><lk:StringList id=\"L\"><lk:String text=\"" + long200 +
             "\"/></lk:StringList><lk:Data id=\"D\" type=\"" + long200 +
             "\"/></lk:Definitions>"
             "<lk:Parameters><lk:ParamList id=\"P\"><lk:Param id=\"" +
             long200 + "\" range=\"" + long200 + "\" name=\"" + long200 +
             "\"/></lk:ParamList></lk:Parameters>");
    EXPECT_EQ(firstEntry(model(), "L").size(), 127u);
    ASSERT_TRUE(model().findData("D"));
    EXPECT_EQ(model().findData("D")->type.size(), 31u);
    const auto params = model().describeParamList("P");
    ASSERT_EQ(params.size(), 1u);
    EXPECT_EQ(params[0].id.size(), 63u);
    EXPECT_EQ(params[0].name.size(), 63u);
    EXPECT_EQ(params[0].node->range.size(), 31u);
}

TEST_F(ModelLoader, OnlyDataBlocksKeepTheirText)
{
    loadBody(
        "<lk:Definitions><lk:Data id=\"D\">{\"a\": 1}</lk:Data>"
        "<lk:StringList id=\"S\">ignored<lk:String text=\"t\"/></lk:StringList>"
        "<vendor:Extra xmlns:vendor=\"urn:x\"><lk:Range id=\"Inside\"/></vendor:Extra></lk:Definitions>");
    ASSERT_TRUE(model().findData("D"));
    EXPECT_EQ(model().findData("D")->text, "{\"a\": 1}");
    const ModelNode* extra = model().getDefinitions()->findChild("vendor:Extra");
    ASSERT_TRUE(extra);
    EXPECT_EQ(typeid(*extra), typeid(ModelNode));    // elements outside the table get a plain node
    EXPECT_EQ(model().findRange("Inside"), nullptr); // not directly in the section
}

TEST_F(ModelLoader, RefusesDocumentsNestedTooDeeply)
{
    std::string body;
    for (int i = 0; i < ComponentModel::kMaxDepth + 10; ++i)
        body += "<a>";
    for (int i = 0; i < ComponentModel::kMaxDepth + 10; ++i)
        body += "</a>";
    EXPECT_FALSE(model().loadFromMemory(document(body), "deep.xml"));
    EXPECT_EQ(countWarnings("nested too deeply"), 1);
}

TEST(ModelSyntax, NumbersAreDecimalOrHashHexadecimal)
{
    double v = -1;
    EXPECT_TRUE(ModelSyntax::parseNumber("3.1622", v));
    EXPECT_DOUBLE_EQ(v, 3.1622);
    EXPECT_TRUE(ModelSyntax::parseNumber("#FF", v));
    EXPECT_EQ(v, 255);
    EXPECT_TRUE(ModelSyntax::parseNumber("#FFFFFFFFFFFFFFFF", v));
    EXPECT_EQ(v, 18446744073709551615.0);
    EXPECT_TRUE(ModelSyntax::parseNumber("-1e3", v));
    EXPECT_EQ(v, -1000);
    v = 7;
    for (const char* bad :
         {"", "#", "#-1", "#0x10", "#12345678901234567", "abc", "1.5x", "nan", "inf", "1e999"})
    {
        EXPECT_FALSE(ModelSyntax::parseNumber(bad, v)) << bad;
        EXPECT_EQ(v, 7) << bad;
    }
}

TEST(ModelSyntax, FlagWordsCountAnywhereInTheText)
{
    EXPECT_EQ(ModelSyntax::parseFlags("storable mutable"), ModelSyntax::kStorable | ModelSyntax::kMutable);
    EXPECT_EQ(ModelSyntax::parseFlags("notprivate,readonlyish"),
              ModelSyntax::kPrivate | ModelSyntax::kReadOnly);
    EXPECT_EQ(ModelSyntax::parseFlags(""), 0u);
    EXPECT_EQ(ModelSyntax::parseType("Float"), ModelSyntax::kToggle); // exact comparison
    EXPECT_EQ(ModelSyntax::parseType("color"), ModelSyntax::kColor);
}

TEST_F(ModelLoader, TagsUseTheLowThirtyTwoBitsAndCountFromStartTag)
{
    loadBody("<lk:Parameters><lk:ParamList id=\"P\" starttag=\"4294967306\">"
             "<lk:Param id=\"a\"/><lk:Data/><lk:Param id=\"b\" tag=\"-1\"/><lk:Param id=\"c\" tag=\"x\"/>"
             "<lk:Param id=\"d\" tag=\"4294967297\"/></lk:ParamList></lk:Parameters>");
    const auto params = model().describeParamList("P");
    ASSERT_EQ(params.size(), 4u);
    EXPECT_EQ(params[0].tag, 10);
    EXPECT_EQ(params[1].tag, -1);
    EXPECT_EQ(params[2].tag, 12); // a tag that does not parse counts as absent
    EXPECT_EQ(params[3].tag, 1);
}

TEST_F(ModelLoader, ParameterListInheritanceTakesEachListOnceAndReportsTheLoop)
{
    loadBody("<lk:Parameters>"
             "<lk:ParamList id=\"A\" inherit=\"B\"><lk:Param id=\"a\"/></lk:ParamList>"
             "<lk:ParamList id=\"B\" inherit=\"C\"><lk:Param id=\"b\"/></lk:ParamList>"
             "<lk:ParamList id=\"C\" inherit=\"A\"><lk:Param id=\"c\"/></lk:ParamList>"
             "<lk:ParamList id=\"D\" inherit=\"Missing\"><lk:Param id=\"d\"/></lk:ParamList>"
             "</lk:Parameters>");
    std::vector<std::string> ids;
    for (const ParamDescription& p : model().describeParamList("A"))
        ids.push_back(p.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(countWarnings("loop"), 1);
    EXPECT_EQ(model().describeParamList("D").size(), 1u);
    EXPECT_EQ(countWarnings("LK Parameter list not found: Missing"), 1);
}

TEST_F(ModelLoader, ParameterListsAreDescribedOncePerLoadAndAfreshAfterAReload)
{
    loadBody("<lk:Parameters><lk:ParamList id=\"P\"><lk:Param id=\"old\"/></lk:ParamList></lk:Parameters>");
    const std::vector<ParamDescription>& first = model().describeParamList("P");
    EXPECT_EQ(&model().describeParamList("P"), &first); // every speaker shares one description
    model().describeParamList("Missing");
    model().describeParamList("Missing");
    EXPECT_EQ(countWarnings("LK Parameter list not found: Missing"), 1);

    loadBody("<lk:Parameters><lk:ParamList id=\"P\"><lk:Param id=\"new\"/><lk:Param id=\"more\"/>"
             "</lk:ParamList></lk:Parameters>");
    const std::vector<ParamDescription>& reloaded = model().describeParamList("P");
    ASSERT_EQ(reloaded.size(), 2u);
    EXPECT_EQ(reloaded[0].id, "new");
    model().clear();
    EXPECT_TRUE(model().describeParamList("P").empty());
}

TEST_F(ModelLoader, TemplateChainPutsAncestorsFirstAndStopsAtARepeat)
{
    loadBody("<lk:Templates><lk:Template id=\"Child\" inherit=\"Parent\"/>"
             "<lk:Template id=\"Parent\" inherit=\"Grand\"/><lk:Template id=\"Grand\" inherit=\"Child\"/>"
             "</lk:Templates>");
    std::vector<std::string> ids;
    for (const TemplateNode* t : model().getTemplateChain("Child"))
        ids.push_back(t->id);
    EXPECT_EQ(ids, (std::vector<std::string>{"Grand", "Parent", "Child"}));
}
