#pragma once

// Whether what the module sent is the answer a command asked for, exactly: the read-back
// answer has the layout's length with its terminator at the layout's place, the serial
// answer is a number followed by "*1OK*1" and nothing else. Bytes ahead of an answer
// (noise, a late answer of an earlier command) or after it make it another answer, which
// is refused rather than taken shifted. Plain C++, no Qt.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarnik {

enum class AnswerVerdict {
    Incomplete,  // no end yet: wait for more bytes
    Taken,       // exactly one answer
    Refused,     // an end came, but what came is not the answer
};

// The read-back answer: one lead byte, image bytes 0..1699, "*1" (1703 bytes). Its end
// is the first "*1" after the place where the image bytes end; image data may hold
// "*1" before it. A store that grew past twice the answer's length with no such end is
// refused too, so noise cannot fill memory.
struct ReadBackJudgement {
    AnswerVerdict verdict = AnswerVerdict::Incomplete;
    std::size_t received = 0;  // bytes the answer came with
};
ReadBackJudgement judgeReadBackAnswer(std::span<const std::uint8_t> received);

// The serial-number answer: the number, then "*1OK*1". The number may not itself hold
// "*1" (that is an earlier answer ahead of this one). A store of more than 256 bytes
// with no end is refused.
struct SerialJudgement {
    AnswerVerdict verdict = AnswerVerdict::Incomplete;
    std::string number;  // when taken: the bytes before "*1OK*1", as the module sent them
};
SerialJudgement judgeSerialAnswer(std::string_view received);

// "Odpowiedź modułu ma nieprawidłową długość (1704 bajty zamiast 1703); ustawień nie
// wczytano. Spróbuj ponownie."
std::string readBackLengthLine(std::size_t received);

}  // namespace tarnik
