#include "tessel/PosixSystem.h"

#include <cstdlib>
#include <fstream>

#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include "tessel/Attributes.h"

namespace Tessel
{

namespace
{
std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && home[0])
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/tmp";
}

std::string environmentFolder(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : fallback;
}

std::string firstLine(const char* path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}
} // namespace

std::string PosixSystem::getProgramFolder()
{
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    std::string path(buffer, size_t(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

std::string PosixSystem::getLocation(const std::string& kind) const
{
    if (kind == Location::kSupport)
        return getProgramFolder();
    if (kind == Location::kDocuments)
        return environmentFolder("XDG_DOCUMENTS_DIR", homeFolder() + "/Documents");
    if (kind == Location::kSettings)
        return environmentFolder("XDG_CONFIG_HOME", homeFolder() + "/.config") + "/roomdesk";
    if (kind == Location::kTemp)
        return environmentFolder("TMPDIR", "/tmp");
    return {};
}

void PosixSystem::getComputerInfo(Attributes& info) const
{
    std::string model = firstLine("/sys/class/dmi/id/product_name");
    info.setString("deviceModel", model.empty() ? "Linux PC" : model);
    std::string identifier = firstLine("/etc/machine-id");
    info.setString("deviceIdentifier", identifier.empty() ? getComputerName() : identifier);
}

std::string PosixSystem::getComputerName() const
{
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0 || !buffer[0])
        return "localhost";
    return buffer;
}

} // namespace Tessel
