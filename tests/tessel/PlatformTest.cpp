#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tessel/Attributes.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IAlertService.h"
#include "tessel/IExecutableLoader.h"
#include "tessel/IFileSystem.h"
#include "tessel/IIPCSemaphore.h"
#include "tessel/IStream.h"
#include "tessel/ISystem.h"
#include "tessel/IWindowManager.h"
#include "tessel/LocalFileSystem.h"
#include "tessel/LockFileSemaphore.h"
#include "tessel/Platform.h"
#include "tessel/PosixSystem.h"
#include "tessel/ProcessLauncher.h"
#include "tessel/ResourceTable.h"
#include "tessel/Warning.h"

using namespace Tessel;

namespace
{
std::string uniqueName(const char* base)
{
    return std::string(base) + "-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}
} // namespace

TEST(Warning, WritesPrefixAndTextAndReportsWithoutTrailingLineFeeds)
{
    HeadlessPlatform platform;
    warning("LK Component template not found: %s\n\n", "Speaker");
    EXPECT_EQ(platform.getDebugOutput(),
              (std::vector<std::string>{"### Warning:LK Component template not found: Speaker", ""}));
    EXPECT_EQ(platform.getWarnings(), (std::vector<std::string>{"LK Component template not found: Speaker"}));
}

TEST(Warning, CutsAt4095Characters)
{
    HeadlessPlatform platform;
    std::string longText(5000, 'x');
    warning("%s\n", longText.c_str());
    ASSERT_EQ(platform.getWarnings().size(), 1u);
    EXPECT_EQ(platform.getWarnings()[0].size(), 4095u);
    // The cut removed the line feed, so nothing is stripped from the 4095 characters.
    EXPECT_EQ(platform.getWarnings()[0], longText.substr(0, 4095));
}

TEST(Resources, EmbeddedFilesOpenThroughTheFileSystem)
{
    HeadlessPlatform platform;
    std::string bytes;
    ASSERT_TRUE(GetFileSystem()->readFile("resource:///hello.txt", bytes));
    EXPECT_EQ(bytes, "Hello from the resource table.\n");
    ASSERT_TRUE(GetFileSystem()->readFile("resource://" + GetModuleIdentifier() + "/hello.txt", bytes));
    EXPECT_EQ(bytes, "Hello from the resource table.\n");
    ASSERT_TRUE(GetFileSystem()->readFile("resource:///empty.bin", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(GetFileSystem()->exists("resource:///sub/menubar.xml"));
    EXPECT_FALSE(GetFileSystem()->exists("resource:///nothing.txt"));
    EXPECT_FALSE(GetFileSystem()->readFile("resource://otherprogram/hello.txt", bytes));
    AutoPtr<IStream> stream = GetFileSystem()->openStream("resource:///hello.txt");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->getSize(), 31);
}

TEST(FileSystem, OpensPlainPathsAndFileUrls)
{
    HeadlessPlatform platform;
    std::string path = ::testing::TempDir() + uniqueName("tessel file") + ".txt";
    writeFile(path, "contents");
    std::string bytes;
    EXPECT_TRUE(GetFileSystem()->readFile(path, bytes));
    EXPECT_EQ(bytes, "contents");
    bytes.clear();
    EXPECT_TRUE(GetFileSystem()->readFile("file://" + path, bytes));
    EXPECT_EQ(bytes, "contents");
    EXPECT_EQ(LocalFileSystem::toLocalPath("file:///a%20b/c"), "/a b/c");
    EXPECT_EQ(LocalFileSystem::toLocalPath("file://localhost/x"), "/x");
    EXPECT_EQ(LocalFileSystem::toLocalPath("file://otherhost/x"), "");
    EXPECT_FALSE(GetFileSystem()->readFile(::testing::TempDir(), bytes)); // a folder
    EXPECT_FALSE(GetFileSystem()->readFile(path + ".missing", bytes));
    std::remove(path.c_str());
}

TEST(Semaphore, TakingFailsWhileAnotherProcessHoldsIt)
{
    HeadlessPlatform platform;
    std::string name = uniqueName("tessel-semaphore");
    int ready[2];
    int finish[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(finish), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        AutoPtr<LockFileSemaphore> semaphore = new LockFileSemaphore(name);
        char taken = semaphore->tryTake() ? '1' : '0';
        (void)!::write(ready[1], &taken, 1);
        char done;
        (void)!::read(finish[0], &done, 1);
        ::_exit(0);
    }
    char taken = 0;
    ASSERT_EQ(::read(ready[0], &taken, 1), 1);
    ASSERT_EQ(taken, '1');

    AutoPtr<IIPCSemaphore> semaphore = CreateIPCSemaphore(name);
    EXPECT_FALSE(semaphore->tryTake());
    EXPECT_FALSE(semaphore->isTaken());

    char done = 'x';
    ASSERT_EQ(::write(finish[1], &done, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    // The holder has ended: its lock went with it.
    EXPECT_TRUE(semaphore->tryTake());
    EXPECT_TRUE(semaphore->tryTake()); // again through the same object
    AutoPtr<IIPCSemaphore> second = CreateIPCSemaphore(name);
    EXPECT_FALSE(second->tryTake());
    semaphore->give();
    EXPECT_TRUE(second->tryTake());
    for (int fd : {ready[0], ready[1], finish[0], finish[1]})
        ::close(fd);
    std::remove(static_cast<LockFileSemaphore*>(second.get())->getPath().c_str());
}

TEST(Semaphore, NameCannotClimbOutOfTheRuntimeFolder)
{
    AutoPtr<LockFileSemaphore> semaphore = new LockFileSemaphore("../../etc/x");
    std::string folder = LockFileSemaphore::getRuntimeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(semaphore->getPath().rfind(folder + "/", 0), 0u);
    EXPECT_EQ(semaphore->getPath().find("/..", folder.size()), std::string::npos);
}

TEST(ProcessLauncher, StartsAProgramWithItsArguments)
{
    std::string marker = ::testing::TempDir() + uniqueName("tessel-launch");
    ProcessLauncher launcher;
    ASSERT_TRUE(launcher.start("/bin/sh", {"-c", "echo \"$0\" > \"$1\"", "TX40S", marker}));
    // Poll for the program's output with a deadline.
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline)
    {
        std::ifstream(marker) >> text;
        if (text == "TX40S")
            break;
        std::this_thread::yield();
    }
    EXPECT_EQ(text, "TX40S");
    EXPECT_FALSE(launcher.start("/nonexistent/tarnsim", {"TX10A"}));
    std::remove(marker.c_str());
}

TEST(HeadlessPlatform, RecordsWhatTheProgramAskedFor)
{
    HeadlessPlatform platform;
    platform.setComputerName("studio-pc");
    platform.setFolder(Location::kSupport, "/opt/roomdesk");
    GetAlertService()->showAlert("Failed to load Application Theme!");
    AutoPtr<Attributes> controller = new Attributes;
    EXPECT_TRUE(GetWindowManager()->openWindow("ApplicationWindow", controller, true));
    platform.setBringToFrontResult(false);
    EXPECT_FALSE(GetWindowManager()->bringToFront("roomdesk", true));
    std::string program = GetSystem()->getLocation("Supp") + "/tarnsim";
    EXPECT_TRUE(GetExecutableLoader()->start(program, {"TX40S"}));

    EXPECT_EQ(platform.getAlerts(), (std::vector<std::string>{"Failed to load Application Theme!"}));
    ASSERT_EQ(platform.getOpenedWindows().size(), 1u);
    EXPECT_EQ(platform.getOpenedWindows()[0].formName, "ApplicationWindow");
    EXPECT_EQ(platform.getOpenedWindows()[0].controller.get(), static_cast<IUnknown*>(controller.get()));
    EXPECT_EQ(platform.getBringToFrontRequests(), (std::vector<std::string>{"roomdesk"}));
    ASSERT_EQ(platform.getStartedPrograms().size(), 1u);
    EXPECT_EQ(platform.getStartedPrograms()[0].path, "/opt/roomdesk/tarnsim");
    EXPECT_EQ(platform.getStartedPrograms()[0].arguments, (std::vector<std::string>{"TX40S"}));
    EXPECT_EQ(GetSystem()->getComputerName(), "studio-pc");
    Attributes info;
    GetSystem()->getComputerInfo(info);
    EXPECT_TRUE(info.contains("deviceModel"));
    EXPECT_TRUE(info.contains("deviceIdentifier"));
    // Unset user folders never point at the user's real ones.
    EXPECT_NE(GetSystem()->getLocation(Location::kDocuments).find("tessel-headless"), std::string::npos);
}

TEST(HeadlessPlatform, InstallsItselfAndRestoresThePreviousPlatform)
{
    HeadlessPlatform outer;
    outer.setTime(500);
    {
        HeadlessPlatform inner;
        EXPECT_EQ(GetSystemTicks(), 0);
        inner.advance(20);
        EXPECT_EQ(GetSystemTicks(), 20);
    }
    EXPECT_EQ(GetSystemTicks(), 500);
}

TEST(PosixSystem, NamesSupportFolderAfterTheProgram)
{
    std::string folder = PosixSystem::getProgramFolder();
    struct stat info;
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}
