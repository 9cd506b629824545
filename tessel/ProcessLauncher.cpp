#include "tessel/ProcessLauncher.h"

#include <cerrno>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Tessel
{

bool ProcessLauncher::start(const std::string& path, const std::vector<std::string>& arguments)
{
    if (path.empty() || ::access(path.c_str(), X_OK) != 0)
        return false;
    // Everything the child needs is prepared before fork: it only calls posix_spawn and _exit.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The intermediate child starts the program and ends at once, so the program is adopted by
    // init and never stays behind as a zombie of ours.
    pid_t middle = ::fork();
    if (middle < 0)
        return false;
    if (middle == 0)
    {
        ::setsid();
        pid_t program = 0;
        int result = ::posix_spawn(&program, argv[0], nullptr, nullptr, argv.data(), environ);
        ::_exit(result == 0 ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0)
    {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace Tessel
