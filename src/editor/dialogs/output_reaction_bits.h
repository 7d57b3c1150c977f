#pragma once

// The check boxes of the output-reaction dialog and the bit each stands for,
// in the order the dialog sets them when it opens (bit 7 down to bit 0). The byte
// it stores for the ticked boxes is outputReactionByte (model/reaction_bits.h).

#include <array>
#include <cstdint>

#include "model/reaction_bits.h"

namespace tarnik {

struct ReactionBox {
    const char* name;   // objectName of the check box
    std::uint8_t mask;  // its bit in the output-reaction byte
};

inline constexpr std::array<ReactionBox, 8> kOutputReactionBoxes{{
    {"ChBNoActiv", kNoReaction},
    {"ChBOFFWY2iN", switchOffBit(2)},
    {"ChBonWy2In", switchOnBit(2)},
    {"ChBOFFwy1In", switchOffBit(1)},
    {"ChBONwy1IN", switchOnBit(1)},
    {"ChBTimeOFFWy2", timedOffBit(2)},
    {"ChBTimeOFFWy1", timedOffBit(1)},
    {"ChBTimeRaport", kReactionReport},
}};

}  // namespace tarnik
