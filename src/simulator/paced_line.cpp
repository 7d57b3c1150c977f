#include "simulator/paced_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace tarnik {

namespace {

[[noreturn]] void throwErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

// The module's own line speed, for streams on an unpaced line.
constexpr int kModuleBaud = 115200;

}  // namespace

PacedLine::PacedLine(LinePacing pacing) : timetable_(pacing)
{
}

void PacedLine::open()
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        throwErrno("openpty");
    master_.reset(master);
    slave_.reset(slave);
    // openpty would write the name into a buffer of unknown size; ptsname_r is told it.
    char name[256] = {};
    if (::ptsname_r(master_.get(), name, sizeof name) != 0)
        throwErrno("ptsname_r");
    termios tio{};
    if (::tcgetattr(slave_.get(), &tio) != 0)
        throwErrno("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetspeed(&tio, B115200);
    if (::tcsetattr(slave_.get(), TCSANOW, &tio) != 0)
        throwErrno("tcsetattr");
    // Programs started later must not hold the line open.
    if (::fcntl(master_.get(), F_SETFD, FD_CLOEXEC) != 0 ||
        ::fcntl(slave_.get(), F_SETFD, FD_CLOEXEC) != 0)
        throwErrno("fcntl");
    const int flags = ::fcntl(master_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(master_.get(), F_SETFL, flags | O_NONBLOCK) != 0)
        throwErrno("fcntl");
    wake_.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake_)
        throwErrno("eventfd");
    path_ = name;
    alive_ = true;
}

void PacedLine::signal() const
{
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(wake_.get(), &one, sizeof one);
}

void PacedLine::requestStop()
{
    stopRequested_ = true;
    signal();
}

void PacedLine::requestHangUp()
{
    hangUpRequested_ = true;
    signal();
}

void PacedLine::answer(const std::string& bytes, Clock::time_point arrivedAt)
{
    for (const LineTimetable::DueByte& due : timetable_.answer(bytes, arrivedAt))
        outgoing_.push_back(due);
}

void PacedLine::write(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size() && !stopRequested_) {
        const ssize_t n = ::write(master_.get(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{master_.get(), POLLOUT, 0};
            ::poll(&p, 1, 10);
        } else if (n < 0 && errno != EINTR) {
            return;
        }
    }
}

void PacedLine::stream(std::chrono::milliseconds duration, const std::function<char()>& next)
{
    const auto byteTime =
        timetable_.byteTime().count() > 0 ? timetable_.byteTime() : byteTimeAt(kModuleBaud);
    const auto start = Clock::now();
    auto due = start;
    std::string burst;
    while (!stopRequested_ && Clock::now() - start < duration) {
        burst.clear();
        while (due <= Clock::now()) {
            burst.push_back(next());
            due += byteTime;
        }
        write(burst);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PacedLine::run(const Arrival& onArrival)
{
    // Wake-ups are the pacing; a 50 us default slack would distort it.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    incoming_.clear();
    lastAnswerOutAt_.reset();
    writeBlocked_ = false;
    for (;;) {
        if (stopRequested_ || hangUpRequested_)
            break;
        deliverArrivals(onArrival);
        if (hangUpRequested_ || stopRequested_)
            break;
        const auto now = Clock::now();
        if (!writeDueBytes(now))
            break;
        const PickUp pickUp = answersPickedUp(now);
        if (pickUp == PickUp::Done)
            break;
        if (!waitForLine(pickUp == PickUp::Waiting))
            break;
    }
    // Leaving the loop drops the line: closing the master hangs up the tool's side.
    alive_ = false;
    master_.reset();
    slave_.reset();
}

void PacedLine::deliverArrivals(const Arrival& onArrival)
{
    const auto now = Clock::now();
    while (!incoming_.empty() && incoming_.front().readyAt <= now && !closing()) {
        Segment segment = std::move(incoming_.front());
        incoming_.pop_front();
        onArrival(segment.bytes, segment.readyAt);
    }
}

bool PacedLine::writeDueBytes(Clock::time_point now)
{
    // Every byte whose time has come, in one go.
    std::string due;
    for (const LineTimetable::DueByte& d : outgoing_) {
        if (d.at > now)
            break;
        due.push_back(static_cast<char>(d.byte));
    }
    if (due.empty()) {
        writeBlocked_ = false;
        return true;
    }
    const ssize_t n = ::write(master_.get(), due.data(), due.size());
    if (n > 0)
        outgoing_.erase(outgoing_.begin(), outgoing_.begin() + n);
    writeBlocked_ = n < static_cast<ssize_t>(due.size());
    return n >= 0 || errno == EAGAIN || errno == EINTR;
}

// Hang up only once the tool has taken the last answer: a hang-up flushes what the tool's
// side has not read yet. Written bytes reach that side's queue a moment after the write,
// hence the short grace before looking at it.
PacedLine::PickUp PacedLine::answersPickedUp(Clock::time_point now)
{
    if (!hangUpWhenSent_ || !outgoing_.empty())
        return PickUp::NotAwaited;
    if (!lastAnswerOutAt_)
        lastAnswerOutAt_ = now;
    int waiting = 0;
    const auto since = now - *lastAnswerOutAt_;
    const bool taken = since >= std::chrono::milliseconds(10) &&
                       ::ioctl(slave_.get(), FIONREAD, &waiting) == 0 && waiting == 0;
    if (taken || since >= std::chrono::seconds(1))
        return PickUp::Done;
    return PickUp::Waiting;
}

bool PacedLine::waitForLine(bool awaitingPickUp)
{
    std::optional<Clock::time_point> wakeAt;
    if (!incoming_.empty() && !closing())
        wakeAt = incoming_.front().readyAt;
    if (!outgoing_.empty() && !writeBlocked_)
        wakeAt = wakeAt ? std::min(*wakeAt, outgoing_.front().at) : outgoing_.front().at;
    if (awaitingPickUp) {
        const auto soon = Clock::now() + std::chrono::milliseconds(1);
        wakeAt = wakeAt ? std::min(*wakeAt, soon) : soon;
    }
    pollfd fds[2] = {{master_.get(), static_cast<short>(POLLIN | (writeBlocked_ ? POLLOUT : 0)), 0},
                     {wake_.get(), POLLIN, 0}};
    timespec timeout{};
    timespec* timeoutPtr = nullptr;
    if (wakeAt) {
        const auto wait = std::max(*wakeAt - Clock::now(), Clock::duration::zero());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        timeoutPtr = &timeout;
    }
    const int ready = ::ppoll(fds, 2, timeoutPtr, nullptr);
    if (ready < 0)
        return errno == EINTR;
    if (fds[1].revents & POLLIN) {
        std::uint64_t value = 0;
        [[maybe_unused]] auto got = ::read(wake_.get(), &value, sizeof value);
    }
    if (fds[0].revents & POLLIN)
        return readArrivals();
    return true;
}

bool PacedLine::readArrivals()
{
    std::vector<std::uint8_t> chunk(4096);
    const ssize_t n = ::read(master_.get(), chunk.data(), chunk.size());
    if (n > 0) {
        chunk.resize(static_cast<std::size_t>(n));
        const auto readyAt = timetable_.arrival(Clock::now(), chunk.size());
        incoming_.push_back({std::move(chunk), readyAt});
        return true;
    }
    return n == 0 || errno == EAGAIN || errno == EINTR;
}

}  // namespace tarnik
