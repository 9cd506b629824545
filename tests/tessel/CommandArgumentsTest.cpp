#include <gtest/gtest.h>

#include "tessel/CommandDispatcher.h"
#include "tessel/CommandParam.h"
#include "tessel/CommandParamList.h"
#include "tessel/Component.h"
#include "tessel/ContextMenu.h"

using namespace Tessel;

namespace
{
// A venue-like component: "Close" closes the room named by its "closeRoom" argument, one close
// button per room through an indexed command list.
class Venue : public Component, public CommandDispatcher<Venue>
{
    TESSEL_DECLARE_COMMANDS(Venue)
public:
    std::vector<std::string> rooms{"{A}", "{B}", "{C}"};
    std::vector<std::string> closed;
    CommandParamList closeButtons{getParams(), "closeRoom", "Venue", "Close", "closeRoom", 120};

    void refreshButtons()
    {
        std::vector<Variant> ids;
        for (const std::string& room : rooms)
            ids.push_back(Variant(room));
        closeButtons.setValues(ids);
    }
    bool onClose(const CommandMsg& msg)
    {
        const std::string room = msg.getArgument("closeRoom").asString();
        auto it = std::find(rooms.begin(), rooms.end(), room);
        if (it == rooms.end())
            return false;
        if (!msg.checkOnly)
        {
            closed.push_back(room);
            rooms.erase(it);
        }
        return true;
    }
};
TESSEL_BEGIN_COMMANDS(Venue)
TESSEL_COMMAND("Venue", "Close", Venue::onClose)
TESSEL_END_COMMANDS(Venue, Component)
} // namespace

TEST(CommandArguments, TravelWithTheCommandAndItsParameter)
{
    AutoPtr<Venue> venue = new Venue;
    Attributes args;
    args.setString("closeRoom", "{B}");
    EXPECT_TRUE(venue->interpretCommand(CommandMsg("Venue", "Close", args, true)));
    EXPECT_TRUE(venue->closed.empty());
    EXPECT_FALSE(venue->interpretCommand(CommandMsg("Venue", "Close"))); // no room given

    CommandParam* close = venue->getParams().addCommand("Venue", "Close", "closeThat");
    close->setArguments(args);
    EXPECT_TRUE(close->canInvoke());
    EXPECT_TRUE(close->invoke());
    EXPECT_FALSE(close->canInvoke()); // that room is gone
    EXPECT_EQ(venue->closed, (std::vector<std::string>{"{B}"}));

    // Through the scripting method, as a skin or a remote control would.
    AutoPtr<Attributes> scripted = new Attributes;
    scripted->setString("closeRoom", "{C}");
    Variant result;
    ASSERT_TRUE(
        venue->invokeMethod(result, Message("interpretCommand", {Variant("Venue"), Variant("Close"),
                                                                 Variant(0), Variant(scripted.get())})));
    EXPECT_EQ(result.asInt(), 1);
    EXPECT_EQ(venue->closed, (std::vector<std::string>{"{B}", "{C}"}));
}

TEST(CommandParamList, EntriesAreNamedByIndexAndSendTheirOwnArgument)
{
    AutoPtr<Venue> venue = new Venue;
    venue->refreshButtons();
    ASSERT_EQ(venue->closeButtons.count(), 3);
    IParameter* second = venue->findParameter("closeRoom[1]");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(venue->lookupParameter("closeRoom[2]"), venue->closeButtons.at(2));
    EXPECT_EQ(second->getTag(), 120);
    second->setValue(Variant(1)); // as a button press does
    EXPECT_EQ(venue->closed, (std::vector<std::string>{"{B}"}));

    // The list shrinks to the rooms left; the kept entries stay the same parameters, re-aimed.
    venue->refreshButtons();
    EXPECT_EQ(venue->closeButtons.count(), 2);
    EXPECT_EQ(venue->findParameter("closeRoom[1]"), second);
    EXPECT_EQ(venue->findParameter("closeRoom[2]"), nullptr);
    EXPECT_EQ(venue->closeButtons.valueAt(1).asString(), "{C}");
    second->setValue(Variant(1));
    EXPECT_EQ(venue->closed, (std::vector<std::string>{"{B}", "{C}"}));

    venue->rooms = {"{A}", "{D}", "{E}"};
    venue->refreshButtons();
    EXPECT_EQ(venue->closeButtons.count(), 3);
    venue->closeButtons.clear();
    EXPECT_EQ(venue->getParams().count(), 0);
}

TEST(CommandParamList, StopsAtANameThatIsTaken)
{
    AutoPtr<Venue> venue = new Venue;
    venue->getParams().addFloat(0, 1, "closeRoom[1]");
    venue->refreshButtons();
    EXPECT_EQ(venue->closeButtons.count(), 1);
    EXPECT_EQ(venue->getParams().count(), 2);
}

TEST(CommandParamList, ParsesOnlyCanonicalEntryNames)
{
    std::string base;
    int index = -1;
    ASSERT_TRUE(CommandParamList::parseEntryName("closeRoom[12]", base, index));
    EXPECT_EQ(base, "closeRoom");
    EXPECT_EQ(index, 12);
    EXPECT_EQ(CommandParamList::entryName("closeRoom", 12), "closeRoom[12]");
    for (const char* bad : {"closeRoom", "closeRoom[]", "closeRoom[-1]", "closeRoom[1]x", "closeRoom[01]",
                            "[1]", "closeRoom[1a]", "closeRoom[9999999999]"})
        EXPECT_FALSE(CommandParamList::parseEntryName(bad, base, index)) << bad;
}

namespace
{
// An item that offers "Edit" and "Copy" always and "Paste" only while the clipboard holds something.
class Item : public Venue, public IContextMenuHandler
{
public:
    bool clipboardFull = false;
    std::vector<std::string> ran;
    void* queryInterface(const UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(IContextMenuHandler)
        return Venue::queryInterface(iid);
    }
    int retain() override { return Venue::retain(); }
    int release() override { return Venue::release(); }
    void appendContextMenu(IContextMenu& menu, const Attributes& context) override
    {
        if (context.getString("part") == "header")
            return;
        menu.addCommand("Edit", CommandMsg("Edit", "Edit"));
        menu.addCommand("Copy", CommandMsg("Edit", "Copy"));
        menu.addSeparator();
        menu.addCommand("Paste", CommandMsg("Edit", "Paste"));
    }
    bool interpretCommand(const CommandMsg& msg) override
    {
        if (msg.category != "Edit")
            return Venue::interpretCommand(msg);
        if (msg.name == "Paste" && !clipboardFull)
            return false;
        if (!msg.checkOnly)
            ran.push_back(msg.name);
        return true;
    }
};

class Room : public Item
{
public:
    void appendContextMenu(IContextMenu& menu, const Attributes&) override
    {
        Attributes args;
        args.setString("closeRoom", "{A}");
        menu.addCommand("Close Room", CommandMsg("Venue", "Close", args));
    }
};
} // namespace

TEST(ContextMenu, CollectsFromTheComponentAndItsAncestorsAndRunsTheChosenEntry)
{
    AutoPtr<Room> room = new Room;
    Item* item = new Item;
    room->addChild(item);
    ContextMenu menu;
    ASSERT_EQ(menu.collect(item), 6);
    const std::vector<std::string> titles{"Edit", "Copy", "", "Paste", "", "Close Room"};
    for (int i = 0; i < menu.countEntries(); ++i)
        EXPECT_EQ(menu.getEntry(i)->title, titles[size_t(i)]) << i;
    EXPECT_FALSE(menu.getEntry(3)->enabled); // nothing to paste
    EXPECT_TRUE(menu.getEntry(5)->enabled);
    EXPECT_TRUE(item->ran.empty()); // building the menu runs nothing

    EXPECT_FALSE(menu.select(3));
    EXPECT_FALSE(menu.select(2)); // a separator
    EXPECT_FALSE(menu.select(17));
    EXPECT_TRUE(menu.select(1));
    EXPECT_EQ(item->ran, (std::vector<std::string>{"Copy"}));
    // The room's entry goes to the room, with its argument.
    EXPECT_TRUE(menu.select(5));
    EXPECT_EQ(room->closed, (std::vector<std::string>{"{A}"}));

    Attributes header;
    header.setString("part", "header");
    EXPECT_EQ(menu.collect(item, header), 1); // no leading separator
    EXPECT_EQ(menu.getEntry(0)->title, "Close Room");
}
