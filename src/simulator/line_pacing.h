#pragma once

#include <chrono>
#include <cstddef>

namespace tarnik {

// How the simulated module's line behaves in time.
struct LinePacing {
    // Pause between a frame's arrival and the start of its answer.
    std::chrono::microseconds answerDelay{0};
    // Line speed to pace both directions at (10 bits a byte); 0 leaves the line unpaced.
    int baudRate = 0;
    // Each answer is written in this many nearly equal pieces...
    int answerPieces = 1;
    // ...or, when not 0, in pieces of at most this many bytes.
    std::size_t pieceBytes = 0;
    // Pause between two pieces of an answer.
    std::chrono::microseconds pieceGap{std::chrono::milliseconds(20)};
};

}  // namespace tarnik
