#pragma once

#include <memory>

namespace Core::Portable
{

// A unit of work for the background worker; deleted after it ran (or unrun
// when the worker stops first).
class BackgroundTask
{
public:
    virtual ~BackgroundTask() = default;
    virtual void run() = 0;
};

// One low-priority thread that runs queued tasks in order. The thread starts
// with the first task.
class BackgroundWorker
{
public:
    static constexpr int kIdleSleepMs = 1000; // longest wait between looks at the queue
    static constexpr int kStopTimeoutMs = 5000;

    BackgroundWorker();
    // Stops the worker.
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // Queues the task and starts the thread when there is none. False once
    // the worker was stopped (the task is then deleted unrun).
    bool add(std::unique_ptr<BackgroundTask> task);
    // Asks the thread to end and waits up to 5000 ms; a thread still busy
    // then is left to finish on its own (it touches nothing of the caller's).
    // Tasks still queued are deleted without running. True when the thread
    // ended in time (or never ran).
    bool stop();

    // State shared between the worker object and its thread.
    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

} // namespace Core::Portable
