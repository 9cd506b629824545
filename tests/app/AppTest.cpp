// The application start: singletons, menus, commands, single instance, suspend and resume,
// restart and theme failure, on the headless platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/Roomdesk.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/Application.h"
#include "tessel/ApplicationStartup.h"
#include "tessel/CommandMsg.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/ICommandTable.h"
#include "tessel/IGUI.h"
#include "tessel/IIPCSemaphore.h"
#include "tessel/IParameter.h"
#include "tessel/Platform.h"
#include "tessel/SharedPtr.h"
#include "tessel/TextVariables.h"

namespace
{

using Tessel::CommandMsg;
using Tessel::getRootComponent;

class AppTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Keep the network library on loopback, on a port of this test process.
        setenv("LKNET_LOOPBACK_ONLY", "1", 1);
        std::string port = std::to_string(40000 + getpid() % 20000);
        setenv("LKNET_DISCOVERY_PORT", port.c_str(), 1);
        // No remote control: parallel tests would all want UDP port 9000.
        setenv("ROOMDESK_OSC_PORT", "0", 1);
        setenv("ROOMDESK_WEB_PORT", "0",
               1); // the tablet remote stays off: parallel desks never share its port
        // The single-instance lock lives in the runtime folder: a private one per test process,
        // so parallel tests and a roomdesk the user runs never meet.
        runtimeFolder =
            std::filesystem::temp_directory_path() / ("roomdesk-app-tests-" + std::to_string(getpid()));
        std::filesystem::create_directories(runtimeFolder);
        std::filesystem::permissions(runtimeFolder, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtimeFolder.c_str(), 1);
    }

    static void TearDownTestSuite()
    {
        std::error_code ignored;
        std::filesystem::remove_all(runtimeFolder, ignored);
    }

    static inline std::filesystem::path runtimeFolder;

    void SetUp() override
    {
        platform.setFolder(Tessel::Location::kSupport, "/opt/ambrel");
        Tessel::setModuleIdentifier("roomdesk-test-" + std::to_string(getpid()));
    }

    void TearDown() override { Tessel::destroyRootComponent(); }

    std::vector<std::string> childNames() const
    {
        std::vector<std::string> names;
        Tessel::Component* root = getRootComponent();
        for (int i = 0; i < root->countChildren(); ++i)
            names.push_back(root->getChild(i)->getName());
        return names;
    }

    Tessel::HeadlessPlatform platform;
};

TEST_F(AppTest, CreatesTheApplicationWideComponentsInOrderBelowTheRoot)
{
    Vellaris::Roomdesk::createComponents();
    std::vector<std::string> expected = {"Application",         "Options",         "Shortcuts",
                                         "Inspector",           "MasterInspector", "VenueManager",
                                         "NetworkSetupManager", "WebRemote"};
    EXPECT_EQ(childNames(), expected);

    // Asking again creates nothing new.
    Vellaris::Roomdesk::createComponents();
    EXPECT_EQ(childNames(), expected);
}

TEST_F(AppTest, PublishesIdentityTextsAndNameAndVersion)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* app = Tessel::Application::getApplication();
    ASSERT_NE(app, nullptr);
    app->initializeApplication();
    EXPECT_EQ(Tessel::expandTextVariables("About $APPNAME"), "About Ambrel");
    EXPECT_EQ(Tessel::expandTextVariables("$APPCOMPANY $APPVERSION $COPYYEAR"), "Vellaris 1.0.0.28178 2014");
    Tessel::IParameter* param = getRootComponent()->lookupParameter("Application/appNameAndVersion");
    ASSERT_NE(param, nullptr);
    EXPECT_EQ(param->toString(), "Ambrel 1.0.0.28178 Win x86 (Built on Jul 25 2014)");
    EXPECT_EQ(param->getTag(), 0);
}

TEST_F(AppTest, LaunchCommandStartsTheSimulatorFromTheSupportFolderWithTheModel)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* app = Tessel::Application::getApplication();
    EXPECT_TRUE(app->interpretCommand(CommandMsg("Application", "Launch TX40S")));
    ASSERT_EQ(platform.getStartedPrograms().size(), 1u);
    EXPECT_EQ(platform.getStartedPrograms()[0].path,
              std::string("/opt/ambrel/") + Vellaris::Roomdesk::simulatorFileName());
    EXPECT_EQ(platform.getStartedPrograms()[0].arguments, std::vector<std::string>{"TX40S"});

    // A failed start is not the command's failure.
    platform.setStartProgramResult(false);
    EXPECT_TRUE(app->interpretCommand(CommandMsg("Application", "Launch TX10A")));
    EXPECT_EQ(platform.getStartedPrograms().back().arguments, std::vector<std::string>{"TX10A"});
}

TEST_F(AppTest, CheckOnlyLaunchAnswersYesAndStartsNothing)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* app = Tessel::Application::getApplication();
    EXPECT_TRUE(app->interpretCommand(CommandMsg("Application", "Launch TX20A", true)));
    EXPECT_TRUE(platform.getStartedPrograms().empty());
    // Unknown commands of an accepted category fall through to nothing.
    EXPECT_FALSE(app->interpretCommand(CommandMsg("Application", "Launch TX99Z")));
    EXPECT_TRUE(platform.getStartedPrograms().empty());
}

TEST_F(AppTest, FrameworkCommandsQuitAboutAndRemoteDevices)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* app = Tessel::Application::getApplication();
    EXPECT_TRUE(app->interpretCommand(CommandMsg("Help", "About", true)));
    EXPECT_TRUE(platform.getOpenedWindows().empty());
    EXPECT_TRUE(app->interpretCommand(CommandMsg("Help", "About")));
    ASSERT_EQ(platform.getOpenedWindows().size(), 1u);
    EXPECT_EQ(platform.getOpenedWindows()[0].formName, "AboutApplication");

    EXPECT_TRUE(app->interpretCommand(CommandMsg("File", "Quit", true)));
    EXPECT_FALSE(platform.isQuitRequested());
    EXPECT_TRUE(app->interpretCommand(CommandMsg("File", "Quit")));
    EXPECT_TRUE(platform.isQuitRequested());

    EXPECT_TRUE(app->acceptsCommandCategory("Help"));
    EXPECT_FALSE(app->acceptsCommandCategory("Speaker"));

    // The tablet remote's devices window, as its menu entry and key send it.
    EXPECT_TRUE(app->interpretCommand(CommandMsg("Application", "Remote Devices", true)));
    EXPECT_EQ(platform.getOpenedWindows().size(), 1u);
    EXPECT_TRUE(app->interpretCommand(CommandMsg("Application", "Remote Devices")));
    ASSERT_EQ(platform.getOpenedWindows().size(), 2u);
    EXPECT_EQ(platform.getOpenedWindows()[1].formName, "RemoteDevices");
    ASSERT_TRUE(Tessel::GetCommandTable()->load("resource:///commands.xml"));
    EXPECT_EQ(Tessel::GetCommandTable()->getKeys("Application", "Remote Devices"), "Ctrl+Shift+R");
}

TEST_F(AppTest, MenuBarHasTheApplicationMenuAndInDebugBuildsTheSimulatorMenu)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* app = Tessel::Application::getApplication();
    app->initializeApplication();
    ASSERT_TRUE(app->startup());
    const Tessel::MenuBar& bar = app->getMenuBar();
    const Tessel::Menu* appMenu = bar.findMenu("Application");
    ASSERT_NE(appMenu, nullptr);
    EXPECT_EQ(appMenu->title, "$APPNAME");
    ASSERT_EQ(appMenu->entries.size(), 4u);
    EXPECT_EQ(appMenu->entries[0].title, "About $APPNAME");
    EXPECT_TRUE(appMenu->entries[0].follow);
    EXPECT_EQ(appMenu->entries[1].title, "Remote Devices…");
    EXPECT_EQ(appMenu->entries[1].category + "/" + appMenu->entries[1].name, "Application/Remote Devices");
    EXPECT_EQ(appMenu->entries[2].kind, Tessel::MenuEntry::Kind::Separator);
    EXPECT_EQ(appMenu->entries[3].category, "File");
    EXPECT_EQ(appMenu->entries[3].name, "Quit");

    const Tessel::Menu* test = bar.findMenu("TEST");
    if (!Tessel::MenuBar::isDebugBuild())
    {
        EXPECT_EQ(test, nullptr);
        return;
    }
    ASSERT_NE(test, nullptr);
    ASSERT_EQ(test->entries.size(), 4u);
    const char* models[] = {"TX10A", "TX20A", "TX30A", "TX40S"};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(test->entries[i].title, std::string("Launch ") + models[i]);
        EXPECT_EQ(test->entries[i].category, "Application");
        EXPECT_EQ(test->entries[i].name, std::string("Launch ") + models[i]);
    }
    app->shutdown();
}

TEST_F(AppTest, ReleaseBuildsLeaveOutTheDebugMenu)
{
    Tessel::MenuBar bar;
    ASSERT_TRUE(bar.load("resource:///menubar.xml", false));
    EXPECT_EQ(bar.getMenus().size(), 2u);
    EXPECT_EQ(bar.findMenu("TEST"), nullptr);
    // Undo and Redo reach the application's commands.
    const Tessel::Menu* edit = bar.findMenu("Edit");
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(edit->entries.size(), 2u);
    EXPECT_EQ(edit->entries[0].category + "/" + edit->entries[0].name, "Edit/Undo");
    EXPECT_EQ(edit->entries[1].category + "/" + edit->entries[1].name, "Edit/Redo");
    ASSERT_TRUE(bar.load("resource:///menubar.xml", true));
    EXPECT_NE(bar.findMenu("TEST"), nullptr);
    EXPECT_FALSE(bar.load("resource:///no-such-menu.xml", true));
    EXPECT_TRUE(bar.getMenus().empty());
}

TEST_F(AppTest, SuspendAndResumeKeepEveryComponent)
{
    Vellaris::Roomdesk::createComponents();
    Tessel::Application* app = Tessel::Application::getApplication();
    app->initializeApplication();
    ASSERT_TRUE(app->startup());
    std::vector<std::string> before = childNames();
    EXPECT_EQ(before.back(), "SpeakerNetwork");
    app->notify(nullptr, Tessel::Message("appSuspended"));
    app->notify(nullptr, Tessel::Message("appResumed"));
    platform.advance(100);
    EXPECT_EQ(childNames(), before);
    app->shutdown();
    EXPECT_FALSE(Vellaris::SpeakerNetworkManager::instance()->isStarted());
}

// Runs the whole start-up routine; `duringRun` is posted into the running loop.
int runRoomdesk(Tessel::HeadlessPlatform& platform, std::function<void()> duringRun)
{
    struct Poster : Tessel::Object
    {
        std::function<void()> work;
        void notify(Tessel::ISubject*, const Tessel::Message&) override { work(); }
    };
    auto poster = Tessel::SharedPtr<Poster>::adopt(new Poster);
    poster->work = std::move(duringRun);
    Tessel::GetSignalHandler()->post(poster.get(), Tessel::Message("run"), 50);
    return Tessel::runApplication({"roomdesk"}, &Vellaris::Roomdesk::createComponents,
                                  "/opt/ambrel/roomdesk");
}

TEST_F(AppTest, FullRunOpensTheMainWindowAndQuitsCleanly)
{
    int code = runRoomdesk(platform, [] { Tessel::GetGUI()->quit(0); });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(platform.getOpenedWindows().size(), 1u);
    EXPECT_EQ(platform.getOpenedWindows()[0].formName, "ApplicationWindow");
    EXPECT_TRUE(platform.getStartedPrograms().empty());
    EXPECT_EQ(getRootComponent()->countChildren(), 0);
}

TEST_F(AppTest, RestartRequestedDuringTheRunStartsTheProgramAgain)
{
    int code = runRoomdesk(platform,
                           []
                           {
                               Tessel::GetGUI()->requestRestart();
                               Tessel::GetGUI()->quit(0);
                           });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(platform.getStartedPrograms().size(), 1u);
    EXPECT_EQ(platform.getStartedPrograms()[0].path, "/opt/ambrel/roomdesk");
    EXPECT_EQ(platform.getStartedPrograms()[0].arguments, std::vector<std::string>{"/restart"});
}

TEST_F(AppTest, SecondInstanceBringsTheFirstForwardAndEndsWithZero)
{
    // Another instance holds the lock.
    auto other = Tessel::SharedPtr<Tessel::IIPCSemaphore>::adopt(Tessel::CreateIPCSemaphore("roomdesk"));
    ASSERT_TRUE(other->tryTake());
    int code = runRoomdesk(platform, [] { Tessel::GetGUI()->quit(5); });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(platform.getOpenedWindows().empty());
    ASSERT_EQ(platform.getBringToFrontRequests().size(), 1u);
    EXPECT_EQ(platform.getBringToFrontRequests()[0], "roomdesk");
    other->give();
}

TEST_F(AppTest, ALockThatCannotBeMadeIsReportedAndFailsInsteadOfPosingAsASecondInstance)
{
    // Neither the runtime folder (open to everyone) nor the temporary folder (its tessel-<uid>
    // entry is a file) can hold a private lock.
    std::filesystem::path open = runtimeFolder / "open";
    std::filesystem::path temp = runtimeFolder / "temp";
    std::filesystem::create_directories(open);
    std::filesystem::create_directories(temp);
    std::filesystem::permissions(open, std::filesystem::perms::all);
    std::ofstream(temp / ("tessel-" + std::to_string(getuid()))) << "not a folder";
    const std::string previousTemp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("XDG_RUNTIME_DIR", open.c_str(), 1);
    setenv("TMPDIR", temp.c_str(), 1);

    int code = runRoomdesk(platform, [] { Tessel::GetGUI()->quit(0); });

    setenv("XDG_RUNTIME_DIR", runtimeFolder.c_str(), 1);
    if (previousTemp.empty())
        unsetenv("TMPDIR");
    else
        setenv("TMPDIR", previousTemp.c_str(), 1);
    EXPECT_NE(code, 0);
    EXPECT_TRUE(platform.getBringToFrontRequests().empty());
    EXPECT_TRUE(platform.getOpenedWindows().empty());
    ASSERT_EQ(platform.getAlerts().size(), 1u);
    EXPECT_NE(platform.getAlerts()[0].find("single-instance lock"), std::string::npos);
}

TEST_F(AppTest, MissingThemeShowsTheAlertAndFailsStartUp)
{
    platform.setKnownForms({"AboutApplication"});
    int code = runRoomdesk(platform, [] { Tessel::GetGUI()->quit(0); });
    EXPECT_NE(code, 0);
    ASSERT_EQ(platform.getAlerts().size(), 1u);
    EXPECT_EQ(platform.getAlerts()[0], "Failed to load Application Theme!");
}

} // namespace
