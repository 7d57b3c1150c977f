#pragma once

// The module's end of a pseudo-terminal, run like a serial line: bytes the tool sends are
// handed on once their line time has passed, answers go out byte by byte at the line
// speed, in pieces with gaps when asked. It knows nothing of the module's commands; the
// simulator hands it the bytes to send.
//
// run() is the line's thread. The arrival callback runs on it and may call answer(),
// hangUpWhenSent(), hangUpNow(), write() and stream(); requestStop(), requestHangUp() and
// alive() may be called from any thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "posix/unique_fd.h"
#include "simulator/line_pacing.h"
#include "simulator/line_timetable.h"

namespace tarnik {

class PacedLine {
public:
    using Clock = std::chrono::steady_clock;
    // Bytes that have fully arrived, and when their last bit did.
    using Arrival =
        std::function<void(const std::vector<std::uint8_t>& bytes, Clock::time_point arrivedAt)>;

    explicit PacedLine(LinePacing pacing);
    PacedLine(const PacedLine&) = delete;
    PacedLine& operator=(const PacedLine&) = delete;

    // Opens the pseudo-terminal, raw and at 115200 baud. Throws std::system_error.
    void open();
    // Path of the tool's side, e.g. /dev/pts/3.
    const std::string& devicePath() const { return path_; }

    // Runs the line until a stop or a hang-up; leaving closes the master, which the
    // tool's side sees as a hang-up.
    void run(const Arrival& onArrival);
    void requestStop();
    void requestHangUp();
    bool alive() const { return alive_; }

    // --- On the line's thread, from the arrival callback ---
    // Queues an answer to bytes that arrived at `arrivedAt`, paced and split as set.
    void answer(const std::string& bytes, Clock::time_point arrivedAt);
    // Drops the line once every queued byte has been taken by the tool's side.
    void hangUpWhenSent() { hangUpWhenSent_ = true; }
    // Drops the line now; queued bytes are not sent.
    void hangUpNow() { hangUpRequested_ = true; }
    // True once a hang-up is on its way: nothing more is taken from the tool.
    bool closing() const { return hangUpWhenSent_ || hangUpRequested_; }
    // Writes straight onto the line, unpaced, ahead of any answer still queued.
    void write(const std::string& bytes);
    // Writes bytes chosen by `next` at the line speed (115200 baud when unpaced), a
    // millisecond's worth at a time as a UART delivers them, for `duration`; ends early
    // on a stop.
    void stream(std::chrono::milliseconds duration, const std::function<char()>& next);

private:
    struct Segment {
        std::vector<std::uint8_t> bytes;
        Clock::time_point readyAt;
    };
    // What the hang-up after the last answer waits for.
    enum class PickUp { NotAwaited, Waiting, Done };

    void signal() const;
    // The steps of run(); those returning bool return false when the line failed and
    // the run ends.
    void deliverArrivals(const Arrival& onArrival);
    bool writeDueBytes(Clock::time_point now);
    PickUp answersPickedUp(Clock::time_point now);
    // Sleeps until the next arrival or answer byte is due, the tool writes, or a stop.
    bool waitForLine(bool awaitingPickUp);
    bool readArrivals();

    LineTimetable timetable_;
    UniqueFd master_;
    UniqueFd slave_;  // held open so the master never reads EIO while the tool's port is closed
    UniqueFd wake_;   // eventfd: stop or hang-up requested
    std::string path_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> hangUpRequested_{false};
    std::atomic<bool> alive_{false};

    // The run's own state, on the line's thread.
    std::deque<Segment> incoming_;  // arrived bytes, handed on once their line time passed
    std::deque<LineTimetable::DueByte> outgoing_;
    std::optional<Clock::time_point> lastAnswerOutAt_;
    bool writeBlocked_ = false;
    bool hangUpWhenSent_ = false;
};

}  // namespace tarnik
