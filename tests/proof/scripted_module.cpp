#include "scripted_module.h"

#include <cerrno>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace tarnik::proof {

namespace {

constexpr std::size_t kFirstChunkFrame = 29;
constexpr std::size_t kChunkFrame = 49;
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 115200);

}  // namespace

ScriptedModule::ScriptedModule(Script script) : script_(std::move(script))
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    path_ = name;
    thread_ = std::thread([this] { run(); });
}

ScriptedModule::~ScriptedModule()
{
    stop_ = true;
    thread_.join();
    hangUp();
    if (slave_ >= 0)
        ::close(slave_);
}

void ScriptedModule::write(const std::string& bytes)
{
    std::lock_guard lock(masterMutex_);
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size() && !stop_) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            return;
    }
}

void ScriptedModule::stream(std::chrono::milliseconds duration, const std::function<char()>& next)
{
    const auto start = std::chrono::steady_clock::now();
    auto due = start;
    std::string burst;
    while (!stop_ && std::chrono::steady_clock::now() - start < duration) {
        // A millisecond's worth of bytes at a time, as a UART delivers them.
        burst.clear();
        while (due <= std::chrono::steady_clock::now()) {
            burst.push_back(next());
            due += kByteTime;
        }
        write(burst);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ScriptedModule::hangUp()
{
    std::lock_guard lock(masterMutex_);
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void ScriptedModule::run()
{
    std::vector<char> received;
    bool firstChunkNext = true;
    char piece[4096];
    while (!stop_) {
        int fd;
        {
            std::lock_guard lock(masterMutex_);
            fd = master_;
        }
        if (fd < 0)
            return;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0)
            continue;
        const ssize_t n = ::read(fd, piece, sizeof piece);
        if (n <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        received.insert(received.end(), piece, piece + n);
        // Cut complete commands off the front; anything else is skipped a byte at a time.
        for (;;) {
            if (received.size() < 2)
                break;
            if (received[0] != '*') {
                received.erase(received.begin());
                continue;
            }
            const char command = received[1];
            const std::size_t length =
                command == '0' ? (firstChunkNext ? kFirstChunkFrame : kChunkFrame) : std::size_t{4};
            if (received.size() < length)
                break;
            received.erase(received.begin(),
                           received.begin() + static_cast<std::ptrdiff_t>(length));
            if (command == '2')
                firstChunkNext = true;
            else if (command == '0')
                firstChunkNext = false;
            const int index = commands_++;
            script_(*this, command, index);
        }
    }
}

}  // namespace tarnik::proof
