#include "BoundedCall.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace smt160 {

namespace {

struct Done
{
    std::mutex mutex;
    std::condition_variable signal;
    bool done = false;
};

// Keys with work still running. Never destroyed: a thread stuck in the kernel
// may finish after the program's statics are gone.
struct Running
{
    std::mutex mutex;
    std::set<std::string> keys;
};

Running &running()
{
    static Running *const instance = new Running;
    return *instance;
}

} // namespace

bool runBounded(const std::string &key, std::function<void()> work, std::int64_t deadlineNs)
{
    {
        const std::lock_guard lock(running().mutex);
        if (!running().keys.insert(key).second)
            return false;
    }
    auto state = std::make_shared<Done>();
    try {
        std::thread([state, key, work = std::move(work)] {
            try {
                work();
            } catch (...) {
                // Nothing reaches the caller; it sees the port as unread.
            }
            {
                // Before done, so that the caller's next call may start anew.
                const std::lock_guard lock(running().mutex);
                running().keys.erase(key);
            }
            const std::lock_guard lock(state->mutex);
            state->done = true;
            state->signal.notify_all();
        }).detach();
    } catch (...) {
        const std::lock_guard lock(running().mutex);
        running().keys.erase(key);
        throw;
    }

    const std::chrono::steady_clock::time_point deadline{std::chrono::nanoseconds(deadlineNs)};
    std::unique_lock lock(state->mutex);
    return state->signal.wait_until(lock, deadline, [&] { return state->done; });
}

} // namespace smt160
