#include "tessel/IStream.h"

#include "tessel/IFileSystem.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

bool IStream::readAll(std::string& bytes)
{
    char buffer[16384];
    for (;;)
    {
        int64_t n = read(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(buffer, size_t(n));
    }
}

bool IFileSystem::readFile(const std::string& url, std::string& bytes)
{
    AutoPtr<IStream> stream = openStream(url);
    if (!stream)
        return false;
    bytes.clear();
    return stream->readAll(bytes);
}

} // namespace Tessel
