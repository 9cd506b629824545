#include "tests/common/ChildProcess.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace NetworkTest
{

int freeUdpPort(bool anyAddress)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(anyAddress ? INADDR_ANY : INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

namespace fs = std::filesystem;

namespace
{
int scope = 0;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

int useNewDiscoveryScope()
{
    // Ports 20000-29999 by process, 16 scopes each; other test folders use other ranges.
    int port = 20000 + int(::getpid() % 625) * 16 + (scope++ % 16);
    ::setenv("LKNET_DISCOVERY_PORT", std::to_string(port).c_str(), 1);
    ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
    return port;
}

std::filesystem::path usePrivateHome(const std::string& name)
{
    const fs::path home = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::remove_all(home);
    for (const char* sub : {"runtime", "config", "data", "state", "cache", "Documents"})
        fs::create_directories(home / sub);
    fs::permissions(home / "runtime", fs::perms::owner_all);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    ::setenv("XDG_DOCUMENTS_DIR", (home / "Documents").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return home;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const ChildOptions& options)
{
    static int counter = 0;
    folder_ = (fs::temp_directory_path() / (options.folderPrefix + "-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(counter++)))
                  .string();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    if (options.prepare)
        options.prepare(folder_);
    const std::string out = folder_ + "/stdout.txt";
    const std::string err = folder_ + "/stderr.txt";
    pid_ = ::fork();
    if (pid_ == 0)
    {
        int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int errFd = options.oneLog ? outFd : ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::setenv("APPDATA", folder_.c_str(), 1);
        for (const auto& [key, value] : options.environment)
            ::setenv(key.c_str(), value.c_str(), 1);
        std::vector<std::string> args = arguments;
        std::vector<char*> argv;
        std::string path = program;
        argv.push_back(path.data());
        for (std::string& argument : args)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && !ended_)
    {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string ChildProcess::output() const
{
    return readFile(folder_ + "/stdout.txt");
}

std::string ChildProcess::errors() const
{
    return readFile(folder_ + "/stderr.txt");
}

void ChildProcess::kill(int signal)
{
    if (pid_ > 0 && !ended_)
        ::kill(pid_, signal);
}

bool ChildProcess::hasEnded()
{
    if (ended_)
        return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_)
        return false;
    ended_ = true;
    signalled_ = !WIFEXITED(status);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

bool ChildProcess::waitForEnd(std::chrono::milliseconds limit, const std::function<void()>& pump)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!hasEnded())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (pump)
            pump();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Outcome runToEnd(const std::string& program, const std::vector<std::string>& arguments,
                 std::chrono::milliseconds limit)
{
    ChildProcess child(program, arguments);
    Outcome result;
    if (!child.waitForEnd(limit))
        return result;
    result.status = child.exitStatus();
    result.out = child.output();
    result.err = child.errors();
    return result;
}

} // namespace NetworkTest
