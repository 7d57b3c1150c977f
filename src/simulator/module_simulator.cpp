#include "simulator/module_simulator.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <deque>
#include <system_error>

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

using Clock = std::chrono::steady_clock;

const std::string kOk = "OK*1";
const std::string kStarOne = "*1";
// Bytes without an asterisk or "OK": nothing the tool waits for.
const std::string kGarbage = std::string("\x15?no\xff", 5) + std::string(1, '\0') + "#";

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

[[noreturn]] void throwErrno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

// The pseudo-terminal and the stop signal; touched by the answering thread while it runs.
struct ModuleSimulator::Line {
    int master = -1;
    int slave = -1;  // held open so the master never reads EIO while the tool's port is closed
    int wake = -1;   // eventfd: stop or hang up requested
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> hangUpRequested{false};
    std::atomic<bool> alive{false};

    ~Line()
    {
        closeFd(master);
        closeFd(slave);
        closeFd(wake);
    }
    void signal() const
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wake, &one, sizeof one);
    }
};

ModuleSimulator::ModuleSimulator(SimulatorOptions options) : options_(std::move(options))
{
    if (options_.memory)
        memory_ = *options_.memory;
}

ModuleSimulator::~ModuleSimulator()
{
    stop();
}

void ModuleSimulator::start()
{
    std::lock_guard lifecycle(lifecycle_);
    if (thread_.joinable())
        return;
    auto line = std::make_unique<Line>();
    char name[256] = {};
    if (::openpty(&line->master, &line->slave, name, nullptr, nullptr) != 0)
        throwErrno("openpty");
    termios tio{};
    if (::tcgetattr(line->slave, &tio) != 0)
        throwErrno("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetspeed(&tio, B115200);
    if (::tcsetattr(line->slave, TCSANOW, &tio) != 0)
        throwErrno("tcsetattr");
    // Programs started later must not hold the line open.
    if (::fcntl(line->master, F_SETFD, FD_CLOEXEC) != 0 ||
        ::fcntl(line->slave, F_SETFD, FD_CLOEXEC) != 0)
        throwErrno("fcntl");
    const int flags = ::fcntl(line->master, F_GETFL);
    if (flags < 0 || ::fcntl(line->master, F_SETFL, flags | O_NONBLOCK) != 0)
        throwErrno("fcntl");
    line->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (line->wake < 0)
        throwErrno("eventfd");
    line->alive = true;
    {
        std::lock_guard lock(mutex_);
        path_ = name;
    }
    line_ = std::move(line);
    thread_ = std::thread([this] { run(); });
}

void ModuleSimulator::stop()
{
    std::lock_guard lifecycle(lifecycle_);
    if (!thread_.joinable())
        return;
    line_->stopRequested = true;
    line_->signal();
    thread_.join();
    line_.reset();
}

void ModuleSimulator::hangUp()
{
    std::lock_guard lifecycle(lifecycle_);
    if (!thread_.joinable())
        return;
    line_->hangUpRequested = true;
    line_->signal();
}

std::string ModuleSimulator::devicePath() const
{
    std::lock_guard lock(mutex_);
    return path_;
}

bool ModuleSimulator::running() const
{
    std::lock_guard lifecycle(lifecycle_);
    return line_ && line_->alive;
}

std::vector<SimulatorFrame> ModuleSimulator::frames() const
{
    std::lock_guard lock(mutex_);
    return frames_;
}

int ModuleSimulator::frameCount() const
{
    std::lock_guard lock(mutex_);
    return frameCount_;
}

bool ModuleSimulator::waitForFrames(int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return framesChanged_.wait_for(lock, timeout, [&] { return frameCount_ >= count; });
}

std::size_t ModuleSimulator::skippedBytes() const
{
    std::lock_guard lock(mutex_);
    return skipped_;
}

DeviceImage ModuleSimulator::memory() const
{
    std::lock_guard lock(mutex_);
    return memory_;
}

void ModuleSimulator::setMemory(const DeviceImage& memory)
{
    std::lock_guard lock(mutex_);
    memory_ = memory;
}

namespace {

// Protocol side of the module: turns the received byte stream into frames and answers.
class Responder {
public:
    struct Result {
        bool complete = false;  // a frame or skipped byte was consumed
        bool isFrame = false;
        SimulatorFrame frame;
        std::string answer;
        std::size_t consumed = 0;
    };

    // Looks at the front of `buf`; needs more bytes when the result is not complete.
    Result next(const std::vector<std::uint8_t>& buf, const SimulatorOptions& options,
                DeviceImage& memory)
    {
        Result r;
        if (buf.empty())
            return r;
        if (buf[0] != '*') {
            r.complete = true;
            r.consumed = 1;
            return r;
        }
        if (buf.size() < 2)
            return r;
        const char command = static_cast<char>(buf[1]);
        std::size_t length = 0;
        switch (command) {
        case '0':
            length = (chunkIndex_ == 0 ? ModuleSimulator::kFirstChunkBytes
                                       : ModuleSimulator::kChunkBytes) +
                     4;
            break;
        case '2':
        case '3':
        case '5':
        case '7':
            length = 4;
            break;
        default:
            r.complete = true;
            r.consumed = 1;
            return r;
        }
        if (buf.size() < length)
            return r;
        r.complete = true;
        if (buf[length - 2] != '*' || buf[length - 1] != '1') {
            r.consumed = 1;  // not a frame after all: skip the asterisk and look again
            return r;
        }
        r.consumed = length;
        r.isFrame = true;
        r.frame.command = command;
        r.frame.bytes.assign(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(length));
        switch (command) {
        case '2':
            chunkIndex_ = 0;
            writeOffset_ = 0;
            r.answer = kOk;
            break;
        case '0': {
            r.frame.imageOffset = writeOffset_;
            const std::size_t n = length - 4;
            for (std::size_t i = 0; i < n && writeOffset_ < memory.size(); ++i)
                memory[writeOffset_++] = buf[2 + i];
            ++chunkIndex_;
            r.answer = kOk;
            break;
        }
        case '5':
            r.answer = kOk;
            break;
        case '3':
            r.answer.push_back(static_cast<char>(options.leadByte));
            r.answer.append(reinterpret_cast<const char*>(memory.data()),
                            std::min(options.readBackLength, memory.size()));
            r.answer += kStarOne;
            break;
        case '7':
            r.answer = options.serialNumber + "*1OK*1";
            break;
        }
        return r;
    }

    // True right after the chunk that completes bytes 0..1194.
    bool lastChunkJustStored() const { return chunkIndex_ == 27; }

private:
    std::size_t chunkIndex_ = 0;
    std::size_t writeOffset_ = 0;
};

std::vector<std::string> splitAnswer(const std::string& answer, const SimulatorOptions& o)
{
    std::vector<std::string> pieces;
    if (o.pieceBytes > 0) {
        for (std::size_t at = 0; at < answer.size(); at += o.pieceBytes)
            pieces.push_back(answer.substr(at, o.pieceBytes));
        return pieces;
    }
    const std::size_t count = std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(o.answerPieces, 1)), 1, answer.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t len = (answer.size() - at) / (count - i);
        pieces.push_back(answer.substr(at, len));
        at += len;
    }
    return pieces;
}

}  // namespace

void ModuleSimulator::run()
{
    // Wake-ups are the pacing; a 50 us default slack would distort it.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    Line& line = *line_;
    const auto byteTime = options_.baudRate > 0
                              ? std::chrono::nanoseconds(10'000'000'000LL / options_.baudRate)
                              : std::chrono::nanoseconds(0);
    struct Segment {
        std::vector<std::uint8_t> bytes;
        Clock::time_point readyAt;
    };
    struct DueByte {
        std::uint8_t byte;
        Clock::time_point at;
    };
    std::deque<Segment> incoming;
    std::vector<std::uint8_t> parseBuffer;
    std::deque<DueByte> outgoing;
    Clock::time_point rxFreeAt{};
    Clock::time_point txFreeAt{};
    Responder responder;
    int framesSeen = 0;
    bool hangUpWhenSent = false;
    std::optional<Clock::time_point> lastAnswerOutAt;
    bool writeBlocked = false;

    auto schedule = [&](const std::string& answer, Clock::time_point readyAt) {
        auto start = std::max(readyAt + options_.answerDelay, txFreeAt);
        bool first = true;
        for (const std::string& piece : splitAnswer(answer, options_)) {
            if (!first)
                start = txFreeAt + options_.pieceGap;
            first = false;
            for (std::size_t j = 0; j < piece.size(); ++j) {
                const auto at = start + byteTime * static_cast<long>(j + 1);
                outgoing.push_back({static_cast<std::uint8_t>(piece[j]), at});
                txFreeAt = at;
            }
        }
    };

    auto handleFrames = [&](Clock::time_point readyAt) {
        for (;;) {
            if (hangUpWhenSent)
                return;  // the line is about to drop: nothing more is taken
            std::lock_guard lock(mutex_);
            Responder::Result r = responder.next(parseBuffer, options_, memory_);
            if (!r.complete)
                return;
            parseBuffer.erase(parseBuffer.begin(),
                              parseBuffer.begin() + static_cast<std::ptrdiff_t>(r.consumed));
            if (!r.isFrame) {
                skipped_ += r.consumed;
                continue;
            }
            if (frames_.size() == kFramesKept)
                frames_.erase(frames_.begin(), frames_.begin() + kFramesKept / 2);
            frames_.push_back(r.frame);
            ++frameCount_;
            framesChanged_.notify_all();
            ++framesSeen;
            std::string answer = r.answer;
            const bool chunk = r.frame.command == '0';
            if (options_.starOneOnly || (chunk && options_.chunksStarOneOnly) ||
                (chunk && options_.lastChunkStarOneOnly && responder.lastChunkJustStored()))
                answer = kStarOne;
            if (options_.garbage)
                answer = kGarbage;
            const bool silent =
                options_.silentAfterFrames >= 0 && framesSeen > options_.silentAfterFrames;
            const bool hangUpNow =
                options_.hangUpAfterFrames >= 0 && framesSeen >= options_.hangUpAfterFrames;
            if (hangUpNow && !options_.hangUpAfterAnswer) {
                line.hangUpRequested = true;
                return;
            }
            if (!silent)
                schedule(answer, readyAt);
            if (hangUpNow) {
                hangUpWhenSent = true;
                return;
            }
        }
    };

    std::vector<std::uint8_t> chunk(4096);
    for (;;) {
        if (line.stopRequested || line.hangUpRequested)
            break;
        auto now = Clock::now();
        while (!incoming.empty() && incoming.front().readyAt <= now) {
            Segment segment = std::move(incoming.front());
            incoming.pop_front();
            parseBuffer.insert(parseBuffer.end(), segment.bytes.begin(), segment.bytes.end());
            handleFrames(segment.readyAt);
        }
        if (line.hangUpRequested)
            break;
        // Write every byte whose time has come, in one go.
        std::string due;
        for (const DueByte& d : outgoing) {
            if (d.at > now)
                break;
            due.push_back(static_cast<char>(d.byte));
        }
        if (!due.empty()) {
            const ssize_t n = ::write(line.master, due.data(), due.size());
            if (n > 0)
                outgoing.erase(outgoing.begin(), outgoing.begin() + n);
            writeBlocked = n < static_cast<ssize_t>(due.size());
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                break;
        } else {
            writeBlocked = false;
        }
        // Hang up only once the tool has taken the last answer: a hang-up flushes what
        // the tool's side has not read yet. Written bytes reach that side's queue a
        // moment after the write, hence the short grace before looking at it.
        bool awaitingPickUp = false;
        if (hangUpWhenSent && outgoing.empty()) {
            if (!lastAnswerOutAt)
                lastAnswerOutAt = now;
            int waiting = 0;
            const auto since = now - *lastAnswerOutAt;
            const bool taken = since >= std::chrono::milliseconds(10) &&
                               ::ioctl(line.slave, FIONREAD, &waiting) == 0 && waiting == 0;
            if (taken || since >= std::chrono::seconds(1))
                break;
            awaitingPickUp = true;
        }

        std::optional<Clock::time_point> wakeAt;
        if (!incoming.empty())
            wakeAt = incoming.front().readyAt;
        if (!outgoing.empty() && !writeBlocked)
            wakeAt = wakeAt ? std::min(*wakeAt, outgoing.front().at) : outgoing.front().at;
        if (awaitingPickUp) {
            const auto soon = Clock::now() + std::chrono::milliseconds(1);
            wakeAt = wakeAt ? std::min(*wakeAt, soon) : soon;
        }
        pollfd fds[2] = {
            {line.master, static_cast<short>(POLLIN | (writeBlocked ? POLLOUT : 0)), 0},
            {line.wake, POLLIN, 0}};
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
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t value = 0;
            [[maybe_unused]] auto got = ::read(line.wake, &value, sizeof value);
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(line.master, chunk.data(), chunk.size());
            if (n > 0) {
                const auto readAt = Clock::now();
                const auto readyAt = std::max(readAt, rxFreeAt) + byteTime * n;
                rxFreeAt = readyAt;
                incoming.push_back(
                    {std::vector<std::uint8_t>(chunk.begin(), chunk.begin() + n), readyAt});
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            }
        }
    }
    // Leaving the loop drops the line: closing the master hangs up the tool's side.
    line.alive = false;
    closeFd(line.master);
    closeFd(line.slave);
}

}  // namespace tarnik
