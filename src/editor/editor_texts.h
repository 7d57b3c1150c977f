#pragma once

// The texts the settings pages, the reaction dialogs and the option interlocks show to the
// user, UTF-8, in one place. The captions the .ui forms hold stay in the forms; the window
// shell and the module link keep theirs in their own layers.

#include "model/reaction_bits.h"
#include "model/settings_texts.h"

namespace tarnik::editor_text {

// The pages' tabs.
inline constexpr const char* kBasicPage = "Podstawowe";
inline constexpr const char* kUsersPage = "numery telefonów";
inline constexpr const char* kInputsPage = "Wejścia";
inline constexpr const char* kSpecialInputsPage = "Wejścia specjalne";
inline constexpr const char* kOutputsPage = "Wyjścia";

// "numery telefonów": one block per user (%1: the user's number, 1 to 4). The user's name
// stands in for the same text in the notification dialog's rows.
inline constexpr const char* kUser = "Użytkownik %1";
inline constexpr const char* kPhoneNumber = "tel.";
inline constexpr const char* kUserName = "Nazwa";
inline constexpr const char* kUserNotes = "Uwagi";

// "Wejścia" and "Wejścia specjalne": the column headings and the rows' buttons.
inline constexpr const char* kInput = "Wejście %1";
inline constexpr const char* kReactionTimeHeading = "Czas reakcji  [ x 0,1s]";
inline constexpr const char* kBlockTimeHeading = "Blokada wejścia po reakcji. [x 10s]";
inline constexpr const char* kOutputsHeading = "Reakcja wyjść na:";
inline constexpr const char* kNotifyHeading = "Powiadomienie:";
inline constexpr const char* kSmsTextHeading = "Treść wiadomości SMS:";
inline constexpr const char* kGroundApplied = "podanie masy";
inline constexpr const char* kGroundRemoved = "zanik masy";
inline constexpr const char* kNotifyInput = "CLIP/SMS";
inline constexpr const char* kNotifyTamper = "SMS/CLIP";
inline constexpr const char* kSpecialOutputs = "konfiguracja";
inline constexpr const char* kSpecialNotify = "Reakcja";
inline constexpr const char* kTamperInput = "Wejście sabotażowe";
inline constexpr const char* kBlockingInput = "Wejście blokujące";
inline constexpr const char* kSpecialInput4 = "Wejscie specjalne 4";
inline constexpr const char* kSpecialInput6 = "Wejscie specjalne 6";

// The reaction dialogs' titles: %1 the input (or the output), %2 the reaction, or %1 the
// reaction where the title names the input.
inline constexpr const char* kInputOutputsTitle = "konfig wejscia %1 reakcji %2";
inline constexpr const char* kBlockingOutputsTitle = "wejście blokujące reakcja %1";
inline constexpr const char* kTamperOutputsTitle = "wejście sabotażowe reakcja %1";
inline constexpr const char* kInputNotifyTitle = "Reakcje Wejscie:%1 Reakcja:%2";
inline constexpr const char* kBlockingNotifyTitle = "Reakcja %1 Wejścia blokującego";
inline constexpr const char* kTamperNotifyTitle = "Reakcja %1 Wejścia sabotażowego";
inline constexpr const char* kOutputConfirmTitle = "Reakcja %1 wyjścia %2";
// A box of the output dialog that the module does not act on, padded with blanks.
inline constexpr const char* kUnavailable = kUnavailableOption;

// The interlocks' warnings when a code field is left half typed.
inline constexpr const char* kWarningTitle = "Uwaga";
inline constexpr const char* kPinLength = kPinLengthMessage;
inline constexpr const char* kSmsCodeLength = "Sms sterujący musi mieć formę dwóch znaków";

}  // namespace tarnik::editor_text
