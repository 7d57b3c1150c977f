#pragma once

// What crosses the serial line between the tool and the module: the command frames, the
// answers the tool acts on, and the sizes of the image transfer. The link engine, the
// module simulator and the tests all take these from here. Plain C++, no Qt.

#include <cstddef>
#include <string_view>

namespace tarnik::protocol {

// Every frame is '*', a command character, an optional payload and this terminator.
inline constexpr char kFrameStart = '*';
inline constexpr std::string_view kTerminator = "*1";

// Command characters, the second byte of a frame.
inline constexpr char kChunkCommand = '0';
inline constexpr char kStartCommand = '2';
inline constexpr char kReadCommand = '3';
inline constexpr char kFinishCommand = '5';
inline constexpr char kSerialCommand = '7';

// The commands without payload, as written on the line.
inline constexpr std::string_view kStartFrame = "*2*1";
inline constexpr std::string_view kFinishFrame = "*5*1";
inline constexpr std::string_view kReadFrame = "*3*1";
inline constexpr std::string_view kSerialFrame = "*7*1";
// A frame without payload: '*', command, terminator.
inline constexpr std::size_t kCommandFrameBytes = 4;

// True when `frame` is the command frame of `command`, as the frames above must be.
constexpr bool isCommandFrame(std::string_view frame, char command)
{
    return frame.size() == kCommandFrameBytes && frame[0] == kFrameStart && frame[1] == command &&
           frame.substr(2) == kTerminator;
}
static_assert(isCommandFrame(kStartFrame, kStartCommand) &&
              isCommandFrame(kFinishFrame, kFinishCommand) &&
              isCommandFrame(kReadFrame, kReadCommand) &&
              isCommandFrame(kSerialFrame, kSerialCommand));

// The module's acceptance, and the end of its serial-number answer (the number comes
// first).
inline constexpr std::string_view kOk = "OK*1";
inline constexpr std::string_view kSerialEnd = "*1OK*1";

// Image chunks: "*0", n image bytes, "*1". A programming run sends one chunk of 25 bytes
// and then 26 of 45: image bytes 0..1194 in 27 frames.
inline constexpr std::size_t kChunkFrameOverhead = 2 + kTerminator.size();
inline constexpr std::size_t kFirstChunkBytes = 25;
inline constexpr std::size_t kChunkBytes = 45;
inline constexpr std::size_t kChunksOf45 = 26;
inline constexpr std::size_t kChunks = 1 + kChunksOf45;
inline constexpr std::size_t kSentImageBytes = kFirstChunkBytes + kChunksOf45 * kChunkBytes;
static_assert(kChunks == 27 && kSentImageBytes == 1195);
// The run stops sending once the upload offset is past this: after the 26th chunk of 45
// (offset 1195), not after the 25th (offset 1150).
inline constexpr std::size_t kLastChunkAfter = 1153;
static_assert(kLastChunkAfter >= kSentImageBytes - kChunkBytes &&
              kLastChunkAfter < kSentImageBytes);

// The read-back answer: one lead byte that is not image data, image bytes 0..1699, "*1".
inline constexpr std::size_t kReadBackLeadBytes = 1;
inline constexpr std::size_t kReadBackImageBytes = 1700;
inline constexpr std::size_t kReadBackAnswerBytes =
    kReadBackLeadBytes + kReadBackImageBytes + kTerminator.size();
static_assert(kReadBackAnswerBytes == 1703);

}  // namespace tarnik::protocol
