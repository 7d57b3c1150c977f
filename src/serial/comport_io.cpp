// Transfers and driver queries of an open port.

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "serial/comport.h"
#include "serial/event_session.h"
#include "serial/tty_io.h"

namespace tarnik {

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline`, at least 0.
int millisLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

// Waits until fd is ready for `events`; false on timeout (timeoutMs < 0: no limit).
bool waitReady(int fd, short events, int timeoutMs, int& error)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = poll(&p, 1, timeoutMs);
        if (r > 0) {
            if ((p.revents & (POLLERR | POLLNVAL)) ||
                ((p.revents & POLLHUP) && !(p.revents & events))) {
                error = EIO;
                return false;
            }
            return true;
        }
        if (r == 0) {
            error = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR) {
            error = errno;
            return false;
        }
    }
}

}  // namespace

void TCustomComPort::ForEachLink(const std::function<void(TComLink&)>& call)
{
    for (TComLink* link : std::vector<TComLink*>(links_))
        if (HasLink(link))
            call(*link);
}

int TCustomComPort::Write(const void* buffer, int count)
{
    try {
        const int written = WriteAll(buffer, count);
        TraceBytes(trace_tag::kSent, static_cast<const char*>(buffer), written);
        return written;
    } catch (const EComPort& e) {
        TraceText(trace_tag::kError, e.what());
        throw;
    }
}

int TCustomComPort::WriteAll(const void* buffer, int count)
{
    if (!Connected())
        throw EComPort(errWrite, EBADF);
    if (count <= 0)
        return 0;
    const std::vector<char> copy(static_cast<const char*>(buffer),
                                 static_cast<const char*>(buffer) + count);

    // The write is bounded like the driver's total write timeout; both fields 0 means
    // no bound.
    const long long limit = static_cast<long long>(timeouts_.WriteTotalMultiplier) * count +
                            timeouts_.WriteTotalConstant;
    const bool bounded = timeouts_.WriteTotalMultiplier != 0 || timeouts_.WriteTotalConstant != 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0LL, limit));

    int written = 0;
    bool announced = false;
    while (written < count) {
        const ssize_t n =
            ::write(fd_.get(), copy.data() + written, static_cast<size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno != EAGAIN) {
            throw EComPort(errWrite, errno);
        }
        if (!announced) {
            announced = true;
            ForEachLink([this](TComLink& l) {
                if (l.TxBusyHandler)
                    l.TxBusyHandler(*this, true);
            });
        }
        if (written < count) {
            int error = 0;
            if (!waitReady(fd_.get(), POLLOUT, bounded ? millisLeft(deadline) : -1, error))
                throw EComPort(errWrite, error);
        }
    }
    if (session_)
        session_->NotifyWrite();
    ForEachLink([&](TComLink& l) {
        if (l.TxBufferHandler)
            l.TxBufferHandler(*this, copy.data(), count);
    });
    return written;
}

int TCustomComPort::WriteText(std::string_view text)
{
    if (text.empty())
        return 0;
    return Write(text.data(), static_cast<int>(text.size()));
}

int TCustomComPort::Read(void* buffer, int count)
{
    try {
        const int got = ReadUpTo(buffer, count);
        TraceBytes(trace_tag::kReceived, static_cast<const char*>(buffer), got);
        return got;
    } catch (const EComPort& e) {
        TraceText(trace_tag::kError, e.what());
        throw;
    }
}

int TCustomComPort::ReadUpTo(void* buffer, int count)
{
    if (!Connected())
        throw EComPort(errRead, EBADF);
    if (count <= 0)
        return 0;
    char* out = static_cast<char*>(buffer);

    // Read timeouts as the driver would apply them: ReadInterval -1 with both totals 0
    // returns at once; all three 0 waits for the full count; otherwise the total bounds
    // the read and, once bytes have come, the interval bounds the gap to the next.
    const auto& t = timeouts_;
    const bool immediate =
        t.ReadInterval == -1 && t.ReadTotalMultiplier == 0 && t.ReadTotalConstant == 0;
    const bool unbounded =
        t.ReadInterval == 0 && t.ReadTotalMultiplier == 0 && t.ReadTotalConstant == 0;
    const bool hasTotal = t.ReadTotalMultiplier != 0 || t.ReadTotalConstant != 0;
    const long long total =
        static_cast<long long>(t.ReadTotalMultiplier) * count + t.ReadTotalConstant;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0LL, total));

    int got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd_.get(), out + got, static_cast<size_t>(count - got));
        if (n > 0) {
            int kept = static_cast<int>(n);
            if (discardNull_) {
                kept = static_cast<int>(std::remove(out + got, out + got + n, '\0') - (out + got));
            }
            got += kept;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // Bytes already read are returned even when the device has just gone; the
        // next call reports the loss.
        if (n < 0 && errno != EAGAIN) {
            if (got > 0 && detail::deviceGoneError(errno))
                break;
            throw EComPort(errRead, errno);
        }
        // Nothing to read now (with VMIN 0 the terminal answers 0 rather than EAGAIN);
        // a hung-up device answers the same way, so ask poll which it is.
        if (detail::hungUp(fd_.get())) {
            if (got > 0)
                break;
            throw EComPort(errRead, EIO);
        }
        if (immediate)
            break;
        int wait = -1;
        if (!unbounded) {
            if (hasTotal)
                wait = millisLeft(deadline);
            if (got > 0 && t.ReadInterval > 0)
                wait = wait < 0 ? t.ReadInterval : std::min(wait, t.ReadInterval);
            if (wait < 0)
                break;  // interval only and nothing received yet: return what is there
        }
        int error = 0;
        if (!waitReady(fd_.get(), POLLIN, wait, error)) {
            // A hang-up while waiting for more keeps what came: the caller gets the
            // bytes, the next call reports the loss.
            if (error == ETIMEDOUT || (got > 0 && detail::deviceGoneError(error)))
                break;
            throw EComPort(errRead, error);
        }
    }
    if (std::memchr(out, eventChar_, static_cast<size_t>(got)) != nullptr)
        eventCharSeen_ = true;
    // A queue that cannot be asked about any more (the line hung up) is empty too: the
    // bytes read are still returned.
    if (detail::queuedInput(fd_.get()) <= 0) {
        ForEachLink([this](TComLink& l) {
            if (l.RxBusyHandler)
                l.RxBusyHandler(*this, false);
        });
    }
    return got;
}

int TCustomComPort::InputQueueCount()
{
    if (!Connected())
        throw EComPort(errQueueStatus, EBADF);
    const int n = detail::queuedInput(fd_.get());
    if (n < 0)
        throw EComPort(errQueueStatus, errno);
    return n;
}

int TCustomComPort::OutputQueueCount()
{
    if (!Connected())
        throw EComPort(errQueueStatus, EBADF);
    const int n = detail::queuedOutput(fd_.get());
    if (n < 0)
        throw EComPort(errQueueStatus, errno);
    return n;
}

void TCustomComPort::PurgeBuffers(bool input, bool output)
{
    if (!input && !output)
        return;
    if (!Connected())
        throw EComPort(errPurge, EBADF);
    const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    if (tcflush(fd_.get(), which) != 0)
        throw EComPort(errPurge, errno);
}

TComSignals TCustomComPort::ReadModemSignals()
{
    if (!Connected())
        throw EComPort(errModemStatus, EBADF);
    int bits = 0;
    if (ioctl(fd_.get(), TIOCMGET, &bits) != 0) {
        if (detail::noModemLines(errno))
            return {};  // no modem lines: all off
        throw EComPort(errModemStatus, errno);
    }
    return TComSignals{(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RNG) != 0,
                       (bits & TIOCM_CD) != 0};
}

TComErrors TCustomComPort::TakeLineErrors()
{
    if (!Connected())
        throw EComPort(errQueueStatus, EBADF);
    detail::LineCounters c;
    if (!detail::readLineCounters(fd_.get(), c)) {
        if (detail::noModemLines(errno))
            return {};  // the driver keeps no error counters
        throw EComPort(errQueueStatus, errno);
    }
    const std::uint32_t now[5] = {c.frame, c.parity, c.overrun, c.brk, c.bufOverrun};
    const TComError kinds[5] = {ceFrame, ceRxParity, ceOverrun, ceBreak, ceRxOver};
    TComErrors errors;
    for (int i = 0; i < 5; ++i) {
        if (now[i] != errorBaseline_[i] && (kinds[i] != ceRxParity || parity_.Check))
            errors.Include(kinds[i]);
        errorBaseline_[i] = now[i];
    }
    return errors;
}

}  // namespace tarnik
