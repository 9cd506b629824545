#include "tarnsim/FileIOManager.h"

#include "core/FileStream.h"
#include "core/MemoryStream.h"

namespace Core::Portable
{

namespace
{

class LoadTask : public BackgroundTask
{
public:
    explicit LoadTask(std::shared_ptr<FileIONotifyEntry> entry) : entry_(std::move(entry)) {}
    void run() override
    {
        auto data = std::make_unique<MemoryStream>();
        if (FileStream::readAll(entry_->path, *data))
            entry_->data = std::move(data);
        entry_->done.store(true, std::memory_order_release);
    }

private:
    std::shared_ptr<FileIONotifyEntry> entry_;
};

// Replaces the file through a temporary file renamed over it, so a failed or
// interrupted save leaves the previous file whole.
class SaveTask : public BackgroundTask
{
public:
    SaveTask(std::shared_ptr<FileIONotifyEntry> entry, std::shared_ptr<PendingSave> pending)
        : entry_(std::move(entry)), pending_(std::move(pending))
    {
    }
    void run() override
    {
        std::unique_ptr<MemoryStream> contents;
        {
            std::lock_guard<std::mutex> lock(pending_->mutex);
            pending_->started = true;
            contents = std::move(pending_->contents);
        }
        if (contents)
            FileStream::writeAtomically(entry_->path, contents->view());
        entry_->done.store(true, std::memory_order_release);
    }

private:
    std::shared_ptr<FileIONotifyEntry> entry_;
    std::shared_ptr<PendingSave> pending_;
};

} // namespace

FileIOManager::FileIOManager() = default;

FileIOManager::~FileIOManager()
{
    shutdown();
}

FileIOManager& FileIOManager::instance()
{
    static FileIOManager* manager = new FileIOManager();
    return *manager;
}

void FileIOManager::loadInBackground(const std::string& path,
                                     std::unique_ptr<FileIOCompletionHandler> handler)
{
    auto entry = std::make_shared<FileIONotifyEntry>();
    entry->kind = FileIONotifyEntry::Kind::Load;
    entry->path = path;
    entry->handler = std::move(handler);
    entries_.push_back(entry);
    worker_.add(std::make_unique<LoadTask>(entry));
}

void FileIOManager::saveInBackground(const std::string& path, std::unique_ptr<MemoryStream> contents,
                                     std::unique_ptr<FileIOCompletionHandler> handler)
{
    auto known = pendingSaves_.find(path);
    if (known != pendingSaves_.end())
    {
        if (std::shared_ptr<PendingSave> waiting = known->second.lock())
        {
            std::lock_guard<std::mutex> lock(waiting->mutex);
            if (!waiting->started)
            {
                waiting->contents = std::move(contents);
                return;
            }
        }
    }
    auto entry = std::make_shared<FileIONotifyEntry>();
    entry->kind = FileIONotifyEntry::Kind::Save;
    entry->path = path;
    entry->handler = std::move(handler);
    entries_.push_back(entry);
    auto pending = std::make_shared<PendingSave>();
    pending->contents = std::move(contents);
    pendingSaves_[path] = pending;
    worker_.add(std::make_unique<SaveTask>(entry, std::move(pending)));
}

int FileIOManager::deliver()
{
    int delivered = 0;
    for (auto it = entries_.begin(); it != entries_.end();)
    {
        FileIONotifyEntry& entry = **it;
        if (!entry.done.load(std::memory_order_acquire))
        {
            ++it;
            continue;
        }
        if (entry.handler)
        {
            if (entry.kind == FileIONotifyEntry::Kind::Save)
                entry.handler->saveCompleted(entry.path);
            else
                entry.handler->loadCompleted(entry.data.get(), entry.path);
        }
        it = entries_.erase(it);
        ++delivered;
    }
    return delivered;
}

void FileIOManager::shutdown()
{
    worker_.stop();
    entries_.clear();
    pendingSaves_.clear();
}

} // namespace Core::Portable
