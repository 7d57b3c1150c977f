#include <random>

#include "fault_helpers.h"

namespace tarnik::proof {

namespace {

template <std::size_t N>
void randomText(std::mt19937& random, ShortString<N>& s, std::size_t length)
{
    for (std::size_t i = 0; i < N; ++i)
        s.chars[i] = 0;
    for (std::size_t i = 0; i < length; ++i) {
        std::uint8_t c;
        do
            c = static_cast<std::uint8_t>(random() & 0xFF);
        while (c == 0 || c == '"');
        s.chars[i] = c;
    }
    s.len = static_cast<std::uint8_t>(length);
}

// A number programming takes: digits after a "+" (optional up to 2 characters), at most
// 12 characters.
void randomNumber(std::mt19937& random, ShortString<15>& s, std::size_t length)
{
    randomText(random, s, length);
    for (std::size_t i = 0; i < length; ++i)
        s.chars[i] = static_cast<std::uint8_t>('0' + random() % 10);
    if (length > 2 || (length == 2 && (random() & 1)))
        s.chars[0] = '+';
}

}  // namespace

SettingsRecord randomModuleSettings(unsigned seed)
{
    std::mt19937 random(seed);
    SettingsRecord r{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&r);
    for (std::size_t i = 0; i < sizeof r; ++i)
        bytes[i] = static_cast<std::uint8_t>(random() & 0xFF);
    auto upTo = [&](std::size_t n) { return static_cast<std::size_t>(random() % (n + 1)); };
    randomText(random, r.pinMod, 4);
    randomText(random, r.pin, (random() & 1) ? 4 : 0);
    randomNumber(random, r.csms, upTo(12));
    for (auto& n : r.nrUser)
        randomNumber(random, n, upTo(12));
    for (auto& row : r.smsWeRe)
        for (auto& t : row)
            randomText(random, t, upTo(36));
    for (auto& row : r.smsSpecWeRe)
        for (auto& t : row)
            randomText(random, t, upTo(36));
    return r;
}

}  // namespace tarnik::proof
