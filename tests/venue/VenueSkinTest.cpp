// The venue on screen, offscreen: the top bar follows the open venue and its active room through
// room switches, new rooms and closed rooms without a QML warning or an unresolved address; rooms
// are renamed on their tab or in the room inspector and ask before they close with speakers; the
// group name field adds on Enter; a venue file that cannot be read stays on the start page.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "app/Roomdesk.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/IParameter.h"
#include "tessel/IWindowManager.h"
#include "tessel/Initializer.h"
#include "tessel/Platform.h"
#include "tessel_qt/QtPlatform.h"
#include "tests/common/QuickTestSupport.h"
#include "venue/SpeakerGroup.h"
#include "venue/SpeakerPosition.h"
#include "venue/Venue.h"
#include "venue/VenueFiles.h"
#include "venue/VenueHistoryItem.h"
#include "venue/VenueHistoryItemCollection.h"
#include "venue/VenueManager.h"

namespace
{

using namespace QuickTestSupport;

class VenueSkin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        home = usePrivateHome("venue-skin-");
        ::setenv("LKNET_DISCOVERY_PORT", std::to_string(40000 + (::getpid() + 11) % 20000).c_str(), 1);
        static int argc = 1;
        static char name[] = "venue_skin_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        Tessel::runInitializers(); // the component model, for the rooms' master equalisers
        platform = std::make_unique<Tessel::Qt::QtPlatform>();
        Vellaris::registerRoomdeskViews();
        platform->setSkinUrl(QUrl::fromLocalFile(QStringLiteral(SKIN_DIR "/")));
        Tessel::setModuleIdentifier("roomdesk");
        qInstallMessageHandler(captureMessages);
    }
    static void TearDownTestSuite()
    {
        qInstallMessageHandler(nullptr);
        Tessel::destroyRootComponent();
        platform.reset();
        app.reset();
        std::filesystem::remove_all(home);
    }

    // The item named `name` below `window`, through the visual tree (a repeater's items are not
    // QObject children of the window).
    static QQuickItem* find(QWindow* window, const char* name)
    {
        auto* quick = qobject_cast<QQuickWindow*>(window);
        return quick ? findBelow(quick->contentItem(), QString::fromLatin1(name)) : nullptr;
    }
    static void settle() { QTest::qWait(50); }

    static inline std::unique_ptr<QGuiApplication> app;
    static inline std::unique_ptr<Tessel::Qt::QtPlatform> platform;
    static inline std::string home;
};

} // namespace

TEST_F(VenueSkin, TopBarFollowsTheActiveRoomThroughSwitchesAndClosedRooms)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
    QWindow* window = platform->findForm("ApplicationWindow");
    ASSERT_NE(window, nullptr);
    settle();
    EXPECT_EQ(find(window, "roomTab0"), nullptr) << "no venue shown yet";

    Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
    Vellaris::Venue* venue = manager->getVenue();
    ASSERT_NE(venue, nullptr);
    venue->setVenueName("Skin Club", true);
    venue->getRoom(0)->setRoomTitle("Stage");
    manager->findParameter("showVenue")->setValue(1);
    settle();
    QQuickItem* name = find(window, "venueName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->property("text").toString(), QStringLiteral("Skin Club"));
    EXPECT_NE(find(window, "roomTab0"), nullptr);
    QQuickItem* label = find(window, "roomLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->property("text").toString(), QStringLiteral("Monitor Mode"));

    // "+" adds a room and makes it active; the controls now act on it.
    venue->findParameter("newRoom")->setValue(1);
    settle();
    ASSERT_NE(find(window, "roomTab1"), nullptr);
    EXPECT_TRUE(find(window, "roomTab1")->property("active").toBool());
    venue->getActiveRoom()->findParameter("viewNetwork")->setValue(0);
    settle();
    QQuickItem* lock = find(window, "locked");
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(lock->isEnabled());
    venue->getActiveRoom()->findParameter("locked")->setValue(1);
    settle();
    EXPECT_TRUE(lock->property("checked").toBool());

    // Back to the first room (still with its browser, so unlocked), then its close entry.
    venue->findParameter("roomList")->setValue(0);
    settle();
    EXPECT_FALSE(lock->property("checked").toBool());
    venue->findParameter("closeRoom[0]")->setValue(1);
    settle();
    EXPECT_EQ(find(window, "roomTab1"), nullptr);
    EXPECT_TRUE(lock->property("checked").toBool()) << "the remaining room is active and locked";

    // The last room closed: the venue view goes and every binding rests.
    venue->findParameter("closeRoom[0]")->setValue(1);
    settle();
    EXPECT_EQ(manager->findParameter("showVenue")->getValue().asInt(), 0);
    EXPECT_EQ(find(window, "roomTab0"), nullptr);
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    application->shutdown();
}

namespace
{

// A venue file written through a venue of its own: `rooms` rooms, the name `name`.
void writeVenueFile(const std::string& name, int rooms)
{
    Tessel::AutoPtr<Vellaris::Venue> venue = new Vellaris::Venue;
    venue->setVenueName(name);
    for (int i = 0; i < rooms; ++i)
        venue->newRoom(i == 0);
    ASSERT_TRUE(Vellaris::VenueFiles::saveVenue(*venue, true));
    venue->closeAllRooms();
}

void click(QWindow* window, QQuickItem* item, bool twice = false)
{
    ASSERT_NE(item, nullptr);
    const QPoint at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    if (twice)
        QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, at);
    else
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at);
}

void typeText(QWindow* window, const char* text)
{
    for (const char* c = text; *c; ++c)
        QTest::keyClick(window, *c);
}

} // namespace

TEST_F(VenueSkin, StartPageListsCreatesRenamesDeletesAndOpensVenues)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    writeVenueFile("Alpha", 1);
    writeVenueFile("Bravo", 2);
    writeVenueFile("Charlie", 3);
    ASSERT_TRUE(application->startup());
    ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
    QWindow* window = platform->findForm("ApplicationWindow");
    ASSERT_NE(window, nullptr);
    settle();
    Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
    auto row = [&](const char* name) { return find(window, (std::string("venueRow:") + name).c_str()); };
    auto below = [&](QQuickItem* item, const char* name) { return item ? findBelow(item, name) : nullptr; };
    auto textOf = [&](QQuickItem* item)
    { return item ? item->property("text").toString().toStdString() : ""; };

    ASSERT_TRUE(find(window, "startPage")->isVisible());
    ASSERT_NE(row("Bravo"), nullptr);
    EXPECT_EQ(textOf(below(row("Alpha"), "venueGroups")), "1 Group");
    EXPECT_EQ(textOf(below(row("Bravo"), "venueGroups")), "2 Groups");
    EXPECT_EQ(textOf(below(row("Charlie"), "venueSpeakers")), "0 Speakers");

    // NEW VENUE: a row with the keyboard in its name field; Enter keeps the typed name.
    click(window, find(window, "newVenue"));
    settle();
    QQuickItem* editor = below(row("My New Venue"), "nameEditor");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->hasActiveFocus());
    typeText(window, "Foyer");
    QTest::keyClick(window, Qt::Key_Return);
    settle();
    ASSERT_NE(row("Foyer"), nullptr);
    EXPECT_EQ(row("My New Venue"), nullptr);
    EXPECT_FALSE(below(row("Foyer"), "nameEditor")->isVisible());
    EXPECT_EQ(manager->getCreatingItem(), nullptr);

    // RENAME, then Escape: the name stays.
    click(window, below(row("Alpha"), "renameVenue"));
    settle();
    ASSERT_TRUE(below(row("Alpha"), "nameEditor")->hasActiveFocus());
    typeText(window, "Alpine");
    QTest::keyClick(window, Qt::Key_Escape);
    settle();
    ASSERT_NE(row("Alpha"), nullptr);
    EXPECT_EQ(row("Alpine"), nullptr);
    EXPECT_FALSE(below(row("Alpha"), "nameEditor")->isVisible());

    // DELETE asks first; the confirmation removes the venue.
    click(window, below(row("Bravo"), "deleteVenue"));
    settle();
    ASSERT_TRUE(below(row("Bravo"), "deleteConfirm")->isVisible());
    click(window, below(row("Bravo"), "deleteConfirm"));
    settle();
    EXPECT_EQ(row("Bravo"), nullptr);
    EXPECT_EQ(manager->getHistory()->countRows(), 3);

    // A double click opens a venue: its name in the top bar; back returns to the list.
    click(window, below(row("Charlie"), "entryName"), true);
    settle();
    EXPECT_EQ(manager->findParameter("showVenue")->getValue().asInt(), 1);
    EXPECT_EQ(textOf(find(window, "venueName")), "Charlie");
    EXPECT_TRUE(find(window, "venueView")->isVisible());
    EXPECT_FALSE(find(window, "startPage")->isVisible());
    click(window, find(window, "backToVenues"));
    settle();
    EXPECT_EQ(manager->findParameter("showVenue")->getValue().asInt(), 0);
    EXPECT_TRUE(find(window, "startPage")->isVisible());
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    application->shutdown();
}

namespace
{

// Puts `count` positions of speakers that are not on the network into the room's first group.
void holdSpeakers(Vellaris::SpeakerRoom* room, int count)
{
    for (int i = 0; i < count; ++i)
    {
        Tessel::AutoPtr<Vellaris::SpeakerPosition> position =
            new Vellaris::SpeakerPosition("OFFLINE-" + std::to_string(i), i * 160, 0);
        room->getGroups().front()->insertPosition(position);
    }
    room->update();
}

// The shown text input below `item` (a ParamTextEdit's "input"), or nullptr.
QQuickItem* inputOf(QQuickItem* item)
{
    return item ? findBelow(item, "input") : nullptr;
}

} // namespace

TEST_F(VenueSkin, RoomsAreRenamedOnTheirTabOrInTheInspectorAndAskBeforeClosingWithSpeakers)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
    QWindow* window = platform->findForm("ApplicationWindow");
    ASSERT_NE(window, nullptr);
    Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
    Vellaris::Venue* venue = manager->getVenue();
    manager->resetVenue();
    venue->setVenueName("Rename Hall", true);
    manager->findParameter("showVenue")->setValue(1);
    Vellaris::SpeakerRoom* second = venue->newRoom(true);
    holdSpeakers(second, 2);
    settle();
    capturedWarnings().clear();
    ASSERT_NE(find(window, "roomTab1"), nullptr);

    // A double click on a tab edits its title in place: Enter keeps it.
    click(window, find(window, "roomTab1"), true);
    settle();
    QQuickItem* editor = findBelow(find(window, "roomTab1"), "titleEditor");
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible()) << "no title editor on the tab";
    EXPECT_TRUE(editor->hasActiveFocus());
    typeText(window, "Stage");
    QTest::keyClick(window, Qt::Key_Return);
    settle();
    EXPECT_EQ(second->getTitle(), "Stage");
    EXPECT_EQ(venue->findParameter("roomList")->getEntry(1), "Stage");
    ASSERT_NE(find(window, "roomTab1"), nullptr);
    EXPECT_FALSE(findBelow(find(window, "roomTab1"), "titleEditor")->isVisible());

    // Escape drops what was typed.
    click(window, find(window, "roomTab0"), true);
    settle();
    ASSERT_TRUE(findBelow(find(window, "roomTab0"), "titleEditor")->hasActiveFocus());
    typeText(window, "Foyer");
    QTest::keyClick(window, Qt::Key_Escape);
    settle();
    EXPECT_EQ(venue->getRoom(0)->getTitle(), "New Group...");
    EXPECT_FALSE(findBelow(find(window, "roomTab0"), "titleEditor")->isVisible());

    // The room inspector edits the active room's title too; an emptied field keeps the title.
    ASSERT_EQ(venue->getActiveRoom(), venue->getRoom(0));
    venue->getActiveRoom()->findParameter("viewNetwork")->setValue(0);
    venue->getActiveRoom()->findParameter("viewRoomInspector")->setValue(1);
    settle();
    QQuickItem* title = inputOf(find(window, "roomTitle"));
    ASSERT_NE(title, nullptr);
    ASSERT_TRUE(title->isVisible()) << "no title field in the room inspector";
    click(window, title);
    QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
    typeText(window, "Hall");
    QTest::keyClick(window, Qt::Key_Return);
    settle();
    EXPECT_EQ(venue->getRoom(0)->getTitle(), "Hall");
    click(window, title);
    QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Delete);
    QTest::keyClick(window, Qt::Key_Return);
    settle();
    EXPECT_EQ(venue->getRoom(0)->getTitle(), "Hall");

    // The cross of a room with speakers asks, naming the room and its speakers; Escape keeps it.
    click(window, find(window, "closeRoom1"));
    settle();
    EXPECT_EQ(venue->countRooms(), 2) << "one click closed a room with speakers";
    QQuickItem* question = find(window, "closeQuestionText");
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->isVisible());
    EXPECT_EQ(question->property("text").toString(), "Close \"Stage\"? Its 2 speakers leave the venue.");
    QTest::keyClick(window, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(question->isVisible());
    EXPECT_EQ(venue->getClosePending(), nullptr);
    EXPECT_EQ(venue->countRooms(), 2);

    // Asked again: CLOSE ROOM closes it.
    click(window, find(window, "closeRoom1"));
    settle();
    ASSERT_TRUE(find(window, "closeQuestionText")->isVisible());
    click(window, find(window, "closeRoomConfirm"));
    settle();
    EXPECT_EQ(venue->countRooms(), 1);
    EXPECT_EQ(venue->getRoom(0)->getTitle(), "Hall");
    QQuickItem* gone = find(window, "closeQuestionText");
    EXPECT_TRUE(!gone || !gone->isVisible());
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    application->shutdown();
}

TEST_F(VenueSkin, TheGroupNameFieldAddsOnEnterAndEmptiesAfterAdding)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
    QWindow* window = platform->findForm("ApplicationWindow");
    ASSERT_NE(window, nullptr);
    Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
    Vellaris::Venue* venue = manager->getVenue();
    manager->resetVenue();
    manager->findParameter("showVenue")->setValue(1);
    Vellaris::SpeakerRoom* room = venue->getActiveRoom();
    room->findParameter("viewNetwork")->setValue(0);
    room->findParameter("viewRoomInspector")->setValue(1);
    settle();
    capturedWarnings().clear();
    auto titles = [&]
    {
        std::vector<std::string> names;
        for (Vellaris::SpeakerGroup* group : room->getGroups())
            names.push_back(group->getTitle());
        return names;
    };
    auto has = [&](const std::string& name)
    {
        const std::vector<std::string> names = titles();
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    QQuickItem* field = inputOf(find(window, "newGroupName"));
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->isVisible());
    Tessel::IParameter* newName = Tessel::getRootComponent()->lookupParameter(
        "VenueManager/activeVenue/RoomEditView/Groups/newGroupName");
    ASSERT_NE(newName, nullptr);

    // Enter adds the group and empties the field.
    click(window, field);
    typeText(window, "Delay Line");
    QTest::keyClick(window, Qt::Key_Return);
    settle();
    EXPECT_TRUE(has("Delay Line")) << "Enter did not add the group";
    EXPECT_EQ(newName->getValue().asString(), "");
    EXPECT_EQ(field->property("text").toString(), "");

    // Typed, then ADD NAMED (the keyboard still in the field): that name, and the field empties.
    click(window, field);
    typeText(window, "Balcony");
    click(window, find(window, "addNamed"));
    settle();
    EXPECT_TRUE(has("Balcony")) << "ADD NAMED did not take the typed name";
    EXPECT_EQ(field->property("text").toString(), "");
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    application->shutdown();
}

TEST_F(VenueSkin, AnUnreadableVenueIsListedGreyedRefusedWhenOpenedAndDeletable)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
    QWindow* window = platform->findForm("ApplicationWindow");
    ASSERT_NE(window, nullptr);
    Vellaris::VenueManager* manager = Vellaris::VenueManager::instance();
    manager->findParameter("showVenue")->setValue(0);
    const std::string broken = Vellaris::VenueFiles::getVenuesFolder() + "/Damaged_{0F1E2D3C}.venue";
    {
        std::filesystem::create_directories(Vellaris::VenueFiles::getVenuesFolder());
        std::ofstream(broken) << "{\"venueID\": \"{0123";
    }
    manager->rescanHistory();
    settle();
    capturedWarnings().clear();
    QQuickItem* row = find(window, "venueRow:Damaged");
    ASSERT_NE(row, nullptr) << "the unreadable venue is not listed";
    EXPECT_EQ(findBelow(row, "venueGroups")->property("text").toString(), "cannot be read");
    EXPECT_FALSE(findBelow(row, "openVenue")->isEnabled());
    EXPECT_FALSE(findBelow(row, "renameVenue")->isEnabled());

    // A double click is refused: the start page stays, an alert names the file.
    click(window, findBelow(row, "entryName"), true);
    settle();
    EXPECT_EQ(manager->findParameter("showVenue")->getValue().asInt(), 0);
    QWindow* alert = nullptr;
    EXPECT_TRUE(waitFor(
        [&]
        {
            for (QWindow* shown : QGuiApplication::topLevelWindows())
                if (shown->title() == "Alert" && shown->isVisible())
                    alert = shown;
            return alert != nullptr;
        }))
        << "no alert";
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->property("text").toString().contains("Damaged_{0F1E2D3C}.venue"));
    // Escape closes it.
    QTest::keyClick(alert, Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return !alert->isVisible(); }));

    // DELETE, then its confirmation: the file goes, and the row with it.
    click(window, findBelow(find(window, "venueRow:Damaged"), "deleteVenue"));
    settle();
    click(window, findBelow(find(window, "venueRow:Damaged"), "deleteConfirm"));
    settle();
    EXPECT_EQ(find(window, "venueRow:Damaged"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(broken));
    capturedWarnings().removeIf([](const QString& w) { return w.contains("Damaged_"); });
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();
    application->shutdown();
}
