#pragma once

// A stand-in for the GSM module on a pseudo-terminal. The simulator holds the master
// side; the tool opens devicePath() (the slave) as its serial port. It keeps a 2048-byte
// configuration memory and answers the module's commands:
//   "*2*1" -> "OK*1"        start of programming (the next chunk is the first, 25 bytes)
//   "*0" + n bytes + "*1"   image chunk (n = 25, then 45), stored in order -> "OK*1"
//   "*5*1" -> "OK*1"        end of the image
//   "*3*1" -> lead byte, memory bytes 0..1699, "*1"
//   "*7*1" -> serial number, "*1OK*1"
// Chunks are framed by their known length, so data holding 2A 31 is stored unchanged.
// Switches in SimulatorOptions make it slow, paced, split, silent, confused or gone.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/settings_record.h"

namespace tarnik {

struct SimulatorOptions {
    // Pause between a frame's arrival and the start of its answer.
    std::chrono::microseconds answerDelay{0};
    // Line speed to pace both directions at (10 bits a byte); 0 leaves the line unpaced.
    int baudRate = 0;
    // Each answer is written in this many nearly equal pieces...
    int answerPieces = 1;
    // ...or, when not 0, in pieces of at most this many bytes.
    std::size_t pieceBytes = 0;
    // Pause between two pieces of an answer.
    std::chrono::microseconds pieceGap{std::chrono::milliseconds(20)};
    // Frames after the N-th get no answer (-1: always answer).
    int silentAfterFrames = -1;
    // Every answer is "*1" alone.
    bool starOneOnly = false;
    // The chunk that completes the 1195 image bytes is answered "*1" alone, so the tool
    // finishes with "*5*1".
    bool lastChunkStarOneOnly = false;
    // Every image chunk is answered "*1" alone (the tool must not advance).
    bool chunksStarOneOnly = false;
    // Image bytes in the read-back answer; fewer than 1700 makes a short answer.
    std::size_t readBackLength = 1700;
    // Answers are replaced by bytes that match nothing the tool looks for.
    bool garbage = false;
    // Drop the line (close the master) once the N-th frame has arrived (-1: never);
    // with hangUpAfterAnswer the N-th frame's answer is written first.
    int hangUpAfterFrames = -1;
    bool hangUpAfterAnswer = false;
    std::string serialNumber = "A123";
    std::uint8_t leadByte = 0x00;
    // Initial configuration memory; zeros when not given.
    std::optional<DeviceImage> memory;
};

struct SimulatorFrame {
    char command = '?';               // '0', '2', '3', '5', '7'
    std::vector<std::uint8_t> bytes;  // the whole frame as received
    std::size_t imageOffset = 0;      // chunks: where the data was stored
};

class ModuleSimulator {
public:
    static constexpr std::size_t kFirstChunkBytes = 25;
    static constexpr std::size_t kChunkBytes = 45;
    static constexpr std::size_t kReadBackBytes = 1700;

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
    void setMemory(const DeviceImage& memory);

private:
    struct Line;
    void run();

    SimulatorOptions options_;
    mutable std::mutex mutex_;
    mutable std::condition_variable framesChanged_;
    std::vector<SimulatorFrame> frames_;
    int frameCount_ = 0;
    std::size_t skipped_ = 0;
    DeviceImage memory_{};
    std::string path_;
    std::unique_ptr<Line> line_;
    std::thread thread_;
    mutable std::mutex lifecycle_;
};

}  // namespace tarnik
