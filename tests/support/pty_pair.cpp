#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace tarnik::test {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Writes every byte to a non-blocking descriptor, waiting while its queue is full.
void writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            throw std::system_error(errno, std::generic_category(), "write");
        }
    }
}

// One read of what is waiting, after up to `timeout` for the first byte; at most `most`.
std::string readOnceFrom(int fd, std::chrono::milliseconds timeout, std::size_t most = 4096)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0 || !(p.revents & POLLIN))
        return {};
    char buf[4096];
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, most));
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string readBytesFrom(int fd, std::size_t count, std::chrono::milliseconds timeout)
{
    std::string got;
    const auto deadline = Clock::now() + timeout;
    while (got.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        got += readOnceFrom(fd, std::min(left, std::chrono::milliseconds(20)), count - got.size());
    }
    return got;
}

}  // namespace

PtyPair::PtyPair()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        std::abort();
    }
    master_.reset(master);
    slavePath_ = name;
    ::close(slave);  // the port under test opens it by name
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
}

void PtyPair::WriteMaster(const std::string& bytes)
{
    writeAll(master_.get(), bytes);
}

std::string PtyPair::ReadMaster(size_t count, std::chrono::milliseconds timeout)
{
    return readBytesFrom(master_.get(), count, timeout);
}

PtyClient::PtyClient(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    if (!fd_)
        throw std::system_error(errno, std::generic_category(), "open " + path);
    termios tio{};
    ::tcgetattr(fd_.get(), &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd_.get(), TCSANOW, &tio);
}

void PtyClient::send(const std::string& bytes)
{
    writeAll(fd_.get(), bytes);
}

std::string PtyClient::readOnce(std::chrono::milliseconds timeout)
{
    return readOnceFrom(fd_.get(), timeout);
}

std::string PtyClient::readBytes(std::size_t count, std::chrono::milliseconds timeout)
{
    return readBytesFrom(fd_.get(), count, timeout);
}

std::vector<PtyClient::ReceivedByte> PtyClient::readBytesTimed(std::size_t count,
                                                               std::chrono::milliseconds timeout)
{
    std::vector<ReceivedByte> got;
    const auto deadline = Clock::now() + timeout;
    while (got.size() < count && Clock::now() < deadline) {
        const std::string piece = readOnceFrom(fd_.get(), 20ms, count - got.size());
        const auto at = Clock::now();
        for (char byte : piece)
            got.push_back({byte, at});
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
        pollfd p{fd_.get(), POLLIN, 0};
        ::poll(&p, 1, 20);
        if (p.revents & (POLLHUP | POLLERR))
            return true;
        if (p.revents & POLLIN) {
            char buf[256];
            const ssize_t n = ::read(fd_.get(), buf, sizeof buf);
            if (n == 0 || (n < 0 && errno == EIO))
                return true;
        }
    }
    return false;
}

std::string allByteValues()
{
    std::string s(256, '\0');
    for (int i = 0; i < 256; ++i)
        s[static_cast<size_t>(i)] = static_cast<char>(i);
    return s;
}

}  // namespace tarnik::test
