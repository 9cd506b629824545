#include "core/FileStream.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace Core::Portable
{

namespace
{

#ifdef _WIN32
int syncFile(std::FILE* file)
{
    return _commit(_fileno(file));
}
#else
int syncFile(std::FILE* file)
{
    return fsync(fileno(file));
}
#endif

unsigned long currentProcessId()
{
#ifdef _WIN32
    return static_cast<unsigned long>(GetCurrentProcessId());
#else
    return static_cast<unsigned long>(getpid());
#endif
}

bool replaceFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return false;
    // Make the rename itself durable; a folder that cannot be synced is not
    // a failure of the write.
    const std::size_t slash = to.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0)
    {
        ::fsync(descriptor);
        ::close(descriptor);
    }
    return true;
#endif
}

// Whether the process that wrote a temporary file still runs (one we may not look at does).
bool processRunning(unsigned long pid)
{
#ifdef _WIN32
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

} // namespace

FileStream::~FileStream()
{
    close();
}

bool FileStream::open(const std::string& path, Mode mode)
{
    close();
    const char* modeText = mode == Mode::Read ? "rb" : mode == Mode::Create ? "wb" : "r+b";
    file_ = std::fopen(path.c_str(), modeText);
    mode_ = mode;
    last_ = LastAccess::None;
    return file_ != nullptr;
}

bool FileStream::close()
{
    if (!file_)
        return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

bool FileStream::prepare(LastAccess access)
{
    if (access == LastAccess::Read && mode_ == Mode::Create)
        return false;
    if (access == LastAccess::Write && mode_ == Mode::Read)
        return false;
    if (last_ != LastAccess::None && last_ != access && std::fseek(file_, 0, SEEK_CUR) != 0)
        return false;
    last_ = access;
    return true;
}

int FileStream::read(void* buffer, int size)
{
    if (!file_ || size < 0 || !prepare(LastAccess::Read))
        return -1;
    const std::size_t count = std::fread(buffer, 1, static_cast<std::size_t>(size), file_);
    if (count == 0 && std::ferror(file_))
        return -1;
    return static_cast<int>(count);
}

int FileStream::write(const void* data, int size)
{
    if (!file_ || size < 0 || !prepare(LastAccess::Write))
        return -1;
    const std::size_t count = std::fwrite(data, 1, static_cast<std::size_t>(size), file_);
    return count == static_cast<std::size_t>(size) ? size : -1;
}

std::int64_t FileStream::seek(std::int64_t offset, SeekMode mode)
{
    if (!file_)
        return -1;
    const int whence = mode == SeekMode::Begin ? SEEK_SET : mode == SeekMode::Current ? SEEK_CUR : SEEK_END;
#ifdef _WIN32
    if (_fseeki64(file_, offset, whence) != 0)
        return -1;
#else
    if (fseeko(file_, static_cast<off_t>(offset), whence) != 0)
        return -1;
#endif
    last_ = LastAccess::None;
    return tell();
}

std::int64_t FileStream::tell() const
{
    if (!file_)
        return -1;
#ifdef _WIN32
    return _ftelli64(file_);
#else
    return static_cast<std::int64_t>(ftello(file_));
#endif
}

bool FileStream::sync()
{
    if (!file_)
        return false;
    return std::fflush(file_) == 0 && syncFile(file_) == 0;
}

bool FileStream::readAll(const std::string& path, Stream& target)
{
    FileStream file;
    if (!file.open(path, Mode::Read))
        return false;
    char buffer[16384];
    for (;;)
    {
        const int count = file.read(buffer, sizeof buffer);
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        if (target.write(buffer, count) != count)
            return false;
    }
}

bool FileStream::writeAtomically(const std::string& path, std::string_view contents)
{
    // A name of its own per process and call, so that two writers of the
    // same file never write into one temporary file.
    // The dot in front keeps it out of folder listings meant for the user (preset and venue lists).
    static std::atomic<unsigned> serial{0};
    const std::size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string temporary = folder + "." + base + ".tmp" + std::to_string(currentProcessId()) + "_" +
                                  std::to_string(serial.fetch_add(1));
    // What a writer killed mid-write left beside the file goes with the next write.
    removeStaleTemporaries(path);
    FileStream file;
    if (!file.open(temporary, Mode::Create))
        return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < contents.size())
    {
        const std::size_t piece = std::min<std::size_t>(contents.size() - done, 1 << 20);
        ok = file.write(contents.data() + done, static_cast<int>(piece)) == static_cast<int>(piece);
        done += piece;
    }
    ok = ok && file.sync();
    ok = file.close() && ok;
    if (ok)
        ok = replaceFile(temporary, path);
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

int FileStream::removeStaleTemporaries(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    const std::string prefix = "." + (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp";
    int removed = 0;
    std::vector<std::string> stale;
    // ".<name>.tmp<pid>_<n>": a writer still running keeps its file.
    auto consider = [&](const std::string& name, const std::string& separator)
    {
        if (name.compare(0, prefix.size(), prefix) != 0)
            return;
        const unsigned long pid = std::strtoul(name.c_str() + prefix.size(), nullptr, 10);
        if (pid != 0 && processRunning(pid))
            return;
        stale.push_back(folder + separator + name);
    };
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do
        consider(found.cFileName, "\\");
    while (FindNextFileA(search, &found));
    FindClose(search);
#else
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    while (const dirent* entry = ::readdir(dir))
        consider(entry->d_name, "/");
    ::closedir(dir);
#endif
    for (const std::string& file : stale)
        removed += std::remove(file.c_str()) == 0 ? 1 : 0;
    return removed;
}

} // namespace Core::Portable
