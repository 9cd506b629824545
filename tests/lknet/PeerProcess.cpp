#include "PeerProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "lknet/lknet.h"

namespace lknet::test
{

namespace
{
long long millisecondsNow()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

std::string testPeerPath()
{
    return LKNET_TEST_PEER;
}

uint16_t useOwnDiscoveryScope()
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    uint16_t port = ntohs(address.sin_port);
    ::setenv("LKNET_DISCOVERY_PORT", std::to_string(port).c_str(), 1);
    ::setenv("LKNET_LOOPBACK_ONLY", "1", 1);
    return port;
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    INetworkManager* net = LKGetNetworkManager();
    long long deadline = millisecondsNow() + timeoutMs;
    for (;;)
    {
        net->process();
        if (done())
            return true;
        long long left = deadline - millisecondsNow();
        if (left <= 0)
            return false;
        net->wait(int(left < 10 ? left : 10));
    }
}

PeerProcess::PeerProcess(const std::vector<std::string>& arguments)
    : PeerProcess(
          [&]
          {
              std::vector<std::string> argv{LKNET_TEST_PEER};
              argv.insert(argv.end(), arguments.begin(), arguments.end());
              return argv;
          }(),
          true)
{
}

PeerProcess::PeerProcess(const std::vector<std::string>& arguments, bool)
{
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0)
    {
        ::dup2(toChild[0], 0);
        ::dup2(fromChild[1], 1);
        std::vector<char*> argv;
        std::vector<std::string> copy = arguments;
        for (std::string& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
    ::fcntl(out_, F_SETFL, O_NONBLOCK);
}

PeerProcess::~PeerProcess()
{
    if (pid_ > 0)
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (in_ >= 0)
        ::close(in_);
    if (out_ >= 0)
        ::close(out_);
}

void PeerProcess::send(const std::string& line)
{
    std::string text = line + "\n";
    if (::write(in_, text.data(), text.size()) < 0)
        return;
}

void PeerProcess::poll()
{
    char buffer[4096];
    for (;;)
    {
        ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        partial_.append(buffer, size_t(n));
    }
    size_t end;
    while ((end = partial_.find('\n')) != std::string::npos)
    {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
}

bool PeerProcess::hasLine(const std::string& prefix) const
{
    for (const std::string& line : lines_)
        if (line.rfind(prefix, 0) == 0)
            return true;
    return false;
}

bool PeerProcess::waitForLine(const std::string& prefix, int timeoutMs, std::string* found)
{
    return pumpUntil(
        [&]
        {
            poll();
            consumed_.resize(lines_.size(), false);
            for (size_t i = 0; i < lines_.size(); ++i)
            {
                if (!consumed_[i] && lines_[i].rfind(prefix, 0) == 0)
                {
                    if (found)
                        *found = lines_[i];
                    consumed_[i] = true;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
}

void PeerProcess::signal(int number)
{
    if (pid_ > 0)
        ::kill(pid_, number);
}

int PeerProcess::waitExit(int timeoutMs)
{
    long long deadline = millisecondsNow() + timeoutMs;
    while (pid_ > 0)
    {
        int status = 0;
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_)
        {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (millisecondsNow() > deadline)
            return -1;
        pumpUntil([] { return false; }, 5);
    }
    return -1;
}

} // namespace lknet::test
