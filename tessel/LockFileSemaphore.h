#pragma once

#include <string>

#include "tessel/IIPCSemaphore.h"
#include "tessel/Unknown.h"

namespace Tessel
{

// A named inter-process semaphore made of an advisory lock (flock) on a file
// "<runtime folder>/<name>.lock", where the runtime folder is $XDG_RUNTIME_DIR, or else
// "<temp>/tessel-<uid>". The lock goes with the process, so a crash never leaves it taken.
class LockFileSemaphore : public Unknown, public IIPCSemaphore
{
public:
    // `name` is cut to letters, digits, '.', '-' and '_' (others become '_').
    explicit LockFileSemaphore(const std::string& name);

    void* queryInterface(const UID& iid) override;
    bool tryTake() override;
    void give() override;
    bool isTaken() const override { return fd >= 0; }
    std::string getFailure() const override { return failure; }

    const std::string& getPath() const { return path; }
    // The folder where lock files live for this user (created on demand with mode 0700).
    static std::string getRuntimeFolder();

protected:
    ~LockFileSemaphore() override;

private:
    std::string path;
    int fd = -1;
    std::string failure;
};

} // namespace Tessel
