#pragma once

// In-memory zlib (RFC 1950) compression, and a decompressor fed piece by piece.

#include <cstdint>
#include <span>
#include <vector>

#include <zlib.h>

namespace tarnik {

// Deflate at the default level 6, 15-bit window, memory level 8, default
// strategy. Returns false if zlib fails.
bool zlibCompress(std::span<const std::uint8_t> content, std::vector<std::uint8_t>& stream);

// Inflates into a fixed-size output buffer. Feed pieces of the stream while the
// state is NeedInput; content past the buffer is not decompressed.
class ZlibReader {
public:
    enum class State { NeedInput, Complete, Damaged };

    explicit ZlibReader(std::span<std::uint8_t> output);
    ~ZlibReader();
    ZlibReader(const ZlibReader&) = delete;
    ZlibReader& operator=(const ZlibReader&) = delete;

    // Consumes as much of `piece` as it needs and reports where the stream stands.
    State feed(std::span<const std::uint8_t> piece);

    // The stream's input ended: a reader still waiting for input is damaged.
    State finish();

private:
    z_stream stream_{};
    std::span<std::uint8_t> output_;
    std::uint8_t overflow_ = 0;  // receives the first byte past the buffer, if any
    bool overflowing_ = false;   // the buffer is full and output goes to overflow_
    bool initialised_ = false;
    State state_ = State::NeedInput;
};

}  // namespace tarnik
