#pragma once

// Which reaction byte a reaction button edits, worked out from its name: the
// entry digit k sits right after the family's prefix, the reaction digit r is
// the name's last character (for example BB_ConfigNumerWe7Re2: input 7,
// reaction 2).

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "model/settings_record.h"

namespace tarnik {

enum class ReactionFamily {
    NumberInput,    // BB_ConfigNumerWe<k>Re<r>     numberWeRe[k][r]
    NumberSpecial,  // BB_ConfigNumerSpecWe<k>Re<r> numberSpecWeRe[k][r]
    WorkInput,      // BBConfigWorkWe<k>Re<r>       workWeRe[k][r]
    WorkSpecial,    // BBConfigWorkSpecWe<k>Re<r>   workSpecWeRe[k][r]
};

struct ReactionTarget {
    ReactionFamily family;
    int entry;     // k, 1-based
    int reaction;  // r, 1 or 2
};

// The target of a button named `name`, or nullopt when the name is not one of
// the four families or its digits are out of range (k 1..8 for inputs, 1..6
// for special entries; r 1..2). Letter case is ignored, as in control lookup.
std::optional<ReactionTarget> parseReactionButton(const QString& name);

// The same, but only for names of `family`.
std::optional<ReactionTarget> parseReactionButton(const QString& name, ReactionFamily family);

// The target that edits the reaction byte of catalogue key `key`
// ("numberWeRe[7][2]"), or nullopt when the key is no reaction byte.
std::optional<ReactionTarget> reactionTargetOfSetting(const std::string& key);

// The name of the button that edits `target` (BB_ConfigNumerWe7Re2).
QString reactionButtonName(const ReactionTarget& target);

// The record byte a target edits.
std::uint8_t& reactionByte(SettingsRecord& record, const ReactionTarget& target);

}  // namespace tarnik
