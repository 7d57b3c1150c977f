#include "pty_client.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace tarnik::test {

using Clock = std::chrono::steady_clock;

PtyClient::PtyClient(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "open " + path);
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd_, TCSANOW, &tio);
}

PtyClient::~PtyClient()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void PtyClient::send(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            throw std::system_error(errno, std::generic_category(), "write");
        }
    }
}

std::string PtyClient::readOnce(std::chrono::milliseconds timeout)
{
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0 || !(p.revents & POLLIN))
        return {};
    char buf[4096];
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string PtyClient::readBytes(std::size_t count, std::chrono::milliseconds timeout)
{
    std::string got;
    const auto deadline = Clock::now() + timeout;
    while (got.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        got += readOnce(left);
    }
    return got;
}

std::string PtyClient::readUntilQuiet(std::chrono::milliseconds quiet)
{
    std::string got;
    for (;;) {
        const std::string piece = readOnce(quiet);
        if (piece.empty())
            return got;
        got += piece;
    }
}

bool PtyClient::hungUp(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, 20);
        if (p.revents & (POLLHUP | POLLERR))
            return true;
        if (p.revents & POLLIN) {
            char buf[256];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n == 0 || (n < 0 && errno == EIO))
                return true;
        }
    }
    return false;
}

}  // namespace tarnik::test
