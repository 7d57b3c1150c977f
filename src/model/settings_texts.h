#pragma once

// Messages about settings that both the editor (as the user types) and the link
// (refusing to program) show, and the name of where settings came from that the
// window's title and the report share.

namespace tarnik {

// A SIM PIN of 1 to 3 characters.
inline constexpr const char* kPinLengthMessage = "Kod pin musi mieć 4 znaki.";

// Programming's refusals of numbers: a user number not in international form, a number
// holding other characters than digits after an optional leading "+", a number longer
// than the image's slot.
inline constexpr const char* kNotInternationalMessage =
    "numery użytkowników muszą być zapisane w formie międzynarodowej tzn zawierać numer "
    "kierunkowy na kraj";
inline constexpr const char* kNumberCharactersMessage =
    "numer centrum sms i numery użytkowników mogą zawierać tylko cyfry, przed którymi może "
    "stać znak +";
inline constexpr const char* kNumberTooLongMessage =
    "numer centrum sms i numery użytkowników mogą mieć najwyżej 12 znaków";

// Settings read back from the module: %1 is the port ("odczyt z /dev/ttyUSB0").
inline constexpr const char* kReadBackSource = "odczyt z %1";

}  // namespace tarnik
