#include "simulator/line_timetable.h"

#include <algorithm>

namespace tarnik {

std::chrono::nanoseconds byteTimeAt(int baudRate)
{
    return baudRate > 0 ? std::chrono::nanoseconds(10'000'000'000LL / baudRate)
                        : std::chrono::nanoseconds(0);
}

LineTimetable::LineTimetable(const LinePacing& pacing)
    : pacing_(pacing), byteTime_(byteTimeAt(pacing.baudRate))
{
}

LineTimetable::Clock::time_point LineTimetable::arrival(Clock::time_point readAt, std::size_t count)
{
    rxFreeAt_ = std::max(readAt, rxFreeAt_) + byteTime_ * static_cast<long>(count);
    return rxFreeAt_;
}

std::vector<std::string> LineTimetable::pieces(const std::string& answer) const
{
    std::vector<std::string> pieces;
    if (pacing_.pieceBytes > 0) {
        for (std::size_t at = 0; at < answer.size(); at += pacing_.pieceBytes)
            pieces.push_back(answer.substr(at, pacing_.pieceBytes));
        return pieces;
    }
    const std::size_t count = std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(pacing_.answerPieces, 1)), 1, answer.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t len = (answer.size() - at) / (count - i);
        pieces.push_back(answer.substr(at, len));
        at += len;
    }
    return pieces;
}

std::vector<LineTimetable::DueByte> LineTimetable::answer(const std::string& bytes,
                                                          Clock::time_point arrivedAt)
{
    std::vector<DueByte> due;
    auto start = std::max(arrivedAt + pacing_.answerDelay, txFreeAt_);
    bool first = true;
    for (const std::string& piece : pieces(bytes)) {
        if (!first)
            start = txFreeAt_ + pacing_.pieceGap;
        first = false;
        for (std::size_t j = 0; j < piece.size(); ++j) {
            const auto at = start + byteTime_ * static_cast<long>(j + 1);
            due.push_back({static_cast<std::uint8_t>(piece[j]), at});
            txFreeAt_ = at;
        }
    }
    return due;
}

}  // namespace tarnik
