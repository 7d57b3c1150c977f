#pragma once

// Messages about settings that both the editor (as the user types) and the link
// (refusing to program) show, and the name of where settings came from that the
// window's title and the report share.

namespace tarnik {

// A SIM PIN of 1 to 3 characters.
inline constexpr const char* kPinLengthMessage = "Kod pin musi mieć 4 znaki.";

// Settings read back from the module: %1 is the port ("odczyt z /dev/ttyUSB0").
inline constexpr const char* kReadBackSource = "odczyt z %1";

}  // namespace tarnik
