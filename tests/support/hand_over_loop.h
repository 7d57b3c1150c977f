#pragma once

// The user-interface side of the serial layer without Qt: runs the work the port's event
// thread hands over on the calling (test) thread.

#include <chrono>
#include <functional>
#include <memory>

#include "serial/handover.h"

namespace tarnik::test {

class UiLoop {
public:
    std::shared_ptr<TaskQueueHandOver> handOver = std::make_shared<TaskQueueHandOver>();
    // Runs posted work until `done` holds or `timeout` passes; returns done().
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // Runs posted work for the whole duration.
    void PumpFor(std::chrono::milliseconds duration);
};

}  // namespace tarnik::test
