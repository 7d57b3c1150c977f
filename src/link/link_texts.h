#pragma once

// The texts the module link shows to the user, UTF-8, in one place: the lines of the
// information list, the refusals of "programuj" and the verification's closing line.

#include "model/settings_texts.h"

namespace tarnik {

namespace link_text {
inline constexpr const char* kStart = "Rozpoczęcie programowania.";
inline constexpr const char* kProgressInitial = "postęp: ";
inline constexpr const char* kProgress = "Postęp: ";
inline constexpr const char* kDone = "Programowanie zakończone pomyślnie.";
inline constexpr const char* kNoAnswer = "Brak oprowiedzi z modułu.";
inline constexpr const char* kLoaded = "zaladowane ustawienia z eprom";
inline constexpr const char* kSerial = "serial: ";
inline constexpr const char* kNotInternational = kNotInternationalMessage;
inline constexpr const char* kNumberTooLong = kNumberTooLongMessage;
inline constexpr const char* kPinLength = kPinLengthMessage;
// A read-back answer of the wrong length, see readBackLengthLine.
inline constexpr const char* kAnswerLength = "Odpowiedź modułu ma nieprawidłową długość (";
inline constexpr const char* kAnswerNotTaken = "); ustawień nie wczytano. Spróbuj ponownie.";
inline constexpr const char* kChecksumWarning =
    "Uwaga: suma kontrolna odczytanych ustawień nie zgadza się z ich treścią; sprawdź ustawienia "
    "przed zaprogramowaniem.";
inline constexpr const char* kSerialRefused =
    "Odpowiedź modułu na zapytanie o numer seryjny ma nieprawidłową postać; numeru nie "
    "odczytano. Spróbuj ponownie.";
inline constexpr const char* kDeviceLost = "Połączenie z modułem zostało przerwane.";
inline constexpr const char* kVerified = "Weryfikacja: moduł zawiera zaprogramowane ustawienia.";
inline constexpr const char* kDifferences = "Weryfikacja: liczba różnic: ";
// After a read-back for verification failed, beside the failure's own line.
inline constexpr const char* kReadBackFailed = "Weryfikacja: odczyt nie powiódł się (";
inline constexpr const char* kProgrammedNotChecked =
    "); ustawienia zaprogramowano, ale ich nie sprawdzono.";
inline constexpr const char* kHoldsFile = "Moduł zawiera ustawienia z pliku.";
inline constexpr const char* kDiffersFromFile = "Moduł różni się od pliku: ";
}  // namespace link_text

}  // namespace tarnik
