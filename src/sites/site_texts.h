#pragma once

// What the command line and the window say after a read-back of a site's module: the same
// words on both, from here.

namespace tarnik::sites {

inline constexpr const char* kChangesSinceProgramming = "Zmiany od ostatniego programowania:";
inline constexpr const char* kNoChangesSinceProgramming = "Brak zmian od ostatniego programowania.";
// %1: the site's name.
inline constexpr const char* kNeverProgrammed =
    "Obiekt „%1” nie był jeszcze programowany z biblioteki; nie ma z czym porównać.";

}  // namespace tarnik::sites
