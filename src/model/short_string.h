#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnik {

// A length byte followed by N character bytes. Only the first `len` characters
// count; the bytes after them keep whatever they held, because the settings file
// stores them as they are.
template <std::size_t N>
struct ShortString {
    static_assert(N >= 1 && N <= 255);
    static constexpr std::size_t kMax = N;

    std::uint8_t len;
    std::uint8_t chars[N];

    // Stores `bytes`, cut to N characters. Bytes past the new length are kept.
    void assign(std::string_view bytes)
    {
        const std::size_t n = std::min(bytes.size(), N);
        std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.data()), n, chars);
        len = static_cast<std::uint8_t>(n);
    }

    // Stores `bytes`, cut to N characters, and clears the characters past the new
    // length: for codes, whose every character byte reaches the module.
    void assignCleared(std::string_view bytes)
    {
        assign(bytes);
        std::fill(chars + len, chars + N, std::uint8_t{0});
    }

    // The stored characters, never more than N even if the length byte is damaged.
    std::string str() const
    {
        return std::string(reinterpret_cast<const char*>(chars), std::min<std::size_t>(len, N));
    }

    bool empty() const { return len == 0; }
    bool lengthValid() const { return len <= N; }
};

}  // namespace tarnik
