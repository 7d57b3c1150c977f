#pragma once

// A stand-in for the GSM module on a pseudo-terminal. The simulator holds the master
// side; the tool opens devicePath() (the slave) as its serial port. It keeps a 2048-byte
// configuration memory and answers the module's commands:
//   "*2*1" -> "OK*1"        start of programming (the next chunk is the first, 25 bytes)
//   "*0" + n bytes + "*1"   image chunk (n = 25, then 45), stored in order -> "OK*1"
//   "*5*1" -> "OK*1"        end of the image
//   "*3*1" -> lead byte, memory bytes 0..1699, "*1"
//   "*7*1" -> serial number, "*1OK*1"
// Three parts: the paced line (paced_line.h), the protocol (module_protocol.h), and the
// per-command hooks between them (command_turn.h) that make it slow, silent, confused or
// gone (module_behaviours.h), or run a test's own script.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/settings_record.h"
#include "simulator/command_turn.h"
#include "simulator/line_pacing.h"
#include "simulator/module_protocol.h"

namespace tarnik {

struct SimulatorOptions {
    LinePacing pacing{};
    ModuleIdentity identity{};
    // Initial configuration memory; when not given, zeros with a right header checksum.
    std::optional<DeviceImage> memory{};
    // Run in this order for every frame taken (see command_turn.h).
    std::vector<CommandHook> behaviours{};
};

class ModuleSimulator {
public:
    explicit ModuleSimulator(SimulatorOptions options = {});
    ~ModuleSimulator();
    ModuleSimulator(const ModuleSimulator&) = delete;
    ModuleSimulator& operator=(const ModuleSimulator&) = delete;

    // Opens the pseudo-terminal and starts answering. Throws std::system_error.
    void start();
    // Stops answering and closes the line; safe to call more than once.
    void stop();
    // Drops the line now, as an unplugged module does.
    void hangUp();

    // Path of the slave side, e.g. /dev/pts/3; empty before start().
    std::string devicePath() const;
    bool running() const;

    // The frames that have arrived, the newest kFramesKept at most (a long demo
    // session must not grow without bound), and how many arrived in all.
    static constexpr std::size_t kFramesKept = 4096;
    std::vector<SimulatorFrame> frames() const;
    int frameCount() const;
    // Waits until at least `count` frames have arrived.
    bool waitForFrames(int count, std::chrono::milliseconds timeout) const;
    // Bytes that matched no frame and were skipped.
    std::size_t skippedBytes() const;

    DeviceImage memory() const;

private:
    // Protocol state of one run of the line.
    struct Session;
    void arrived(Session& session, const std::vector<std::uint8_t>& bytes,
                 PacedLine::Clock::time_point arrivedAt);

    SimulatorOptions options_;
    mutable std::mutex mutex_;
    mutable std::condition_variable framesChanged_;
    std::vector<SimulatorFrame> frames_;
    int frameCount_ = 0;
    std::size_t skipped_ = 0;
    DeviceImage memory_{};
    std::string path_;
    std::unique_ptr<PacedLine> line_;
    std::thread thread_;
    mutable std::mutex lifecycle_;
};

}  // namespace tarnik
