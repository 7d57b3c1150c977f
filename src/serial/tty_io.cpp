#include "serial/tty_io.h"

#include <linux/serial.h>
#include <linux/tty_flags.h>
#include <poll.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace tarnik::detail {

bool readLineCounters(int fd, LineCounters& out)
{
    serial_icounter_struct c{};
    if (ioctl(fd, TIOCGICOUNT, &c) != 0)
        return false;
    auto u = [](int v) { return static_cast<std::uint32_t>(v); };
    out = LineCounters{u(c.cts),     u(c.dsr),    u(c.rng), u(c.dcd),        u(c.frame),
                       u(c.overrun), u(c.parity), u(c.brk), u(c.buf_overrun)};
    return true;
}

int queuedInput(int fd)
{
    int n = 0;
    return ioctl(fd, FIONREAD, &n) == 0 ? n : -1;
}

int queuedOutput(int fd)
{
    int n = 0;
    return ioctl(fd, TIOCOUTQ, &n) == 0 ? n : -1;
}

std::optional<int> enableLowLatency(int fd)
{
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) != 0 || (info.flags & ASYNC_LOW_LATENCY) != 0)
        return std::nullopt;
    const int previous = info.flags;
    info.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &info) != 0)
        return std::nullopt;
    return previous;
}

void restoreSerialFlags(int fd, int flags)
{
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) != 0)
        return;
    // Only the bit Open set goes back; flags changed meanwhile by others stay.
    info.flags = (info.flags & ~static_cast<int>(ASYNC_LOW_LATENCY)) |
                 (flags & static_cast<int>(ASYNC_LOW_LATENCY));
    ioctl(fd, TIOCSSERIAL, &info);
}

bool deviceGoneError(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV;
}

bool hungUp(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool noModemLines(int error)
{
    return error == ENOTTY || error == EINVAL;
}

}  // namespace tarnik::detail
