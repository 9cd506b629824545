#pragma once

#include "tarnsim/BackgroundWorker.h"

#include <atomic>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Core::Portable
{

class MemoryStream;

// Told on the main thread when a background load or save has finished.
class FileIOCompletionHandler
{
public:
    virtual ~FileIOCompletionHandler() = default;
    virtual void saveCompleted(const std::string& path) = 0;
    // data is null when the file could not be read; it is freed after the call.
    virtual void loadCompleted(MemoryStream* data, const std::string& path) = 0;
};

// One pending load or save. The worker fills data (loads) and then sets done;
// the main thread reads them only once done is set.
struct FileIONotifyEntry
{
    enum class Kind
    {
        Load = 0,
        Save = 1
    };
    Kind kind = Kind::Load;
    std::string path;
    std::unique_ptr<FileIOCompletionHandler> handler;
    std::unique_ptr<MemoryStream> data;
    std::atomic<bool> done{false};
};

// The contents of a save not yet begun. While the worker has not taken them, a newer save of the
// same file replaces them, so a worker stalled on a hung disk holds one pending copy, not one
// per save interval.
struct PendingSave
{
    std::mutex mutex;
    std::unique_ptr<MemoryStream> contents;
    bool started = false;
};

// Queues file work on the background worker and hands finished work back to
// the main thread. Everything but the tasks runs on the main thread.
class FileIOManager
{
public:
    FileIOManager();
    ~FileIOManager();

    // The process-wide manager.
    static FileIOManager& instance();

    // Adds an entry and queues a task that reads the whole file into it.
    void loadInBackground(const std::string& path, std::unique_ptr<FileIOCompletionHandler> handler);
    // Adds an entry and queues a task that replaces the file with contents. When a save of the
    // same path is still waiting for the worker, its contents are replaced instead and nothing is
    // added (its handler hears of the one save; `handler` is dropped).
    void saveInBackground(const std::string& path, std::unique_ptr<MemoryStream> contents,
                          std::unique_ptr<FileIOCompletionHandler> handler);
    // Calls the handler of each finished entry in order and frees it;
    // unfinished entries stay. Returns the number delivered.
    int deliver();
    // Stops the worker, then frees every entry without calling its handler.
    void shutdown();
    // Entries not yet delivered.
    int pendingCount() const { return static_cast<int>(entries_.size()); }

private:
    std::list<std::shared_ptr<FileIONotifyEntry>> entries_;
    std::map<std::string, std::weak_ptr<PendingSave>> pendingSaves_;
    BackgroundWorker worker_;
};

} // namespace Core::Portable
