#include "tessel/FileStream.h"

#include <sys/stat.h>

namespace Tessel
{

FileStream* FileStream::open(const std::string& path)
{
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    return new FileStream(file, int64_t(info.st_size));
}

FileStream::~FileStream()
{
    std::fclose(file);
}

void* FileStream::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(IStream)
    return Unknown::queryInterface(iid);
}

int64_t FileStream::read(void* buffer, int64_t count)
{
    if (count < 0)
        return -1;
    size_t n = std::fread(buffer, 1, size_t(count), file);
    if (n == 0 && std::ferror(file))
        return -1;
    return int64_t(n);
}

} // namespace Tessel
