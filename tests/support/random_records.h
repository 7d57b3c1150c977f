#pragma once

// Settings records of every kind a file can bring, drawn from a seeded generator:
// values outside the window's ranges, option bits without a check box, several
// CLIP actions of one output at once, zero bytes inside texts, old characters
// past a text's length, now and then a damaged length.

#include <cstdint>
#include <random>

#include "model/settings_record.h"

namespace tarnik::test {

class RecordGenerator {
public:
    explicit RecordGenerator(std::uint32_t seed) : random_(seed) { }

    SettingsRecord record();
    UserDirectory users();

    // A byte, drawn more often from the edges of the ranges (0, 1, 254, 255...).
    std::uint8_t byte();
    // True with probability `percent` / 100.
    bool chance(int percent);
    int below(int bound);

    // Fills a short string: characters of every byte value (zero bytes now and
    // then), a length up to N, sometimes longer, and old characters past it.
    template <std::size_t N>
    void text(ShortString<N>& s, std::size_t maxLength = N)
    {
        for (auto& c : s.chars)
            c = textByte();
        s.len = static_cast<std::uint8_t>(below(static_cast<int>(maxLength) + 1));
    }

private:
    std::uint8_t textByte();
    std::mt19937 random_;
};

}  // namespace tarnik::test
