#include "serial/handover.h"

namespace tarnik {

namespace {
std::mutex defaultMutex;
std::shared_ptr<HandOver> installedHandOver;
}  // namespace

void setDefaultHandOver(std::shared_ptr<HandOver> handOver)
{
    std::lock_guard lock(defaultMutex);
    installedHandOver = std::move(handOver);
}

std::shared_ptr<HandOver> defaultHandOver()
{
    std::lock_guard lock(defaultMutex);
    return installedHandOver;
}

void TaskQueueHandOver::post(std::function<void()> task)
{
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    cv_.notify_all();
}

int TaskQueueHandOver::RunPending()
{
    std::deque<std::function<void()>> now;
    {
        std::lock_guard lock(mutex_);
        now.swap(tasks_);
    }
    for (auto& task : now)
        task();
    return static_cast<int>(now.size());
}

int TaskQueueHandOver::RunFor(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, timeout, [this] { return !tasks_.empty(); });
    }
    return RunPending();
}

}  // namespace tarnik
