#pragma once

// The closing line of a verification: the module read back against what programming
// writes (the window after "programuj", tarnik-cli verify).

#include <cstddef>
#include <string>

#include "model/polish_plural.h"

namespace tarnik {

namespace verify_text {
inline constexpr const char* kVerified = "Weryfikacja: moduł zawiera zaprogramowane ustawienia.";
inline constexpr const char* kDifferences = "Weryfikacja: liczba różnic: ";
// A module compared with a file, nothing programmed first (tarnik-cli verify).
inline constexpr const char* kHoldsFile = "Moduł zawiera ustawienia z pliku.";
inline constexpr const char* kDiffersFromFile = "Moduł różni się od pliku: ";
}  // namespace verify_text

inline std::string VerificationLine(std::size_t differences)
{
    return differences == 0 ? std::string(verify_text::kVerified)
                            : verify_text::kDifferences + std::to_string(differences) + ".";
}

// The closing line of a module compared with a file: "Moduł różni się od pliku: 3 różnice."
inline std::string FileComparisonLine(std::size_t differences)
{
    return differences == 0 ? std::string(verify_text::kHoldsFile)
                            : verify_text::kDiffersFromFile +
                                  countedNoun(static_cast<long long>(differences), "różnica",
                                              "różnice", "różnic") +
                                  ".";
}

}  // namespace tarnik
