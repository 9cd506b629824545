#pragma once

#include <functional>

#include "tessel/ISignalHandler.h"
#include "tessel/PostedMessageQueue.h"

namespace Tessel
{

// The platform-neutral signal handler: observer lists live in the subjects themselves; posted
// messages go to a PostedMessageQueue whose due times come from the clock function the platform
// supplies. A platform owns one and drains getQueue() from its loop.
class SignalHandler : public ISignalHandler
{
public:
    using Clock = std::function<int64_t()>;

    explicit SignalHandler(Clock clock) : clock(std::move(clock)) {}

    void addObserver(ISubject* subject, IObserver* observer) override;
    void removeObserver(ISubject* subject, IObserver* observer) override;
    void signal(ISubject* subject, const Message& msg) override;
    void post(IObserver* observer, const Message& msg, int64_t delayMs = 0) override;
    int cancel(IObserver* observer) override { return queue.cancel(observer); }

    PostedMessageQueue& getQueue() { return queue; }

private:
    Clock clock;
    PostedMessageQueue queue;
};

} // namespace Tessel
