#pragma once

// Asking a running program again until its answer is the expected one.

#include <chrono>
#include <functional>
#include <thread>

namespace TestSupport
{

// Calls `attempt` until `done` holds for its result or `limit` passed, 100 ms apart; the last
// result is returned.
template <class Result>
Result retryUntil(const std::function<Result()>& attempt, const std::function<bool(const Result&)>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    Result last;
    do
    {
        last = attempt();
        if (done(last))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return last;
}

} // namespace TestSupport
