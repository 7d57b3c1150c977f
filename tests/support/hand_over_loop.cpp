#include "hand_over_loop.h"

namespace tarnik::test {

bool UiLoop::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        handOver->RunFor(std::chrono::milliseconds(10));
    }
    return true;
}

void UiLoop::PumpFor(std::chrono::milliseconds duration)
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < deadline)
        handOver->RunFor(std::chrono::milliseconds(10));
}

}  // namespace tarnik::test
