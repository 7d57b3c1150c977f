#pragma once

// Reads a fuzz input as a sequence of choices: single bytes, then runs of bytes.
// Past the end every byte reads as 0 and every run as empty.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnik::fuzz {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) { }
    bool done() const { return at_ >= size_; }
    std::uint8_t byte() { return done() ? 0 : data_[at_++]; }
    std::string take(std::size_t n)
    {
        n = std::min(n, size_ - at_);
        std::string s(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace tarnik::fuzz
