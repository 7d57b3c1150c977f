#pragma once

// Checks shared by the fuzz targets. A finding aborts at once (after printing what
// failed), so libFuzzer keeps the input that caused it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/settings_record.h"

namespace tarnik::fuzz {

[[noreturn]] inline void fail(const char* what, std::size_t detail = 0)
{
    std::fprintf(stderr, "fuzz check failed: %s (%zu)\n", what, detail);
    std::abort();
}

inline void require(bool condition, const char* what, std::size_t detail = 0)
{
    if (!condition)
        fail(what, detail);
}

// Listed here field by field rather than taken from the model, so a field the model's
// own check forgets is still caught.
inline bool lengthsWithinFields(const SettingsRecord& r)
{
    bool ok = r.pinMod.len <= 4 && r.pin.len <= 7 && r.csms.len <= 15;
    for (const auto& n : r.nrUser)
        ok = ok && n.len <= 15;
    for (const auto& row : r.smsWeRe)
        for (const auto& t : row)
            ok = ok && t.len <= 36;
    for (const auto& row : r.smsSpecWeRe)
        for (const auto& t : row)
            ok = ok && t.len <= 36;
    return ok;
}

inline bool lengthsWithinFields(const UserDirectory& users)
{
    bool ok = true;
    for (const auto& e : users.entries)
        ok = ok && e.osoba.len <= 30 && e.uwagi.len <= 250;
    return ok;
}

// A value with guard bytes on both sides; intact() tells whether anything wrote past
// the value's edges.
template <typename T>
struct Guarded {
    static constexpr std::uint8_t kGuard = 0xA7;
    std::uint8_t before[64];
    T value;
    std::uint8_t after[64];

    Guarded()
    {
        std::memset(before, kGuard, sizeof before);
        std::memset(after, kGuard, sizeof after);
    }
    bool intact() const
    {
        for (std::size_t i = 0; i < sizeof before; ++i)
            if (before[i] != kGuard || after[i] != kGuard)
                return false;
        return true;
    }
};

// Copies up to sizeof(T) bytes of `data` into `out`, the rest filled with `fill`.
template <typename T>
std::size_t fillFrom(T& out, const std::uint8_t* data, std::size_t size, std::uint8_t fill = 0)
{
    const std::size_t n = size < sizeof(T) ? size : sizeof(T);
    std::memset(&out, fill, sizeof(T));
    if (n > 0)
        std::memcpy(&out, data, n);
    return n;
}

}  // namespace tarnik::fuzz
