#pragma once

// Messages about settings that both the editor (as the user types) and the link
// (refusing to program) show.

namespace tarnik {

// A SIM PIN of 1 to 3 characters.
inline constexpr const char* kPinLengthMessage = "Kod pin musi mieć 4 znaki.";

}  // namespace tarnik
