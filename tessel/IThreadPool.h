#pragma once

namespace Tessel
{

// The framework's worker threads.
class IThreadPool
{
public:
    // Ends every worker thread (waiting for them).
    virtual void terminate() = 0;

protected:
    virtual ~IThreadPool() = default;
};

} // namespace Tessel
