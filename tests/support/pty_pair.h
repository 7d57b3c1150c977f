#pragma once

// Pseudo-terminals for the serial and link tests. PtyPair makes a new one whose master
// end the test plays as the far device, while the code under test opens SlavePath().
// PtyClient opens an existing slave path (the simulator's) as the tool would.
// Both read with deadlines; a deadline only guards against a hang.

#include <chrono>
#include <string>
#include <vector>

#include "posix/unique_fd.h"

namespace tarnik::test {

class PtyPair {
public:
    PtyPair();  // aborts the test binary when no pty can be made
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_.get(); }

    void WriteMaster(const std::string& bytes);
    // Reads until `count` bytes came or `timeout` passed.
    std::string ReadMaster(size_t count,
                           std::chrono::milliseconds timeout = std::chrono::seconds(2));
    void CloseMaster() { master_.reset(); }

private:
    UniqueFd master_;
    std::string slavePath_;
};

class PtyClient {
public:
    explicit PtyClient(const std::string& path);  // raw; throws std::system_error
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    void send(const std::string& bytes);
    // Reads until `count` bytes have come or the time is up; returns what came.
    std::string readBytes(std::size_t count, std::chrono::milliseconds timeout);
    // The same, each byte with the moment the read that brought it returned: never
    // before the far end wrote it.
    struct ReceivedByte {
        char byte;
        std::chrono::steady_clock::time_point at;
    };
    std::vector<ReceivedByte> readBytesTimed(std::size_t count, std::chrono::milliseconds timeout);
    // Reads whatever comes until the line stays quiet for `quiet`.
    std::string readUntilQuiet(std::chrono::milliseconds quiet);
    // Reads one batch of what is waiting, waiting up to `timeout` for the first byte.
    std::string readOnce(std::chrono::milliseconds timeout);
    // True when the far end has hung up (a read reports EIO or end of file).
    bool hungUp(std::chrono::milliseconds timeout);

private:
    UniqueFd fd_;
};

// Every byte value 0..255 once, in order.
std::string allByteValues();

}  // namespace tarnik::test
