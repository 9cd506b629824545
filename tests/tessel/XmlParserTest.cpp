#include <gtest/gtest.h>

#include "tessel/CommandTable.h"
#include "tessel/ExpatXmlParser.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/SharedPtr.h"

using namespace Tessel;

namespace
{
// Writes every event as one line.
class EventLog : public IXmlHandler
{
public:
    std::vector<std::string> events;
    std::string stopAt;

    bool startElement(const std::string& name, const XmlAttributes& attributes) override
    {
        std::string line = "start " + name;
        for (const auto& a : attributes)
            line += " " + a.first + "=" + a.second;
        events.push_back(line);
        return name != stopAt;
    }
    bool endElement(const std::string& name) override
    {
        events.push_back("end " + name);
        return true;
    }
    bool characterData(const std::string& text) override
    {
        if (text.find_first_not_of(" \n\t") != std::string::npos)
            events.push_back("text " + text);
        return true;
    }
    bool processingInstruction(const std::string& target, const std::string& data) override
    {
        events.push_back("pi " + target + (data.empty() ? "" : " " + data));
        return true;
    }
};

bool parse(const std::string& xml, EventLog& log, std::string* error = nullptr)
{
    AutoPtr<IXmlParser> parser = CreateXmlParser();
    bool ok = parser->parse(xml.data(), xml.size(), log);
    if (error)
        *error = parser->getErrorMessage();
    return ok;
}
} // namespace

TEST(XmlParser, ReportsElementsAttributesTextAndInstructions)
{
    EventLog log;
    ASSERT_TRUE(
        parse("<?xml version=\"1.0\"?>\n<lk:ComponentModel a=\"1\" b=\"x &amp; y\">"
              "<lk:Data id=\"d\">{\"k\": 1}</lk:Data><?config debug?><Menu/><?config?></lk:ComponentModel>",
              log));
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"start lk:ComponentModel a=1 b=x & y", "start lk:Data id=d",
                                        "text {\"k\": 1}", "end lk:Data", "pi config debug", "start Menu",
                                        "end Menu", "pi config", "end lk:ComponentModel"}));
}

TEST(XmlParser, JoinsCharacterDataSplitByEntities)
{
    EventLog log;
    ASSERT_TRUE(parse("<a>one &lt; two</a>", log));
    EXPECT_EQ(log.events[1], "text one < two");
}

TEST(XmlParser, FailsOnMalformedXmlWithLine)
{
    EventLog log;
    std::string error;
    AutoPtr<IXmlParser> parser = CreateXmlParser();
    std::string xml = "<a>\n<b>\n</a>";
    EXPECT_FALSE(parser->parse(xml.data(), xml.size(), log));
    EXPECT_EQ(parser->getErrorLine(), 3);
    EXPECT_NE(parser->getErrorMessage().find("line 3"), std::string::npos);
    EXPECT_FALSE(parse("", log));
}

TEST(XmlParser, HandlerCanStopTheParse)
{
    EventLog log;
    log.stopAt = "stop";
    std::string error;
    EXPECT_FALSE(parse("<a><stop/><after/></a>", log, &error));
    EXPECT_EQ(log.events.back(), "start stop");
    EXPECT_NE(error.find("stopped"), std::string::npos);
}

TEST(XmlParser, ReadsEmbeddedResourceDocuments)
{
    HeadlessPlatform platform;
    EventLog log;
    AutoPtr<IXmlParser> parser = CreateXmlParser();
    ASSERT_TRUE(parser->parseUrl("resource:///sub/menubar.xml", log)) << parser->getErrorMessage();
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "pi config debug"), 1);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "pi config"), 1);
    EXPECT_FALSE(parser->parseUrl("resource:///missing.xml", log));
}

TEST(CommandTable, LoadsCommandsAndRejectsOtherDocuments)
{
    HeadlessPlatform platform;
    CommandTable table;
    EXPECT_FALSE(table.load("resource:///sub/menubar.xml"));
    std::string path = ::testing::TempDir() + "tessel_commands.xml";
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("<Commands><!-- <Category name=\"View\"/> --><Category name=\"Speaker\">"
               "<Command name=\"Mute\" keys=\"M\"/></Category></Commands>",
               file);
    std::fclose(file);
    ASSERT_TRUE(table.load(path));
    EXPECT_EQ(table.countCommands(), 1);
    EXPECT_EQ(table.getKeys("Speaker", "Mute"), "M");
    std::remove(path.c_str());
}

TEST(XmlParser, HonoursTheDocumentsDeclaredEncoding)
{
    EventLog log;
    ASSERT_TRUE(parse("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a n=\"caf\xE9\"/>", log));
    EXPECT_EQ(log.events[0], "start a n=caf\xC3\xA9"); // handed on as UTF-8
}
