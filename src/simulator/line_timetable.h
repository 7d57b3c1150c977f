#pragma once

// The simulated line's timetable: when bytes the tool sent have fully arrived, and when
// each byte of an answer is due, at the paced line speed (10 bits a byte) and with the
// answer delay and piece gaps. Times are given to it, never read, so it runs the same on
// a busy machine and can be tested with made-up times.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/line_pacing.h"

namespace tarnik {

class LineTimetable {
public:
    using Clock = std::chrono::steady_clock;
    struct DueByte {
        std::uint8_t byte;
        Clock::time_point at;
    };

    explicit LineTimetable(const LinePacing& pacing);

    // Time one byte takes on the line; zero when the line is unpaced.
    std::chrono::nanoseconds byteTime() const { return byteTime_; }
    // `count` bytes read at `readAt` have fully arrived at the returned time: their line
    // time, after any bytes still arriving before them.
    Clock::time_point arrival(Clock::time_point readAt, std::size_t count);
    // The bytes of an answer to a frame that arrived at `arrivedAt`, each with the time it
    // is due, after any answer still going out.
    std::vector<DueByte> answer(const std::string& bytes, Clock::time_point arrivedAt);

private:
    std::vector<std::string> pieces(const std::string& answer) const;

    LinePacing pacing_;
    std::chrono::nanoseconds byteTime_;
    Clock::time_point rxFreeAt_{};
    Clock::time_point txFreeAt_{};
};

// Time one byte takes at `baudRate` (10 bits a byte); zero for 0.
std::chrono::nanoseconds byteTimeAt(int baudRate);

}  // namespace tarnik
