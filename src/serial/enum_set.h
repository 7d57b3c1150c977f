#pragma once

// A small set of enumeration values, one bit per ordinal (at most 32 values).

#include <cstdint>
#include <initializer_list>

namespace tarnik {

template <typename E>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> values)
    {
        for (E v : values)
            Include(v);
    }

    static constexpr EnumSet FromBits(std::uint32_t bits)
    {
        EnumSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr std::uint32_t Bits() const { return bits_; }

    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(E v) { bits_ |= Bit(v); }
    constexpr void Exclude(E v) { bits_ &= ~Bit(v); }

    constexpr EnumSet operator|(EnumSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr EnumSet operator&(EnumSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr bool operator==(const EnumSet&) const = default;

private:
    static constexpr std::uint32_t Bit(E v) { return std::uint32_t{1} << static_cast<unsigned>(v); }
    std::uint32_t bits_ = 0;
};

}  // namespace tarnik
