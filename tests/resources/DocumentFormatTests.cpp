// Structure of the two shipped component-model documents: well-formed XML,
// the right root and namespaces, only known elements and attributes, values
// that parse, unique ids and references that resolve.

#include "TestModel.h"
#include "TinyJson.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <sstream>

using namespace modeldata;

namespace
{

const char* const kDocuments[] = {"tarndefs.xml", "tarndsp.xml"};
const char* const kXIncludeUri = "http://www.w3.org/2001/XInclude";

void walk(const XmlNode& node, const std::function<void(const XmlNode&)>& visit)
{
    visit(node);
    for (const auto& child : node.children)
        walk(*child, visit);
}

std::string where(const std::string& document, const XmlNode& node)
{
    return document + ":" + std::to_string(node.line) + " <" + node.name + " id=\"" + node.get("id") + "\">";
}

struct ElementRule
{
    std::set<std::string> parents;
    std::set<std::string> attributes;
};

const std::map<std::string, ElementRule>& elementRules()
{
    static const std::set<std::string> kComponentHolders = {"lk:Template", "lk:Component", "lk:foreach",
                                                            "lk:foreachparam"};
    static const std::map<std::string, ElementRule> rules = {
        {"lk:ComponentModel", {{}, {"namespace", "id"}}},
        {"xi:include", {{"lk:ComponentModel"}, {"href"}}},
        {"lk:Definitions", {{"lk:ComponentModel"}, {}}},
        {"lk:Parameters", {{"lk:ComponentModel"}, {}}},
        {"lk:Templates", {{"lk:ComponentModel"}, {}}},
        {"lk:StringList", {{"lk:Definitions"}, {"id"}}},
        {"lk:String", {{"lk:StringList"}, {"text", "id"}}},
        {"lk:Range", {{"lk:Definitions"}, {"id", "min", "max", "mid", "def", "steps", "units", "curve"}}},
        {"lk:Data", {{"lk:Definitions", "lk:Component"}, {"id", "type"}}},
        {"lk:ParamList", {{"lk:Parameters", "lk:Component"}, {"id", "inherit", "starttag"}}},
        {"lk:Param",
         {{"lk:ParamList"},
          {"id", "name", "type", "range", "min", "max", "mid", "def", "steps", "units", "curve", "flags",
           "tag", "classname"}}},
        {"lk:Template", {{"lk:Templates"}, {"id", "inherit", "paramlist"}}},
        {"lk:Component",
         {kComponentHolders,
          {"id", "name", "group", "paramlist", "inherit", "template", "classname", "classdata"}}},
        {"lk:foreach", {kComponentHolders, {"id", "min", "max"}}},
        {"lk:foreachparam", {kComponentHolders, {"id", "name", "component", "flags"}}},
    };
    return rules;
}

// Longest text the loader keeps for an attribute; 0 for no limit checked.
size_t attributeLimit(const std::string& element, const std::string& attribute)
{
    if (element == "lk:String" && attribute == "text")
        return 127;
    if ((element == "lk:Param" && attribute == "range") || (element == "lk:Data" && attribute == "type"))
        return 31;
    static const std::set<std::string> kIdentifiers = {
        "id",    "name",  "inherit", "paramlist", "template",  "classname", "classdata",
        "group", "units", "curve",   "namespace", "component", "href"};
    return kIdentifiers.count(attribute) ? 63 : 0;
}

} // namespace

TEST(ModelDocuments, BothAreWellFormedAndRootedInComponentModel)
{
    const std::map<std::string, std::string> labels = {{"tarndefs.xml", "Vellaris:Tarn"},
                                                       {"tarndsp.xml", "Vellaris:Dsp"}};
    for (const char* document : kDocuments)
    {
        const XmlParseResult parsed = parseXmlFile(resourcePath(document));
        ASSERT_TRUE(parsed.root) << parsed.error;
        EXPECT_EQ(parsed.root->name, "lk:ComponentModel") << document;
        EXPECT_EQ(parsed.root->get("namespace"), labels.at(document)) << document;
    }
}

TEST(ModelDocuments, PrefixesAreBoundToOneModelNamespaceAndXInclude)
{
    std::string modelUri;
    for (const char* document : kDocuments)
    {
        const XmlParseResult parsed = parseXmlFile(resourcePath(document), '|');
        ASSERT_TRUE(parsed.root) << parsed.error;
        const std::string rootName = parsed.root->name;
        ASSERT_EQ(rootName.substr(rootName.find('|')), "|ComponentModel") << document;
        const std::string uri = rootName.substr(0, rootName.find('|'));
        EXPECT_FALSE(uri.empty());
        if (modelUri.empty())
            modelUri = uri;
        EXPECT_EQ(uri, modelUri) << document << " binds lk to another namespace";
        walk(*parsed.root,
             [&](const XmlNode& node)
             {
                 const std::string space = node.name.substr(0, node.name.find('|'));
                 EXPECT_TRUE(space == modelUri || space == kXIncludeUri) << document << ": " << node.name;
                 if (space == kXIncludeUri)
                 {
                     EXPECT_EQ(node.name, std::string(kXIncludeUri) + "|include");
                 }
             });
    }
}

TEST(ModelDocuments, MainDocumentIncludesTheDspDocumentFirst)
{
    const XmlParseResult defs = parseXmlFile(resourcePath("tarndefs.xml"));
    ASSERT_TRUE(defs.root) << defs.error;
    ASSERT_FALSE(defs.root->children.empty());
    EXPECT_EQ(defs.root->children.front()->name, "xi:include");
    EXPECT_EQ(defs.root->children.front()->get("href"), "tarndsp.xml");
    EXPECT_EQ(defs.root->childrenNamed("xi:include").size(), 1u);

    // Includes of an included document are not followed, so it has none.
    const XmlParseResult dsp = parseXmlFile(resourcePath("tarndsp.xml"));
    ASSERT_TRUE(dsp.root) << dsp.error;
    EXPECT_TRUE(dsp.root->childrenNamed("xi:include").empty());
}

TEST(ModelDocuments, OnlyKnownElementsAndAttributesInTheirPlaces)
{
    for (const char* document : kDocuments)
    {
        const XmlParseResult parsed = parseXmlFile(resourcePath(document));
        ASSERT_TRUE(parsed.root) << parsed.error;
        walk(*parsed.root,
             [&](const XmlNode& node)
             {
                 const auto rule = elementRules().find(node.name);
                 ASSERT_NE(rule, elementRules().end()) << where(document, node) << " is not a model element";
                 if (node.parent)
                 {
                     EXPECT_TRUE(rule->second.parents.count(node.parent->name))
                         << where(document, node) << " inside " << node.parent->name;
                 }
                 else
                 {
                     EXPECT_EQ(node.name, "lk:ComponentModel");
                 }
                 for (const auto& [key, value] : node.attributes)
                 {
                     const bool namespaceDeclaration = !node.parent && key.rfind("xmlns:", 0) == 0;
                     EXPECT_TRUE(namespaceDeclaration || rule->second.attributes.count(key))
                         << where(document, node) << " has unknown attribute " << key;
                     const size_t limit = attributeLimit(node.name, key);
                     if (limit)
                     {
                         EXPECT_LE(value.size(), limit)
                             << where(document, node) << " " << key << " would be cut";
                     }
                 }
                 if (node.name != "lk:Data")
                 {
                     EXPECT_EQ(node.text.find_first_not_of(" \t\r\n"), std::string::npos)
                         << where(document, node) << " has stray text";
                 }
             });
    }
}

TEST(ModelDocuments, ShippedDocumentsUseNoLoops)
{
    for (const char* document : kDocuments)
    {
        const XmlParseResult parsed = parseXmlFile(resourcePath(document));
        ASSERT_TRUE(parsed.root) << parsed.error;
        walk(*parsed.root,
             [&](const XmlNode& node)
             {
                 EXPECT_NE(node.name, "lk:foreach") << where(document, node);
                 EXPECT_NE(node.name, "lk:foreachparam") << where(document, node);
             });
    }
}

TEST(ModelDocuments, NumbersTypesAndFlagsParse)
{
    static const std::set<std::string> kTypes = {"toggle", "int",   "list", "float",
                                                 "string", "alias", "color"};
    static const std::set<std::string> kFlagWords = {"bipolar", "storable", "private", "linkable",
                                                     "mutable", "readonly", "user1",   "user2"};
    for (const char* document : kDocuments)
    {
        const XmlParseResult parsed = parseXmlFile(resourcePath(document));
        ASSERT_TRUE(parsed.root) << parsed.error;
        walk(*parsed.root,
             [&](const XmlNode& node)
             {
                 for (const char* key : {"min", "max", "mid", "def", "steps"})
                 {
                     double value = 0;
                     if (node.has(key))
                     {
                         EXPECT_TRUE(parseModelNumber(node.get(key), value))
                             << where(document, node) << " " << key;
                     }
                 }
                 for (const char* key : {"tag", "starttag"})
                 {
                     int64_t value = 0;
                     if (node.has(key))
                     {
                         EXPECT_TRUE(parseModelInteger(node.get(key), value))
                             << where(document, node) << " " << key;
                     }
                 }
                 if (node.name == "lk:Param")
                 {
                     EXPECT_TRUE(node.has("id") && !node.get("id").empty()) << where(document, node);
                     // A missing type silently makes a toggle, so every parameter names its type.
                     EXPECT_TRUE(kTypes.count(node.get("type"))) << where(document, node) << " type";
                     std::istringstream words(node.get("flags"));
                     for (std::string word; words >> word;)
                         EXPECT_TRUE(kFlagWords.count(word)) << where(document, node) << " flag " << word;
                 }
             });
    }
}

TEST(ModelDocuments, IdsAreUniqueWithinEachSection)
{
    const ModelIndex& model = shippedModel();
    for (const auto* section : {&model.definitions(), &model.parameters(), &model.templates()})
    {
        std::set<std::string> seen;
        for (const XmlNode* entry : *section)
        {
            EXPECT_FALSE(entry->get("id").empty()) << entry->name << " line " << entry->line;
            EXPECT_TRUE(seen.insert(entry->get("id")).second)
                << entry->name << " \"" << entry->get("id") << "\" is defined twice";
        }
    }
}

TEST(ModelDocuments, ParameterIdsAndTagsAreUniqueWithinEveryList)
{
    const ModelIndex& model = shippedModel();
    for (const XmlNode* list : model.parameters())
    {
        std::set<std::string> ids;
        std::set<int32_t> tags;
        for (const EffectiveParam& p : model.resolveParams(list->get("id")))
        {
            EXPECT_TRUE(ids.insert(p.id).second) << list->get("id") << ": id " << p.id << " twice";
            EXPECT_TRUE(tags.insert(p.tag).second) << list->get("id") << ": tag " << p.tag << " twice";
        }
    }
}

TEST(ModelDocuments, EveryReferenceResolves)
{
    static const std::set<std::string> kFormatters = {
        "freq",      "time",  "gain",  "ratio",   "pan",        "int",     "float", "percent", "percent.1",
        "percent.2", "onoff", "yesno", "lowhigh", "fahrenheit", "celsius", "ms",    "ch_name", "q"};
    static const std::set<std::string> kCurves = {"linear", "log",   "zoom",  "skew",
                                                  "exp",    "fader", "ratio", "bilinear"};
    const ModelIndex& model = shippedModel();

    for (const XmlNode* entry : model.definitions())
    {
        if (entry->name == "lk:Range")
        {
            if (entry->has("units"))
            {
                EXPECT_TRUE(kFormatters.count(entry->get("units"))) << "range " << entry->get("id");
            }
            if (entry->has("curve"))
            {
                EXPECT_TRUE(kCurves.count(entry->get("curve"))) << "range " << entry->get("id");
            }
        }
    }
    for (const XmlNode* list : model.parameters())
    {
        const std::string listId = list->get("id");
        if (list->has("inherit"))
        {
            EXPECT_TRUE(model.paramList(list->get("inherit"))) << listId << " inherits a missing list";
        }
        for (const XmlNode* param : list->childrenNamed("lk:Param"))
        {
            const std::string what = listId + "/" + param->get("id");
            if (param->has("range"))
            {
                EXPECT_TRUE(model.range(param->get("range"))) << what << " names a missing range";
            }
            const EffectiveParam p = model.effective(*param, 0, 0);
            if (p.type == kList)
            {
                EXPECT_TRUE(model.stringList(p.units)) << what << " names a missing string list";
            }
            else if (!p.units.empty())
            {
                EXPECT_TRUE(kFormatters.count(p.units)) << what << " names formatter " << p.units;
            }
            if (!p.curve.empty())
            {
                EXPECT_TRUE(kCurves.count(p.curve)) << what << " names curve " << p.curve;
            }
        }
    }
    for (const XmlNode* templ : model.templates())
    {
        const std::string templateId = templ->get("id");
        if (templ->has("inherit"))
        {
            EXPECT_TRUE(model.templateNode(templ->get("inherit"))) << templateId;
        }
        if (!templ->get("paramlist").empty())
        {
            EXPECT_TRUE(model.paramList(templ->get("paramlist"))) << templateId;
        }
        walk(*templ,
             [&](const XmlNode& node)
             {
                 if (node.name != "lk:Component")
                     return;
                 const std::string what = templateId + ": component " + node.get("id");
                 if (!node.get("paramlist").empty())
                 {
                     EXPECT_TRUE(model.paramList(node.get("paramlist"))) << what << " paramlist";
                 }
                 if (!node.get("template").empty())
                 {
                     EXPECT_TRUE(model.templateNode(node.get("template"))) << what << " template";
                 }
                 if (!node.get("inherit").empty())
                 {
                     EXPECT_TRUE(model.templateNode(node.get("inherit"))) << what << " inherit";
                 }
                 if (!node.get("classdata").empty())
                 {
                     EXPECT_TRUE(model.data(node.get("classdata"))) << what << " classdata";
                 }
             });
    }
}

TEST(ModelDocuments, DataBlocksAreJsonObjects)
{
    const ModelIndex& model = shippedModel();
    int blocks = 0;
    for (const XmlNode* entry : model.definitions())
    {
        if (entry->name != "lk:Data")
            continue;
        ++blocks;
        const std::string type = entry->get("type");
        EXPECT_TRUE(type.empty() || type == "application/json") << entry->get("id") << " would be ignored";
        JsonValue value;
        std::string error;
        EXPECT_TRUE(parseJson(entry->text, value, error)) << entry->get("id") << ": " << error;
        EXPECT_EQ(value.kind, JsonValue::Kind::Object) << entry->get("id");
    }
    EXPECT_EQ(blocks, 3);
}
