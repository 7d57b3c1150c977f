#pragma once

// Test helpers: a pseudo-terminal whose master end the test plays as the far device,
// and a user-interface loop that runs what the port hands over.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "serial/handover.h"

namespace tarnik::testing {

class PtyPair {
public:
    PtyPair();  // aborts the test binary when no pty can be made
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    void WriteMaster(const std::string& bytes);
    // Reads until `count` bytes came or `timeout` passed.
    std::string ReadMaster(size_t count,
                           std::chrono::milliseconds timeout = std::chrono::seconds(2));
    void CloseMaster();

private:
    int master_ = -1;
    std::string slavePath_;
};

// Runs posted work on the calling (test) thread.
class UiLoop {
public:
    std::shared_ptr<TaskQueueHandOver> handOver = std::make_shared<TaskQueueHandOver>();
    // Runs posted work until `done` holds or `timeout` passes; returns done().
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // Runs posted work for the whole duration.
    void PumpFor(std::chrono::milliseconds duration);
};

// Every byte value 0..255 once, in order.
std::string AllByteValues();

// CPU time used so far by the whole process, in milliseconds.
double ProcessCpuMs();
// Thread ids of this process.
std::vector<int> ThreadIds();
// CPU time of one thread of this process (utime + stime), in milliseconds.
double ThreadCpuMs(int tid);

}  // namespace tarnik::testing
