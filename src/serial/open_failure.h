#pragma once

// What a failed open of a serial device means to its user: the system's own
// description of the error and, in Polish like the window's other texts, what to do
// about it. Best effort: looking for the answer never fails by itself.

#include <string>

namespace tarnik {

// One line: "<system description>. <hint>"; the hint is left out for errors that have
// none. `sysRoot` is where "class/tty" is read to list the ports that do exist.
std::string openFailureAdvice(const std::string& devicePath, int error,
                              const std::string& sysRoot = "/sys");

// Hints, with {path}, {group}, {program} and {ports} filled in.
namespace open_hint {
inline constexpr const char* kJoinGroup =
    "Brak uprawnień do portu {path}. Port należy do grupy {group}: dołącz do niej poleceniem "
    "\"sudo usermod -aG {group} $USER\", a potem wyloguj się i zaloguj ponownie.";
inline constexpr const char* kAskAdministrator =
    "Brak uprawnień do portu {path}. Poproś administratora o dostęp do niego.";
inline constexpr const char* kInUseBy =
    "Port {path} jest używany przez inny program ({program}). Zamknij go i spróbuj ponownie.";
inline constexpr const char* kInUse =
    "Port {path} jest używany przez inny program. Zamknij go i spróbuj ponownie.";
inline constexpr const char* kMissing =
    "Port {path} nie istnieje. Czy przejściówka jest podłączona? Dostępne porty: {ports}.";
inline constexpr const char* kMissingNoPorts =
    "Port {path} nie istnieje. Czy przejściówka jest podłączona? Nie znaleziono żadnego portu "
    "szeregowego.";
}  // namespace open_hint

}  // namespace tarnik
