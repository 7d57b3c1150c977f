#pragma once

// How work crosses from a port's event thread to the user-interface thread.
//
// The user-interface side implements HandOver::post: run the callable soon, on the
// user-interface thread, asynchronously (never inline in post). Callables posted by a
// port never throw and are safe to run after the port has gone. A process-wide
// default is picked up by every port constructed afterwards.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace tarnik {

class HandOver {
public:
    virtual ~HandOver() = default;
    virtual void post(std::function<void()> task) = 0;
};

// The default used by ports created from now on (nullptr: none installed).
void setDefaultHandOver(std::shared_ptr<HandOver> handOver);
std::shared_ptr<HandOver> defaultHandOver();

// A plain queue the owning thread drains itself: for programs without an event loop
// of their own, and for tests that play the user-interface thread.
class TaskQueueHandOver : public HandOver {
public:
    void post(std::function<void()> task) override;
    // Runs everything queued now; returns how many ran.
    int RunPending();
    // Waits up to `timeout` for at least one task, then runs everything queued.
    int RunFor(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace tarnik
