#pragma once

#include <cstdio>
#include <string>

#include "tessel/IStream.h"
#include "tessel/Unknown.h"

namespace Tessel
{

// A stream reading a local file.
class FileStream : public Unknown, public IStream
{
public:
    // Opens `path` for reading; returns nullptr when it cannot be opened or is a folder.
    static FileStream* open(const std::string& path);

    void* queryInterface(const UID& iid) override;
    int64_t read(void* buffer, int64_t size) override;
    int64_t getSize() const override { return size; }

protected:
    ~FileStream() override;

private:
    FileStream(std::FILE* file, int64_t size) : file(file), size(size) {}

    std::FILE* file;
    int64_t size;
};

} // namespace Tessel
