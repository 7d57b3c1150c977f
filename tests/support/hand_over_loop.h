#pragma once

// Waiting on the test's thread without Qt: for a condition another thread brings about,
// or running the work the port's event thread hands over (the user-interface side of
// the serial layer). Limits only guard against a hang.

#include <chrono>
#include <functional>
#include <memory>

#include "serial/handover.h"

namespace tarnik::test {

// Checks `done` every millisecond until it holds or `limit` passes; returns done().
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(3));

class UiLoop {
public:
    std::shared_ptr<TaskQueueHandOver> handOver = std::make_shared<TaskQueueHandOver>();
    // Runs posted work until `done` holds or `timeout` passes; returns done().
    bool pumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // Runs posted work for the whole duration.
    void pumpFor(std::chrono::milliseconds duration);
};

}  // namespace tarnik::test
