#include "tessel/LockFileSemaphore.h"

#include <cstring>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Tessel
{

namespace
{
// A folder we own and nobody else can write to, or false.
bool isPrivateFolder(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 0022) == 0;
}

std::string cleanName(const std::string& name)
{
    std::string result;
    for (char c : name)
    {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                     c == '-' || c == '_';
        result += plain ? c : '_';
    }
    if (result.empty() || result[0] == '.')
        result.insert(0, "_");
    return result;
}
} // namespace

std::string LockFileSemaphore::getRuntimeFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
    {
        if (runtime[0] == '/' && isPrivateFolder(runtime))
            return runtime;
    }
    const char* temp = std::getenv("TMPDIR");
    std::string base = temp && temp[0] == '/' ? temp : "/tmp";
    std::string folder = base + "/tessel-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    // Someone else's folder (or a link) under the shared temp folder must not be trusted.
    return isPrivateFolder(folder) ? folder : std::string();
}

LockFileSemaphore::LockFileSemaphore(const std::string& name)
{
    std::string folder = getRuntimeFolder();
    if (!folder.empty())
        path = folder + "/" + cleanName(name) + ".lock";
}

LockFileSemaphore::~LockFileSemaphore()
{
    give();
}

void* LockFileSemaphore::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(IIPCSemaphore)
    return Unknown::queryInterface(iid);
}

bool LockFileSemaphore::tryTake()
{
    failure.clear();
    if (fd >= 0)
        return true;
    if (path.empty())
    {
        failure = "No private folder for the single-instance lock (XDG_RUNTIME_DIR, or TMPDIR or /tmp "
                  "with a folder tessel-<uid> owned by this user and closed to others).";
        return false;
    }
    // Close-on-exec: programs we start must not inherit the lock and keep it after we end.
    int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (file < 0)
    {
        failure = "Cannot create the single-instance lock " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(file, LOCK_EX | LOCK_NB) != 0)
    {
        if (errno != EWOULDBLOCK)
            failure = "Cannot take the single-instance lock " + path + ": " + std::strerror(errno);
        ::close(file);
        return false;
    }
    fd = file;
    return true;
}

void LockFileSemaphore::give()
{
    if (fd >= 0)
    {
        ::flock(fd, LOCK_UN);
        ::close(fd);
        fd = -1;
    }
}

} // namespace Tessel
