#pragma once

// Running the Qt event loop of the test's thread while a test waits for something.

#include <chrono>
#include <functional>

namespace tarnik::test {

// Runs the Qt event loop until `done` holds (checked every millisecond) or `limit`
// passes; returns done(). The limit only guards against a hang.
bool pumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(10));
// Runs the Qt event loop for the whole duration.
void pumpFor(std::chrono::milliseconds duration);

}  // namespace tarnik::test
