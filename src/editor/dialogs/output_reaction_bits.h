#pragma once

// The check boxes of the output-reaction dialog and the bit each stands for,
// in the order the dialog sets them when it opens (bit 7 down to bit 0).

#include <array>
#include <cstdint>

namespace tarnik {

struct ReactionBox {
    const char* name;   // objectName of the check box
    std::uint8_t mask;  // its bit in the output-reaction byte
};

inline constexpr std::uint8_t kNoReaction = 0x80;  // "Opcje nieaktywne"

inline constexpr std::array<ReactionBox, 8> kOutputReactionBoxes{{
    {"ChBNoActiv", 0x80},
    {"ChBOFFWY2iN", 0x40},
    {"ChBonWy2In", 0x20},
    {"ChBOFFwy1In", 0x10},
    {"ChBONwy1IN", 0x08},
    {"ChBTimeOFFWy2", 0x04},
    {"ChBTimeOFFWy1", 0x02},
    {"ChBTimeRaport", 0x01},
}};

// The byte a confirmed dialog stores for the given ticked boxes (a set of
// masks): 0x80 when "Opcje nieaktywne" is ticked or nothing else is, otherwise
// the OR of the ticked boxes. A confirmed dialog thus never stores 0.
constexpr std::uint8_t outputReactionByte(std::uint8_t ticked)
{
    if (ticked & kNoReaction)
        return kNoReaction;
    return ticked == 0 ? kNoReaction : ticked;
}

// The notification dialog: user u (1..4) gets an SMS for bit 2(u-1) and a
// call for bit 2(u-1)+1.
constexpr std::uint8_t smsBit(int user)
{
    return static_cast<std::uint8_t>(1u << (2 * (user - 1)));
}
constexpr std::uint8_t clipBit(int user)
{
    return static_cast<std::uint8_t>(1u << (2 * (user - 1) + 1));
}

}  // namespace tarnik
