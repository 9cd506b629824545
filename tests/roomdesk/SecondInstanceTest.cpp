// A second roomdesk started while one runs brings the first forward and ends with 0; the first
// keeps running with its one window. Real processes, offscreen, in a private runtime folder.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

pid_t startRoomdesk(const fs::path& home)
{
    pid_t pid = fork();
    if (pid == 0)
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
        setenv("TMPDIR", (home / "tmp").c_str(), 1);
        setenv("LKNET_LOOPBACK_ONLY", "1", 1);
        setenv("ROOMDESK_OSC_PORT", "0", 1);
        setenv("ROOMDESK_WEB_PORT", "0",
               1); // the tablet remote stays off: parallel desks never share its port
        setenv("LKNET_DISCOVERY_PORT", std::to_string(40000 + getppid() % 20000 + 11).c_str(), 1);
        execl(ROOMDESK_PATH, ROOMDESK_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Waits for `pid` to end within `timeout`; returns its exit status, or -1 when it still runs.
int waitForExit(pid_t pid, std::chrono::milliseconds timeout)
{
    auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline)
    {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

TEST(SecondInstance, BringsTheFirstForwardAndEndsWithZero)
{
    fs::path home = fs::temp_directory_path() / ("roomdesk-second-" + std::to_string(getpid()));
    fs::create_directories(home / "runtime");
    fs::create_directories(home / "tmp");
    fs::permissions(home / "runtime", fs::perms::owner_all);

    pid_t first = startRoomdesk(home);
    ASSERT_GT(first, 0);
    // The first instance is ready once it listens for later ones.
    std::string user = std::getenv("USER") ? std::getenv("USER") : "user";
    fs::path socket = home / "tmp" / ("tessel-roomdesk-" + user);
    auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!fs::exists(socket) && Clock::now() < deadline &&
           waitForExit(first, std::chrono::milliseconds(50)) < 0)
        ;
    ASSERT_TRUE(fs::exists(socket)) << "the first instance did not come up";

    pid_t second = startRoomdesk(home);
    int secondStatus = waitForExit(second, std::chrono::seconds(30));
    EXPECT_EQ(secondStatus, 0);
    EXPECT_EQ(waitForExit(first, std::chrono::milliseconds(200)), -1) << "the first instance ended";

    kill(first, SIGTERM);
    int firstStatus = waitForExit(first, std::chrono::seconds(30));
    if (firstStatus < 0)
    {
        kill(first, SIGKILL);
        waitForExit(first, std::chrono::seconds(5));
    }
    EXPECT_EQ(firstStatus, 0) << "SIGTERM should end roomdesk cleanly";
    std::error_code ignored;
    fs::remove_all(home, ignored);
}

} // namespace
