#pragma once

// The serial layer's 23 message texts and their catalogue lookup (gettext domain
// "serial"; catalogues in <program dir>/locale/<lang>/LC_MESSAGES/serial.mo).

#include <string>

namespace tarnik {

inline constexpr int kComErrorCount = 23;
inline constexpr const char* kSerialTextDomain = "serial";
inline constexpr const char* kSystemCodeSuffix = " (win error code: %d)";

// Binds the "serial" domain to the "locale" folder beside the running program, or,
// when only the installed share/locale holds a catalogue for the user's language,
// to that one (see messageCatalogueFolder). Call once at start-up, after setlocale.
// Without a catalogue texts stay as written.
void initSerialMessages();
// Same, with an explicit catalogue folder (used by tests).
void initSerialMessages(const std::string& localeDir);

// The untranslated table text of a code 1..23; an empty text for any other code.
const char* comErrorText(int code);
// The translated message as EComPort forms it.
std::string comErrorMessage(int code, int systemCode = -1);

}  // namespace tarnik
