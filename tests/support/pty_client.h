#pragma once

// The tool's side of a simulator line for tests that speak to the simulator directly:
// opens the slave path raw and reads with deadlines.

#include <chrono>
#include <string>

namespace tarnik::test {

class PtyClient {
public:
    explicit PtyClient(const std::string& path);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    void send(const std::string& bytes);
    // Reads until `count` bytes have come or the time is up; returns what came.
    std::string readBytes(std::size_t count, std::chrono::milliseconds timeout);
    // Reads whatever comes until the line stays quiet for `quiet`.
    std::string readUntilQuiet(std::chrono::milliseconds quiet);
    // Reads one batch of what is waiting, waiting up to `timeout` for the first byte.
    std::string readOnce(std::chrono::milliseconds timeout);
    // True when the far end has hung up (a read reports EIO or end of file).
    bool hungUp(std::chrono::milliseconds timeout);

private:
    int fd_ = -1;
};

}  // namespace tarnik::test
