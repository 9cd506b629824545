#include "tarnsim/BackgroundWorker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

namespace Core::Portable
{

// State shared with the thread, so a thread that outlives stop() (a task that
// hangs) never touches freed memory.
struct BackgroundWorker::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    std::deque<std::unique_ptr<BackgroundTask>> queue;
    bool stopRequested = false;
    bool running = false;
    bool stopped = false;
};

namespace
{

void lowerPriority()
{
#ifdef _WIN32
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
#elif defined(SCHED_IDLE)
    sched_param param{};
    param.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
#endif
}

void workerLoop(std::shared_ptr<BackgroundWorker::Shared> shared);

} // namespace

BackgroundWorker::BackgroundWorker() : shared_(std::make_shared<Shared>()) {}

BackgroundWorker::~BackgroundWorker()
{
    stop();
}

bool BackgroundWorker::add(std::unique_ptr<BackgroundTask> task)
{
    std::unique_lock<std::mutex> lock(shared_->mutex);
    if (shared_->stopped)
        return false;
    shared_->queue.push_back(std::move(task));
    if (!shared_->running)
    {
        shared_->running = true;
        std::thread(workerLoop, shared_).detach();
    }
    shared_->wake.notify_one();
    return true;
}

bool BackgroundWorker::stop()
{
    std::deque<std::unique_ptr<BackgroundTask>> unrun;
    bool ended;
    {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        shared_->stopped = true;
        shared_->stopRequested = true;
        shared_->wake.notify_all();
        ended = shared_->ended.wait_for(lock, std::chrono::milliseconds(kStopTimeoutMs),
                                        [&] { return !shared_->running; });
        unrun.swap(shared_->queue);
    }
    unrun.clear();
    return ended;
}

namespace
{

void workerLoop(std::shared_ptr<BackgroundWorker::Shared> shared)
{
    lowerPriority();
    while (true)
    {
        std::unique_ptr<BackgroundTask> task;
        {
            // The queue is only polled: a busy lock means "look again later".
            std::unique_lock<std::mutex> lock(shared->mutex, std::try_to_lock);
            if (lock.owns_lock())
            {
                if (shared->stopRequested)
                    break;
                if (!shared->queue.empty())
                {
                    task = std::move(shared->queue.front());
                    shared->queue.pop_front();
                }
                else
                {
                    shared->wake.wait_for(lock, std::chrono::milliseconds(BackgroundWorker::kIdleSleepMs));
                    continue;
                }
            }
        }
        if (task)
        {
            task->run();
            task.reset();
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->running = false;
    shared->ended.notify_all();
}

} // namespace

} // namespace Core::Portable
