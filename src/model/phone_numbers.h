#pragma once

// The rules a phone number must meet: the one the module takes at all (the SMS-centre
// number and the four user numbers alike) and the international form programming asks
// of user numbers. Import, the window's number edits, programming, verify and the
// configuration check all go through these.

#include <cstddef>
#include <string>
#include <string_view>

#include "model/image_layout.h"

namespace tarnik {

// What the image's quoted slot carries of a number.
inline constexpr std::size_t kNumberMaxLength = image::kQuotedSlotMaxText;

// A number the module takes: empty (no number), or an optional leading "+" followed by
// digits only, at most kNumberMaxLength characters in all. Anything else reaches the
// module cut short (a longer number) or cut at the character (a quote ends the slot).
bool isModuleNumber(std::string_view number);
// Its two halves, each a rule of the configuration check: the characters (an optional
// leading "+", then at least one digit and nothing else) and the length.
bool hasNumberCharacters(std::string_view number);
bool fitsNumberLength(std::string_view number);
// A text typing can still make a number the module takes: a number it takes, or a lone
// "+" (the start of one).
bool isNumberBeginning(std::string_view number);

// The rule in words, for messages (UTF-8): "najwyżej 12 znaków: cyfry, przed którymi
// może stać „+”".
std::string numberRuleText();

// Keys of the settings holding numbers: "csms", "nrUser[1]".."nrUser[4]".
bool isNumberSetting(std::string_view key);

// The international-form rule of CheckUserNumbers for one number: a text longer than
// 2 characters must begin with "+"; shorter texts pass; blanks are not trimmed.
bool isInternationalNumber(const std::string& number);

}  // namespace tarnik
