// Parameters made from descriptions: effective ranges, defaults, formatters, curves and flags.

#include "ModelTestSupport.h"
#include "model/ModelParamCurve.h"
#include "tessel/ListParam.h"

using namespace modeltest;
using namespace Vellaris;

namespace
{

class ParameterCreation : public ModelTest
{
protected:
    // Builds one component whose list is `params` (with `definitions`) and returns it.
    UniversalComponent* component(const std::string& params, const std::string& definitions = {})
    {
        loadBody("<lk:Definitions>" + definitions +
                 "</lk:Definitions><lk:Parameters><lk:ParamList id=\"P\">" + params +
                 "</lk:ParamList></lk:Parameters><lk:Templates><lk:Template id=\"T\" paramlist=\"P\"/>"
                 "</lk:Templates>");
        return build("T");
    }
};

} // namespace

TEST_F(ParameterCreation, OwnAttributesOverrideTheNamedRange)
{
    UniversalComponent* c =
        component("<lk:Param id=\"f\" type=\"float\" range=\"R\" def=\"240\"/>"
                  "<lk:Param id=\"g\" type=\"float\" range=\"R\" units=\"gain\" min=\"100\"/>"
                  "<lk:Param id=\"h\" type=\"float\" range=\"Missing\" max=\"5\"/>",
                  "<lk:Range id=\"R\" min=\"20\" max=\"20000\" def=\"2000\" units=\"freq\" curve=\"log\"/>");
    Tessel::IParameter* f = c->findParameter("f");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->getType(), Tessel::ParamType::kFloat);
    EXPECT_EQ(f->getMin().asDouble(), 20);
    EXPECT_EQ(f->getMax().asDouble(), 20000);
    EXPECT_EQ(f->getDefaultValue().asDouble(), 240);
    EXPECT_EQ(f->getValue().asDouble(), 240);
    EXPECT_TRUE(f->getCurve());
    EXPECT_EQ(f->toString(), "240.0 Hz");
    Tessel::IParameter* g = c->findParameter("g");
    EXPECT_EQ(g->getMin().asDouble(), 100);
    EXPECT_EQ(g->getDefaultValue().asDouble(), 2000);
    EXPECT_EQ(g->toString(), "2000.00 dB");
    Tessel::IParameter* h = c->findParameter("h");
    EXPECT_EQ(h->getMax().asDouble(), 5);
    EXPECT_EQ(h->getCurve(), nullptr);
}

TEST_F(ParameterCreation, MissingDefaultIsTheMinimumAndIntegerBoundsRoundDown)
{
    UniversalComponent* c =
        component("<lk:Param id=\"t\" type=\"int\" min=\"-18.5\" max=\"100.9\" def=\"16.7\"/>"
                  "<lk:Param id=\"m\" type=\"float\" min=\"-3\" max=\"3\"/>"
                  "<lk:Param id=\"z\" type=\"float\"/>"
                  "<lk:Param id=\"s\" type=\"float\" min=\"1\" max=\"20\" steps=\"100\"/>");
    Tessel::IParameter* t = c->findParameter("t");
    EXPECT_EQ(t->getType(), Tessel::ParamType::kInteger);
    EXPECT_EQ(t->getMin().asInt(), -19);
    EXPECT_EQ(t->getMax().asInt(), 100);
    EXPECT_EQ(t->getDefaultValue().asInt(), 16);
    EXPECT_EQ(c->findParameter("m")->getDefaultValue().asDouble(), -3);
    EXPECT_EQ(c->findParameter("m")->getValue().asDouble(), -3);
    EXPECT_EQ(c->findParameter("z")->getValue().asDouble(), 0);
    EXPECT_EQ(c->findParameter("s")->getSteps(), 100);
    EXPECT_EQ(c->findParameter("m")->getSteps(), 0);
}

TEST_F(ParameterCreation, EveryTypeMakesItsKindOfParameter)
{
    UniversalComponent* c = component(
        "<lk:Param id=\"a\" type=\"toggle\"/><lk:Param id=\"b\" type=\"int\" max=\"3\"/>"
        "<lk:Param id=\"c\" type=\"list\" units=\"L\" def=\"1\"/><lk:Param id=\"d\" type=\"float\"/>"
        "<lk:Param id=\"e\" type=\"string\" def=\"5\"/><lk:Param id=\"f\" type=\"alias\"/>"
        "<lk:Param id=\"g\" type=\"color\" def=\"#FF00FF00\"/><lk:Param id=\"h\" type=\"other\"/>"
        "<lk:Param id=\"i\"/><lk:Param id=\"j\" type=\"list\" units=\"Nothing\"/>",
        "<lk:StringList id=\"L\"><lk:String text=\"One\"/><lk:String text=\"Two\"/></lk:StringList>");
    using namespace Tessel::ParamType;
    const std::vector<std::pair<const char*, int>> expected = {
        {"a", kToggle}, {"b", kInteger}, {"c", kList},   {"d", kFloat},  {"e", kString},
        {"f", kToggle}, {"g", kColor},   {"h", kToggle}, {"i", kToggle}, {"j", kList},
    };
    for (const auto& [name, type] : expected)
    {
        ASSERT_TRUE(c->findParameter(name)) << name;
        EXPECT_EQ(c->findParameter(name)->getType(), type) << name;
    }
    Tessel::IParameter* list = c->findParameter("c");
    EXPECT_EQ(list->countEntries(), 2);
    EXPECT_EQ(list->toString(), "Two");
    EXPECT_EQ(c->findParameter("j")->countEntries(), 0);
    EXPECT_EQ(c->findParameter("e")->toString(), ""); // strings take no default
    EXPECT_EQ(c->findParameter("g")->getValue().asInt(), 0xFF00FF00LL);
    EXPECT_TRUE(warnings().empty());
}

TEST_F(ParameterCreation, AListNeverGetsAFormatter)
{
    UniversalComponent* c = component("<lk:Param id=\"mode\" type=\"list\" units=\"L\"/>",
                                      "<lk:StringList id=\"L\"><lk:String text=\"Normal\"/></lk:StringList>");
    EXPECT_EQ(c->findParameter("mode")->getFormatter(), nullptr);
    EXPECT_TRUE(warnings().empty());
}

TEST_F(ParameterCreation, UnknownFormatterOrCurveIsReportedOnceAndLeftOut)
{
    UniversalComponent* c =
        component("<lk:Param id=\"x\" type=\"float\" units=\"furlongs\" curve=\"wiggle\"/>");
    Tessel::IParameter* x = c->findParameter("x");
    ASSERT_TRUE(x);
    EXPECT_EQ(x->getFormatter(), nullptr);
    EXPECT_EQ(x->getCurve(), nullptr);
    EXPECT_EQ(warnings(),
              (std::vector<std::string>{"Formatter not found: furlongs", "Curve not found: wiggle"}));
}

TEST_F(ParameterCreation, TheCurveGetsMinimumMaximumAndMid)
{
    UniversalComponent* c = component("<lk:Param id=\"v\" type=\"float\" min=\"-84\" max=\"10\" mid=\"-9\" "
                                      "curve=\"skew\"/>");
    auto* curve = dynamic_cast<ModelParamCurve*>(c->findParameter("v")->getCurve());
    ASSERT_TRUE(curve);
    EXPECT_FLOAT_EQ(curve->getInterpolator().getMin(), -84);
    EXPECT_FLOAT_EQ(curve->getInterpolator().getMax(), 10);
    EXPECT_NEAR(curve->normalizedToValue(0.5), -9, 1e-3);
    EXPECT_NEAR(c->findParameter("v")->getValueNormalized(Tessel::Variant(-9.0)), 0.5, 1e-4);
}

TEST_F(ParameterCreation, EqualCurvesAndFormattersAreSharedAcrossParametersAndBuilds)
{
    const std::string params = "<lk:Param id=\"a\" type=\"float\" min=\"-84\" max=\"10\" mid=\"-9\" "
                               "curve=\"skew\" units=\"gain\"/>"
                               "<lk:Param id=\"b\" type=\"float\" min=\"-84\" max=\"10\" mid=\"-9\" "
                               "curve=\"skew\" units=\"gain\"/>"
                               "<lk:Param id=\"c\" type=\"float\" min=\"-84\" max=\"10\" mid=\"-20\" "
                               "curve=\"skew\" units=\"gain\"/>"
                               "<lk:Param id=\"d\" type=\"float\" min=\"-84\" max=\"20\" units=\"gain\"/>";
    Tessel::SharedPtr<UniversalComponent> first(component(params));
    UniversalComponent* second = build("T"); // another speaker of the same model
    auto param = [](UniversalComponent* c, const char* name) { return c->findParameter(name); };

    EXPECT_EQ(param(first, "a")->getCurve(), param(first, "b")->getCurve());
    EXPECT_EQ(param(first, "a")->getCurve(), param(second, "a")->getCurve());
    EXPECT_NE(param(first, "a")->getCurve(), param(first, "c")->getCurve());
    EXPECT_NEAR(param(first, "a")->getCurve()->normalizedToValue(0.5), -9, 1e-3);
    EXPECT_NEAR(param(first, "c")->getCurve()->normalizedToValue(0.5), -20, 1e-3);
    EXPECT_EQ(param(first, "a")->getFormatter(), param(first, "d")->getFormatter());
    EXPECT_EQ(param(first, "a")->getFormatter(), param(second, "c")->getFormatter());

    // What is shared is only the mapping: values and ranges stay each parameter's own, and the
    // range travels to the shared formatter with every call.
    param(first, "a")->setValue(Tessel::Variant(-3.0));
    EXPECT_EQ(param(second, "a")->getValue().asDouble(), param(first, "b")->getValue().asDouble());
    EXPECT_NE(param(first, "a")->getValue().asDouble(), param(second, "a")->getValue().asDouble());
    EXPECT_EQ(param(first, "a")->toString(), param(first, "a")->valueToString(Tessel::Variant(-3.0)));
    EXPECT_EQ(param(first, "d")->getValueNormalized(Tessel::Variant(20.0)), 1.0);
    EXPECT_TRUE(warnings().empty());
}

TEST_F(ParameterCreation, FlagsFollowTheDescription)
{
    UniversalComponent* c =
        component("<lk:Param id=\"plain\" flags=\"\"/>"
                  "<lk:Param id=\"all\" flags=\"storable linkable mutable readonly bipolar user1\"/>"
                  "<lk:Param id=\"hidden\" flags=\"private\"/>");
    using namespace Tessel::ParamFlags;
    Tessel::IParameter* plain = c->findParameter("plain");
    EXPECT_TRUE(plain->isFlag(kPublic));
    EXPECT_FALSE(plain->isFlag(kStorable | kLinkable | kMutable | kReadOnly | kBipolar));
    Tessel::IParameter* all = c->findParameter("all");
    for (uint32_t bit : {kPublic, kStorable, kLinkable, kMutable, kReadOnly, kBipolar})
        EXPECT_TRUE(all->isFlag(bit)) << bit;
    EXPECT_FALSE(c->findParameter("hidden")->isFlag(kPublic));
}

TEST_F(ParameterCreation, DisplayNamesAreKeptByParameterId)
{
    UniversalComponent* c = component("<lk:Param id=\"volume\" name=\"Volume\"/><lk:Param id=\"bare\"/>");
    EXPECT_EQ(c->getDisplayName("volume"), "Volume");
    EXPECT_EQ(c->getDisplayName("bare"), "");
}

TEST_F(ParameterCreation, ANamedParameterClassIsUsedWithoutRangeOrFormatter)
{
    UniversalComponent* c = component(
        "<lk:Param id=\"text\" classname=\"StringParam\" type=\"float\" units=\"gain\" flags=\"private\"/>"
        "<lk:Param id=\"fallback\" classname=\"NoSuchParam\" type=\"float\" max=\"2\"/>"
        "<lk:Param id=\"notparam\" classname=\"UniversalComponent\" type=\"int\" max=\"2\"/>");
    Tessel::IParameter* text = c->findParameter("text");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->getType(), Tessel::ParamType::kString);
    EXPECT_EQ(text->getFormatter(), nullptr);
    EXPECT_FALSE(text->isFlag(Tessel::ParamFlags::kPublic));
    EXPECT_EQ(c->findParameter("fallback")->getType(), Tessel::ParamType::kFloat);
    EXPECT_EQ(c->findParameter("fallback")->getMax().asDouble(), 2);
    EXPECT_EQ(c->findParameter("notparam")->getType(), Tessel::ParamType::kInteger);
}
